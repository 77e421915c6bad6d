# Hardening of the optimised builds (Release, RelWithDebInfo, MinSizeRel), as
# Debian builds its packages: checked buffer functions, a stack protector,
# relocations read-only and bound at start, a position-independent program.
# Not in the sanitizer and fuzzing builds, whose instrumentation checks more
# and does not go with the checked functions.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT VOLTARIS_SANITIZE AND NOT VOLTARIS_FUZZ)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2;-fstack-protector-strong>")
  add_link_options("$<${optimised}:-Wl,-z,relro,-z,now>")
endif()
