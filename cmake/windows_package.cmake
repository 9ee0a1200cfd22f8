# `make package-windows`: the zip a player downloads, unpacks into a folder
# of its own and runs there (CPack's ZIP generator). morv-host.exe,
# MORVTRANSPORT.DLL and morvplatform.dll lie side by side at the top: the
# loader looks in the program's folder first for the DLLs it imports, and
# morv-host.exe for the plug-in beside itself. The compiler's runtime is
# linked into each module (cmake/toolchains/mingw-common.cmake), so no
# runtime DLL is shipped; tests/scripts/check_windows_package.sh holds the
# zip to importing only system DLLs and its own. The import libraries and
# the tests' Simple MAPI fake stay out.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MORV_WINDOWS_WIDTH win64)
else()
  set(MORV_WINDOWS_WIDTH win32)
endif()

install(TARGETS morvplatform morvtransport morv-host
  RUNTIME DESTINATION .
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
# Windows opens a file with the program its extension names.
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES README.md DESTINATION .)
# The README shows the settings window.
install(FILES docs/windows.md docs/windows-settings.png DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME morvtransport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the MORVTRANSPORT authors")
set(CPACK_PACKAGE_FILE_NAME morvtransport-${PROJECT_VERSION}-${MORV_WINDOWS_WIDTH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The symbol tables are a third of each module and of no use to a player.
set(CPACK_STRIP_FILES ON)
include(CPack)

# What the zip holds, so that packaging builds no test.
add_custom_target(packaged DEPENDS morvplatform morvtransport morv-host)
