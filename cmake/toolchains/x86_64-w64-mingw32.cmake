# 64-bit Windows with mingw-w64 (Debian's g++-mingw-w64-x86-64-posix).
set(MORV_MINGW_TRIPLE x86_64-w64-mingw32)
set(MORV_MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
