# Quality builds, each in a build directory of its own:
#   VOLTARIS_SANITIZE  every target under AddressSanitizer (with LeakSanitizer)
#                      and UndefinedBehaviorSanitizer; any report aborts.
#   VOLTARIS_FUZZ      the libFuzzer targets of tests/fuzz (clang only), with
#                      the program's code instrumented for coverage and both
#                      sanitizers.
# Without VOLTARIS_FUZZ the fuzz targets still build, as tests that replay
# their seed corpora and every input that once failed.
option(VOLTARIS_SANITIZE "Build everything with ASan and UBSan" OFF)
option(VOLTARIS_FUZZ "Build the libFuzzer targets (clang)" OFF)

set(VOLTARIS_SANITIZER_FLAGS
  -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# The targets of a directory and of every directory below it. The options
# are set at the end of the root CMakeLists.txt, so they go to the targets
# that exist by then rather than to directory-wide flags.
function(voltaris_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    voltaris_collect_targets(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(voltaris_instrument compile_flags link_flags)
  voltaris_collect_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_compile_options(${t} PRIVATE ${compile_flags})
      if(NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "OBJECT_LIBRARY")
        target_link_options(${t} PRIVATE ${link_flags})
      endif()
    endif()
  endforeach()
endfunction()

if(VOLTARIS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VOLTARIS_FUZZ needs clang (CXX=clang++)")
  endif()
  # The fuzz targets bring libFuzzer's main; everything else is only
  # instrumented for it.
  voltaris_instrument("-fsanitize=fuzzer-no-link;${VOLTARIS_SANITIZER_FLAGS}"
    "${VOLTARIS_SANITIZER_FLAGS}")
  add_subdirectory(tests/fuzz)
else()
  if(VOLTARIS_TESTS)
    add_subdirectory(tests/fuzz)
  endif()
  if(VOLTARIS_SANITIZE)
    # -O1 and line tables only: the suite builds in CI twice, and the
    # reports still name file and line.
    voltaris_instrument("${VOLTARIS_SANITIZER_FLAGS};-O1;-g1" "${VOLTARIS_SANITIZER_FLAGS}")
    # Only the tests run here: the program and the benchmarks stay out of
    # this build (they build with the normal one).
    voltaris_collect_targets(${CMAKE_SOURCE_DIR} targets)
    foreach(t ${targets})
      get_target_property(type ${t} TYPE)
      get_target_property(sources ${t} SOURCES)
      if(type STREQUAL "EXECUTABLE" AND (t STREQUAL "voltaris" OR sources MATCHES "(^|;|/)bench/"))
        set_target_properties(${t} PROPERTIES EXCLUDE_FROM_ALL TRUE)
      endif()
    endforeach()
  endif()
endif()
