# Cross-build for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix); the programs
# and tests run under Wine (Debian: wine64), in a Wine prefix of the build tree's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in, so that each .exe runs on a bare Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(WINE_LOADER NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
find_program(WINE_SERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(WINE_LOADER)
    set(WINE_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${WINE_ENVIRONMENT};${WINE_LOADER}")
endif()
