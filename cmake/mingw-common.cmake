# Shared part of the MinGW-w64 toolchain files. The compilers of the win32 thread model: their runtime needs
# no threading library (winpthread, which the -posix compilers' runtime links into every program, needs
# Windows Vista and adds about 33 KB to the setup program); our worker threads are platform/Threads.h.
set(CMAKE_C_COMPILER ${TESSARO_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TESSARO_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${TESSARO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows programs carry their runtime: nothing from MinGW has to lie beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
