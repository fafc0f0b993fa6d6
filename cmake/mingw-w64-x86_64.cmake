# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Qt and SDL for Windows come from VELOX_WINDOWS_SDK (a cache variable or the
# environment), else from the cache that scripts/windows-sdk.sh unpacks into.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELOX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELOX_MINGW_PREFIX}-windres)

if(NOT VELOX_WINDOWS_SDK)
  if(DEFINED ENV{VELOX_WINDOWS_SDK} AND NOT "$ENV{VELOX_WINDOWS_SDK}" STREQUAL "")
    set(VELOX_WINDOWS_SDK "$ENV{VELOX_WINDOWS_SDK}")
  elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(VELOX_WINDOWS_SDK "$ENV{XDG_CACHE_HOME}/velox/windows-sdk")
  else()
    set(VELOX_WINDOWS_SDK "$ENV{HOME}/.cache/velox/windows-sdk")
  endif()
endif()
set(VELOX_WINDOWS_SDK "${VELOX_WINDOWS_SDK}" CACHE PATH "Qt and SDL built for Windows (unpacked windows-sdk folder)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELOX_WINDOWS_SDK)

# Qt and SDL for Windows plus the compiler's own sysroot; Debian's moc, uic and
# rcc serve as host tools.
set(CMAKE_FIND_ROOT_PATH /usr/${VELOX_MINGW_PREFIX} ${VELOX_WINDOWS_SDK})
list(APPEND CMAKE_PREFIX_PATH ${VELOX_WINDOWS_SDK})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(NOT QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine (moc, uic, rcc)")
endif()
if(NOT QT_HOST_PATH_CMAKE_DIR)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake packages of QT_HOST_PATH")
endif()

# Tests and probes run through Wine: Debian keeps the 64-bit loader out of the PATH.
find_program(VELOX_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VELOX_WINE NAMES wine64 wine)
if(VELOX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELOX_WINE})
endif()

# One program with nothing beside it: the C and C++ runtimes go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
