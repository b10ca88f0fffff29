# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake (or: cmake --preset win64)
# Cross-builds 64-bit Windows binaries with MinGW-w64 (win32 thread model) and runs them under 64-bit
# Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VOK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
find_program(WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)

# ctest runs the Windows test programs through 64-bit Wine, in the build tree's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh --win64)
