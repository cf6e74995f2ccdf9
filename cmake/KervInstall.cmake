# `cmake --install` and the Debian package (cpack -G DEB, or the target
# `package`): the bridge, the reference analysis library and its default
# configuration in <libdir>/kerv, kerv.jar and kerv-client.jar in
# <datadir>/java, and the launcher `kerv` in <bindir>. The launcher finds the
# rest relative to itself, so an installation can be moved or unpacked
# anywhere.
include(GNUInstallDirs)
set(KERV_INSTALL_LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR}/kerv)
set(KERV_INSTALL_JAR_DIR ${CMAKE_INSTALL_DATADIR}/java)
file(RELATIVE_PATH KERV_BIN_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/kerv-launcher.sh.in ${PROJECT_BINARY_DIR}/kerv @ONLY)

install(TARGETS KervBridge KervAnalysis LIBRARY DESTINATION ${KERV_INSTALL_LIBRARY_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/java/client/config DESTINATION ${KERV_INSTALL_LIBRARY_DIR})
get_target_property(_kerv_client_jar KervClientJar JAR_FILE)
get_target_property(_kerv_executable_jar KervJar JAR_FILE)
install(FILES ${_kerv_executable_jar} ${_kerv_client_jar} DESTINATION ${KERV_INSTALL_JAR_DIR})
install(PROGRAMS ${PROJECT_BINARY_DIR}/kerv DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kerv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_CONTACT "Quorvel KERV maintainers <kerv@quorvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Static analysis of C and C++ from Java, with its command line kerv")
set(CPACK_PACKAGE_DESCRIPTION "The KERV bridge (libKERVBridge.so), its Java client (kerv-client.jar), the reference
analysis library built on cppcheck (libKERV.so) and the command line kerv, which analyses a source folder.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "cppcheck, java17-runtime-headless | java-runtime-headless (>= 17)")
include(CPack)
