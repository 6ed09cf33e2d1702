# Shared part of the MinGW-w64 toolchain files: Debian's cross compilers with POSIX threads
# (std::thread and std::mutex need them). Expects KIVO_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KIVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot and from prefixes the caller adds to
# CMAKE_FIND_ROOT_PATH (the cross-built libjpeg); never from the Linux system.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${KIVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
