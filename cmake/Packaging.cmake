# The Debian package: `cpack` in a build folder makes kalvex_<version>_<arch>.deb from the
# install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvex)
set(CPACK_PACKAGE_VENDOR "Kalvex developers")
set(CPACK_PACKAGE_CONTACT "Kalvex developers <kalvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-to-one messenger in English and Urdu, with file transfer")
set(CPACK_PACKAGE_DESCRIPTION "Two people call each other by IP address and chat over TCP, each message in
its writer's font, size, style and colour. Urdu is typed phonetically on an
ordinary keyboard and shaped into joined letters drawn by the program's own
glyph font, which is also installed among the system's fonts. A second
connection carries one file of up to 2 MB. Chat listens on TCP port 786,
files on TCP port 821.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)

# The Qt libraries come from what the program links (dpkg-shlibdeps); the platform and
# media plugins Qt loads at run time are in libqt6gui6 and libqt6multimedia6, which that
# finds too. setcap grants the low ports at installation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")

set(KALVEX_INSTALLED_PROGRAM /usr/${CMAKE_INSTALL_BINDIR}/kalvex)
configure_file(${PROJECT_SOURCE_DIR}/packaging/postinst.in ${PROJECT_BINARY_DIR}/packaging/postinst
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
