# The same code for 64-bit Windows (PE32+): its tests run under 64-bit Wine on every machine,
# including those whose kernel cannot start 32-bit programs.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
