# `make package`: Debian packages (CPack) of what `cmake --install` puts in
# place, one per install component, split as Debian splits a library:
#   libmorvplatformN   the platform library, named after its soname
#                      (N: its SOVERSION), with its shlibs file and the
#                      ldconfig trigger
#   morvtransport      the plug-in, the Simple MAPI provider and morv-host
#                      with its man page, completion and documentation
#   morvtransport-dev  the headers, the CMake package, the pkg-config file
#                      and the library's link name
# and a -dbgsym package (.ddeb) with the debug symbols of each package's
# binaries, which the packages hold stripped. Each package carries the
# licence as its copyright file and a changelog. Configure with
# CMAKE_INSTALL_PREFIX=/usr for it.
get_target_property(MORV_SOVERSION morvplatform SOVERSION)
set(MORV_LIBRARY_PACKAGE libmorvplatform${MORV_SOVERSION})
set(MORV_MAINTAINER "MORVTRANSPORT developers <dev@morvtransport.invalid>")
set(MORV_DEBIAN_VERSION ${PROJECT_VERSION}-1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvtransport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the MORVTRANSPORT authors")
set(CPACK_PACKAGE_CONTACT ${MORV_MAINTAINER})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MORV_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plug-in and morv-host link the platform library of the library package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${MORV_LIBRARY_PACKAGE})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "platform library of the MORVTRANSPORT mail transport plug-in
The framework library (strings, string maps, host windows, dialogs, threads)
that the MORVTRANSPORT plug-in and the host programs that load it share, one
copy per process.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME morvtransport)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION mail)
set(CPACK_COMPONENT_RUNTIME_DEPENDS library)
# The SMTP client checks the server's certificate against the system's CAs.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS ca-certificates)
# A mail transfer agent for the Simple MAPI route.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SUGGESTS "default-mta | mail-transport-agent")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "mail transport plug-in for game clients, with the host morv-host
MORVTRANSPORT delivers the turns of a game client's games by e-mail, by its
own SMTP client (with STARTTLS or TLS and a login for a mail provider) or by
Simple MAPI. The package holds the plug-in, the sendmail-backed Simple MAPI
provider, and the host morv-host, which configures games and sends their
turns from the command line or a terminal page.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME morvtransport-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The CMake package names the plug-in's file.
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "MORVTRANSPORT mail transport plug-in: files for host programs
The public header with the platform headers, the CMake package and the
pkg-config file that a host program of the MORVTRANSPORT plug-in builds
against (C++20).")

# Each package's copyright file and changelog; `cmake --install` alone
# installs only the licence of the runtime (install_rules.cmake).
string(TIMESTAMP MORV_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
  COMMAND gzip -9n -f -k ${PROJECT_BINARY_DIR}/debian/changelog.Debian
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian)
add_custom_target(debian-changelog DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
foreach(component IN ITEMS library runtime development)
  string(TOUPPER ${component} upper)
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz DESTINATION ${docdir}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
  if(NOT component STREQUAL "runtime")
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${docdir} RENAME copyright
      COMPONENT ${component} EXCLUDE_FROM_ALL)
  endif()
endforeach()
# CPack's -dbgsym packages need completing.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/complete_dbgsym_packages.cmake)
include(CPack)

# What the packages hold, so that a packaging tree builds no test.
add_custom_target(packaged DEPENDS morvplatform morvtransport mapi32_sendmail morv-host debian-changelog)
if(TARGET morv-host-man)
  add_dependencies(packaged morv-host-man)
endif()
