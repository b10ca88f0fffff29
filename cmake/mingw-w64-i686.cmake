# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake (or: cmake --preset win32)
# Cross-builds 32-bit Windows binaries with MinGW-w64 (win32 thread model) and runs them under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VOK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
find_program(WINE NAMES wine REQUIRED)

# ctest runs the Windows test programs through Wine, in the build tree's own 32-bit prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
