# Toolchain for 64-bit Windows (MinGW-w64 x86-64): the launcher and the tools run under a 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SPLAUNCH_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
