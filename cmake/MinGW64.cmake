# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix threads
# model, which gives std::thread):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64.cmake \
#         -DTIDEWASH_WINDOWS_LIBRARIES=PREFIX -DTIDEWASH_TESTS=OFF
# PREFIX holds SDL 1.2 and libmpg123 built for Windows (scripts/windows.sh
# makes it); the build tools come from a native build (TIDEWASH_HOST_TOOLS).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw} ${TIDEWASH_WINDOWS_LIBRARIES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Passed on to try_compile projects.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TIDEWASH_WINDOWS_LIBRARIES)
