# `cmake --install` and the Debian package: the programs in bin/, their data in
# share/orvtest/ (the programs find it from their own place, so the tree can be
# installed under any prefix), a desktop entry and icon, and man pages.
include(GNUInstallDirs)
set(ORVTEST_SHARE ${CMAKE_INSTALL_DATADIR}/orvtest)

install(TARGETS orvtest orvtest-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The defaults and resource scripts as the source has them (the working
# folder's ogre.cfg holds whatever a developer last chose), the plug-in list
# and the belt as the build made them.
install(FILES data/OrvTest.cfg data/1.cfg data/ogre.cfg data/resources.cfg
              ${ORVTEST_RUN_DIR}/plugins.cfg ${ORVTEST_RUN_DIR}/belt.cfg
        DESTINATION ${ORVTEST_SHARE})
install(DIRECTORY data/media/ DESTINATION ${ORVTEST_SHARE}/media)
install(DIRECTORY data/catalogues/ DESTINATION ${ORVTEST_SHARE}/catalogues)
install(FILES ${ORVTEST_MAPS} DESTINATION ${ORVTEST_SHARE}/media/maps)

install(FILES packaging/orvtest.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/orvtest.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Man pages and the package's changelog, compressed as Debian keeps them.
set(ORVTEST_DOC_FILES)
foreach(page orvtest.1 orvtest-check.1)
  configure_file(packaging/${page} ${CMAKE_BINARY_DIR}/packaging/${page} @ONLY)
  list(APPEND ORVTEST_DOC_FILES ${page})
endforeach()
configure_file(packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog COPYONLY)
list(APPEND ORVTEST_DOC_FILES changelog)
set(ORVTEST_GZIPPED)
foreach(file ${ORVTEST_DOC_FILES})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${file}.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/${file}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${file})
  list(APPEND ORVTEST_GZIPPED ${CMAKE_BINARY_DIR}/packaging/${file}.gz)
endforeach()
add_custom_target(orvtest_docs ALL DEPENDS ${ORVTEST_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/orvtest.1.gz ${CMAKE_BINARY_DIR}/packaging/orvtest-check.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvtest)

# cpack -G DEB (scripts/package): the engine's and input library's runtime
# packages come from the programs' own links (dpkg-shlibdeps); what they only
# load at run time is named here: Mesa's drivers and the overlay's font (the
# engine's plug-ins come with its library package).
set(CPACK_PACKAGE_NAME orvtest)
set(CPACK_PACKAGE_VENDOR "OrvTest developers")
set(CPACK_PACKAGE_CONTACT "OrvTest developers <orvtest@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive 3D viewer of an orbital system")
set(CPACK_PACKAGE_DESCRIPTION
    "OrvTest shows a sun and the tree of planets and moons that orbit and spin
around it inside a star field, and lets you fly among them, jump from body to
body, control time, follow a body and save screenshots. Systems are plain
text files that it reloads while it runs; orvtest-check explains them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
