# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
# The program and the Windows test executables link statically, so they need no
# runtime DLL; ctest runs the tests under Wine through the emulator below.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# A project-local Wine prefix under the build folder. WINEPREFIX must sit inside
# the emulator command itself: test discovery does not see a test's ENVIRONMENT.
if(NOT DEFINED WINE_PREFIX)
  set(WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix used by the Windows tests")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEDEBUG=-all WINEPREFIX=${WINE_PREFIX} WINEDLLOVERRIDES=winemenubuilder.exe=d wine)
