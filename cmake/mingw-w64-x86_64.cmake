# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELOX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELOX_MINGW_PREFIX}-windres)

# Qt and SDL for Windows (VELOX_WINDOWS_SDK) plus the compiler's own sysroot.
set(CMAKE_FIND_ROOT_PATH /usr/${VELOX_MINGW_PREFIX} $ENV{VELOX_WINDOWS_SDK} ${VELOX_WINDOWS_SDK})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and probes run through Wine.
find_program(VELOX_WINE NAMES wine64 wine)
if(VELOX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELOX_WINE})
endif()

# One program with nothing beside it but SDL2.dll: the C and C++ runtimes go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
