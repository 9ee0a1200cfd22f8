# `make package`: one Debian package (CPack) of everything `cmake --install`
# puts in place, with the dependencies dpkg-shlibdeps finds and the licence
# as its copyright file. Configure with CMAKE_INSTALL_PREFIX=/usr for it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvtransport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the MORVTRANSPORT authors")
set(CPACK_PACKAGE_CONTACT "the MORVTRANSPORT authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mail transport plug-in for game clients, with the host morv-host")
set(CPACK_PACKAGE_DESCRIPTION
  "MORVTRANSPORT delivers the turns of a game client's games by e-mail, by its own SMTP client or by Simple MAPI. The package holds the plug-in, the platform library that host programs share with it, the sendmail-backed Simple MAPI provider, the host morv-host with its man page and bash completion, and what host authors build against (header, CMake package, pkg-config file). Licence: MIT.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plug-in links the platform library that the package itself holds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "msmtp-mta | mail-transport-agent")
include(CPack)

# What the package holds, so that a packaging tree builds no test.
add_custom_target(packaged DEPENDS morvplatform morvtransport mapi32_sendmail morv-host)
if(TARGET morv-host-man)
  add_dependencies(packaged morv-host-man)
endif()
