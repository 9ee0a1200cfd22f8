# cmake --install: the platform library in the library folder, the plug-in
# (and the Simple MAPI provider, providers/sendmail) in the private folder
# beside it, morv-host with its man page and bash completion (host/), the
# public header for host programs with the platform headers that it, a
# host's window loop (and the bounds of its waits) and its settings tree
# (CreateConfigDialog) use, a CMake package (find_package(morvtransport)),
# a pkg-config file and the licence. Each rule names the component, and so
# the Debian package, that holds it (cmake/debian_package.cmake):
# "library" the platform library, "runtime" the plug-in and morv-host,
# "development" what host programs build against.
include(CMakePackageConfigHelpers)

set(MORV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/morvtransport)

set_target_properties(morvplatform PROPERTIES EXPORT_NAME platform)
set_target_properties(morvtransport PROPERTIES EXPORT_NAME plugin INSTALL_RPATH "$ORIGIN/..")
install(TARGETS morvplatform EXPORT morvtransportTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development)
install(TARGETS morvtransport EXPORT morvtransportTargets
  LIBRARY DESTINATION ${MORV_PRIVATE_LIBDIR} COMPONENT runtime)
# The README (with docs/) is where the man page says it is.
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright COMPONENT runtime)
install(FILES README.md docs/mapi.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT runtime)
# The headers a host compiles against: their ABI is what the platform
# library's soname stands for (tests/scripts/check_platform_abi.sh).
set(MORV_PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/include/morvtransport/morvtransport.h)
set(MORV_INSTALLED_PLATFORM_HEADERS
  src/platform/win_types.h src/platform/cstring.h src/platform/map_string_to_string.h
  src/platform/host_window.h src/platform/resources.h src/platform/ticks.h
  src/platform/tree_ctrl.h src/platform/wnd.h src/platform/user_interface.h src/platform/user_input.h)
list(TRANSFORM MORV_INSTALLED_PLATFORM_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/)
install(FILES ${MORV_PUBLIC_HEADER}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/morvtransport COMPONENT development)
install(FILES ${MORV_INSTALLED_PLATFORM_HEADERS}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/morvtransport/platform COMPONENT development)

install(EXPORT morvtransportTargets NAMESPACE morvtransport:: DESTINATION ${MORV_CMAKE_DIR} COMPONENT development)
set(MORV_PLUGIN_RELATIVE ${MORV_PRIVATE_LIBDIR}/libmorvtransport.so)
configure_package_config_file(cmake/morvtransportConfig.cmake.in
  ${PROJECT_BINARY_DIR}/morvtransportConfig.cmake
  INSTALL_DESTINATION ${MORV_CMAKE_DIR}
  PATH_VARS MORV_PLUGIN_RELATIVE)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/morvtransportConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/morvtransportConfig.cmake ${PROJECT_BINARY_DIR}/morvtransportConfigVersion.cmake
  DESTINATION ${MORV_CMAKE_DIR} COMPONENT development)

file(RELATIVE_PATH MORV_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" MORV_PC_TO_PREFIX "${MORV_PC_TO_PREFIX}")
configure_file(cmake/morvtransport.pc.in ${PROJECT_BINARY_DIR}/morvtransport.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/morvtransport.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)
