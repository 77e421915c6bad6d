# What `cmake --install` puts where, and the Debian package (cpack -G DEB).
include(GNUInstallDirs)
set(VOLTARIS_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/voltaris)

# The page the logo opens (beside the program in a build, in the
# documentation folder once installed) and the AppStream description.
configure_file(resources/voltaris.html.in ${CMAKE_BINARY_DIR}/voltaris.html @ONLY)
configure_file(resources/desktop/org.voltaris.Voltaris.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/org.voltaris.Voltaris.metainfo.xml @ONLY)

# The changelog and the manual pages go compressed as Debian wants them:
# gzip -9, without the name and time inside (the same bytes on every build).
set(docs ${CMAKE_BINARY_DIR}/package)
configure_file(resources/debian/copyright.in ${docs}/copyright @ONLY)
set(compressed)
foreach(file changelog voltaris.1 de/voltaris.1)
  configure_file(resources/debian/${file}.in ${docs}/${file} @ONLY)
  add_custom_command(OUTPUT ${docs}/${file}.gz
    COMMAND gzip -9nkf ${docs}/${file}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/debian/${file}.in
    VERBATIM)
  list(APPEND compressed ${docs}/${file}.gz)
endforeach()
add_custom_target(voltaris_docs ALL DEPENDS ${compressed})
add_dependencies(voltaris voltaris_docs)

install(TARGETS voltaris RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# `strip` keeps the compiler's notes in .comment; Debian's tools take them out too.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/voltaris\")
endif()")
install(FILES ${CMAKE_BINARY_DIR}/voltaris.html ${docs}/copyright ${docs}/changelog.gz
  DESTINATION ${VOLTARIS_DOCDIR})
# Registers the page with the system's documentation (doc-base), which
# reads /usr/share/doc-base only: under the prefix /usr (as in the package).
install(CODE "if(CMAKE_INSTALL_PREFIX MATCHES \"/usr/?$\")
  file(INSTALL \"${CMAKE_SOURCE_DIR}/resources/debian/doc-base\"
    DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/doc-base\"
    RENAME voltaris)
endif()")
install(FILES ${docs}/voltaris.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs}/de/voltaris.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES resources/desktop/org.voltaris.Voltaris.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/pictures/voltaris.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME org.voltaris.Voltaris.svg)
install(FILES ${CMAKE_BINARY_DIR}/org.voltaris.Voltaris.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME voltaris)
set(CPACK_PACKAGE_VENDOR "Voltaris")
set(CPACK_PACKAGE_CONTACT "${VOLTARIS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stromkosten eines Haushalts im Blick")
# The summary is the first line, this the rest.
file(READ resources/debian/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries come from the binary; what it loads at run time does not show there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
include(CPack)
