# Toolchain for 32-bit Windows (MinGW-w64 i686): the shipped launcher.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SPLAUNCH_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
