#!/usr/bin/env bash
# Usage: build.sh [PREFIX]  Cross-builds Qt Base 6.4.2 (static Core, Gui, Widgets, Test + the windows and
# offscreen platform plugins) and SDL 2.26.5 for x86_64 Windows with Debian's MinGW-w64, from Debian's own source
# packages, into PREFIX (default /tmp/qtx/install). Host tools (moc, uic, rcc) come from Debian's qt6-base-dev-tools,
# the same 6.4.2. Debian's qtbase source lacks the wintab header, hence tabletevent OFF.
# QT_BUILD_TYPE=Debug and QT_SHARED=ON give a debug or a DLL build of Qt (default: static Release).
# Same as the shared archive's build.sh, plus qt-6.4.2-windows-font-line-box.patch beside this script: Qt's GDI font
# engine measures a string's box from TEXTMETRIC but its line from the typographic metrics (fonts with USE_TYPO_METRICS),
# and QLineEdit then paints its text above its own clip (under Wine: every text box looks empty).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=${1:-/tmp/qtx/install}; work=/tmp/qtx; mkdir -p "$work/srcapt/lists" "$work/srcapt/cache"; cd "$work"
printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s bookworm main\n' \
  "$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)" > srcapt/sources.list
A=(-o Dir::Etc::SourceList=$work/srcapt/sources.list -o Dir::Etc::SourceParts=/dev/null -o Dir::State::Lists=$work/srcapt/lists -o Dir::Cache=$work/srcapt/cache)
apt-get "${A[@]}" update -qq
(cd srcapt && apt-get "${A[@]}" source --download-only qt6-base libsdl2 >/dev/null 2>&1)
[ -d qtbase-everywhere-src-6.4.2 ] || tar xJf srcapt/qt6-base_6.4.2+dfsg.orig.tar.xz
# Qt 6.4.2's windows platform plugin does not compile with OpenGL off (isSoftwareGl uses GL types under dynamicgl).
sed -i '/static inline bool isSoftwareGl/,/#endif/ s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowswindow.cpp
engine=qtbase-everywhere-src-6.4.2/src/gui/text/windows/qwindowsfontengine.cpp
grep -q 'ascent() + descent(), w, 0);' "$engine" || patch -d qtbase-everywhere-src-6.4.2 -p1 < "$here/qt-6.4.2-windows-font-line-box.patch"
grep -q 'ascent() + descent(), w, 0);' "$engine"
[ -d SDL2-2.26.5 ] || tar xzf srcapt/libsdl2_2.26.5+dfsg.orig.tar.gz
cat > toolchain.cmake <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
cmake -S qtbase-everywhere-src-6.4.2 -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=$work/toolchain.cmake \
 -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_INSTALL_PREFIX=$prefix \
 -DCMAKE_BUILD_TYPE=${QT_BUILD_TYPE:-Release} -DBUILD_SHARED_LIBS=${QT_SHARED:-OFF} -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
 -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF \
 -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_testlib=ON -DFEATURE_accessibility=ON \
 -DFEATURE_tabletevent=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
 -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF >configure.log
nice -n 10 cmake --build build --parallel 2 >build.log && cmake --install build >install.log
cmake -S SDL2-2.26.5 -B sdlbuild -G Ninja -DCMAKE_TOOLCHAIN_FILE=$work/toolchain.cmake -DCMAKE_BUILD_TYPE=Release \
 -DCMAKE_INSTALL_PREFIX=$prefix -DSDL_SHARED=ON -DSDL_STATIC=ON -DSDL_TEST=OFF >sdl-configure.log
nice -n 10 cmake --build sdlbuild --parallel 2 >sdl-build.log && cmake --install sdlbuild >sdl-install.log
tar -C "$(dirname "$prefix")" -cJf "$work/qt6.4.2-sdl2.26.5-mingw64-static.tar.xz" --transform "s,^$(basename "$prefix"),windows-sdk," "$(basename "$prefix")"
echo "Qt and SDL for Windows in $prefix; archive $work/qt6.4.2-sdl2.26.5-mingw64-static.tar.xz"
