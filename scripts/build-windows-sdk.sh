#!/usr/bin/env bash
# Builds Qt Base 6.4.2 (static Core, Gui, Widgets, Test; the windows, offscreen and
# minimal platform plugins) and SDL 2.26.5 (static and SDL2.dll) for x86_64 Windows
# with Debian's MinGW-w64, from Debian 12's own source packages, into
# ${XDG_CACHE_HOME:-~/.cache}/velox/windows-sdk, where scripts/windows-sdk.sh finds it.
# About 35 minutes on 2 cores. Debian's moc, uic and rcc (qt6-base-dev-tools, the
# same 6.4.2) serve as host tools.
# QT_BUILD_TYPE=Debug or QT_SHARED=ON give a debug or a DLL build of Qt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/velox"
prefix="${1:-$cache/windows-sdk}"
work="$cache/windows-sdk-build"
mkdir -p "$work/apt/lists" "$work/apt/cache"
cd "$work"

# Debian's source packages, through apt with a list of its own (no change to the system's).
mirror="$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)"
printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s bookworm main\n' \
  "${mirror:-http://deb.debian.org/debian}" >apt/sources.list
apt=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
     -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache")
apt-get "${apt[@]}" update -qq
(cd apt && apt-get "${apt[@]}" source --download-only qt6-base libsdl2 >/dev/null)
[ -d qtbase-everywhere-src-6.4.2 ] || tar xJf apt/qt6-base_6.4.2+dfsg.orig.tar.xz
[ -d SDL2-2.26.5 ] || tar xzf apt/libsdl2_2.26.5+dfsg.orig.tar.gz
# Qt 6.4.2's windows platform plugin does not compile with OpenGL off: isSoftwareGl
# uses OpenGL types whenever dynamicgl is on.
sed -i '/static inline bool isSoftwareGl/,/#endif/ s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowswindow.cpp

cat >toolchain.cmake <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
toolchain=(-DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix")
cmake -S qtbase-everywhere-src-6.4.2 -B qt-build -G Ninja "${toolchain[@]}" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE="${QT_BUILD_TYPE:-Release}" -DBUILD_SHARED_LIBS="${QT_SHARED:-OFF}" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_testlib=ON -DFEATURE_accessibility=ON \
  -DFEATURE_tabletevent=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF >qt-configure.log
nice -n 10 cmake --build qt-build --parallel "$(nproc)" >qt-build.log
cmake --install qt-build >qt-install.log
cmake -S SDL2-2.26.5 -B sdl-build -G Ninja "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DSDL_SHARED=ON -DSDL_STATIC=ON -DSDL_TEST=OFF >sdl-configure.log
nice -n 10 cmake --build sdl-build --parallel "$(nproc)" >sdl-build.log
cmake --install sdl-build >sdl-install.log
rm -f "$prefix.stamp"
echo "Qt and SDL for Windows in $prefix (build logs in $work)"
