# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DQURIX_WITH_QT=OFF -DQURIX_BENCH=OFF
# Programs link statically, so they run under Wine or on Windows without MinGW's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QURIX_MINGW x86_64-w64-mingw32)
# The POSIX thread model gives std::thread and std::mutex; winpthread links statically.
set(CMAKE_C_COMPILER ${QURIX_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QURIX_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QURIX_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QURIX_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(QURIX_WINE NAMES wine64 wine)
if(QURIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QURIX_WINE})
endif()
