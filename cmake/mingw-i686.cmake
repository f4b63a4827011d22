# Cross-compiling for 32-bit Windows with MinGW-w64 on Debian:
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# The posix thread flavour of the compilers is named on purpose: Debian's
# plain i686-w64-mingw32-g++ is the win32 flavour, which has no std::thread,
# std::mutex or std::condition_variable. Programs are linked statically so
# that they need no MinGW runtime DLLs beside them; test programs run under
# Wine through the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(mingw_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)
set(CMAKE_AR ${mingw_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_triple}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${mingw_triple}-strip CACHE FILEPATH "")
set(CMAKE_OBJCOPY ${mingw_triple}-objcopy CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${mingw_triple}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Wine runs the test programs; the programs themselves build without it.
find_program(COFFER_WINE wine)
