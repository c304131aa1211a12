# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# SKV_WIN_PREFIX (optional): a folder of libraries built for Windows, searched
# as a second root. Tests and configure-time checks run under wine64
# (scripts/wine.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SKV_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SKV_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKV_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SKV_MINGW}-windres)
set(CMAKE_AR ${SKV_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${SKV_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${SKV_MINGW} ${SKV_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
# Later configure steps (try_compile) see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SKV_WIN_PREFIX)
# Everything links statically: the game needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# pkg-config looks only at the Windows libraries.
if(SKV_WIN_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${SKV_WIN_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
