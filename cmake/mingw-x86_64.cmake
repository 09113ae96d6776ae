# 64-bit Windows (x86_64) with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PAYLODE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
