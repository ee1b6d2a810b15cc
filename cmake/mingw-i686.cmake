# The product: 32-bit Windows (PE32). Its tests run under 32-bit Wine (that of the clone's i386
# root, build/root32) where the kernel starts 32-bit programs.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
