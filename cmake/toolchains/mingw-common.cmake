# What both mingw-w64 toolchains share: the posix-threads compilers of
# Debian's g++-mingw-w64 packages, their sysroot only, and a runtime
# linked in statically, so that the DLLs and programs import nothing but
# system DLLs and each other.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MORV_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${MORV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MORV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into each module.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
