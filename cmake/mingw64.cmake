# Cross toolchain: 64-bit Windows binaries from MinGW-w64, posix thread model
# (GoogleTest and std::mutex need it). The GCC runtime is linked statically so
# every .exe and .dll runs under Wine with nothing else installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORB_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ORB_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORB_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ORB_TRIPLE}-windres)
set(CMAKE_RC_FLAGS_INIT "-c 65001")

set(CMAKE_FIND_ROOT_PATH /usr/${ORB_TRIPLE} ${ORB_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
