# The part of the MinGW-w64 toolchain files that both architectures share. The including file
# sets VOK_MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32) and the emulator. The compilers
# of the win32 thread model: the library starts no threads, and its image carries no threads
# runtime that would keep anything of the host's threads after an unload.
set(CMAKE_SYSTEM_NAME Windows)

find_program(MINGW_CXX NAMES ${VOK_MINGW_TRIPLET}-g++-win32 REQUIRED)
find_program(MINGW_CC NAMES ${VOK_MINGW_TRIPLET}-gcc-win32 REQUIRED)
find_program(MINGW_RC NAMES ${VOK_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_C_COMPILER ${MINGW_CC})
set(CMAKE_CXX_COMPILER ${MINGW_CXX})
set(CMAKE_RC_COMPILER ${MINGW_RC})
set(CMAKE_FIND_ROOT_PATH /usr/${VOK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
