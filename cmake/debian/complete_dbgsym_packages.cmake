# Run by CPack once it has made the packages (CPACK_POST_BUILD_SCRIPTS).
# CPack lists the files of a -dbgsym package in its md5sums by the paths
# they had in its staging folder, and gives it no documentation folder.
# Each .ddeb is unpacked, its documentation folder made a link to the one
# of the package it depends on (as Debian's -dbgsym packages have it), its
# md5sums written anew with the paths in the package, and packed again.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(root ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-unpacked)
  file(REMOVE_RECURSE ${root})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS ${root}/DEBIAN/control name REGEX "^Package: ")
  string(REGEX REPLACE "^Package: " "" name "${name}")
  string(REGEX REPLACE "-dbgsym$" "" debugged "${name}")
  file(MAKE_DIRECTORY ${root}/usr/share/doc)
  file(CREATE_LINK ${debugged} ${root}/usr/share/doc/${name} SYMBOLIC)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  set(sums "")
  foreach(file IN LISTS files)
    if(IS_SYMLINK ${root}/${file})
      continue()
    endif()
    file(MD5 ${root}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${root}/DEBIAN/md5sums "${sums}")
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${root} ${package} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${root})
endforeach()
