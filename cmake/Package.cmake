# The Debian package: `cpack -G DEB` in a release build gives vornix_<version>_amd64.deb,
# installing into /usr, its dependencies found by dpkg-shlibdeps from the program's libraries.

# What Debian asks of every package besides the program: copyright and changelog.
set(vx_changelog ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${vx_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
  COMMAND sh -c "gzip -9n -c '${PROJECT_SOURCE_DIR}/resources/debian/changelog' > '${vx_changelog}'"
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog
  VERBATIM)
add_custom_target(vx_changelog ALL DEPENDS ${vx_changelog})
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${vx_changelog}
        DESTINATION share/doc/vornix)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vornix developers")
set(CPACK_PACKAGE_CONTACT "Vornix developers <developers@vornix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test data evaluation and reports")
set(CPACK_PACKAGE_DESCRIPTION "Vornix reads the text files that test benches write, shows their
channels in graphs with stacked axis sections and in table reports, and prints
the pages or saves them as documents.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
