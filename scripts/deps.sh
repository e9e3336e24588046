#!/usr/bin/env bash
# Builds the third-party libraries for MinGW-w64 from Debian's source packages
# into a cache outside the clone, and prepares a Wine prefix template there.
# Each piece carries a stamp with its source version and the compiler version,
# so a fresh clone reuses what is built and only a missing or changed piece is
# rebuilt.
#   ORBCHAT_CACHE   cache folder (default ~/.cache/orbchat)
set -euo pipefail

CACHE=${ORBCHAT_CACHE:-$HOME/.cache/orbchat}
PREFIX=$CACHE/deps
SRC=$CACHE/src
APTDIR=$CACHE/apt
TRIPLE=x86_64-w64-mingw32
HERE=$(cd "$(dirname "$0")/.." && pwd)
CC_VERSION=$($TRIPLE-g++-posix -dumpfullversion 2>/dev/null || echo none)
mkdir -p "$PREFIX" "$SRC"

log() { echo "deps: $*"; }

# A private apt configuration: the source index is added here without touching
# the system's apt setup.
apt_private() {
  if [ ! -f "$APTDIR/apt.conf" ]; then
    mkdir -p "$APTDIR"/{lists/partial,cache/archives/partial}
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    local main security
    main=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    security=$(awk '/^URIs:/{n++; if (n==2) {print $2; exit}}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    main=${main:-http://deb.debian.org/debian}
    security=${security:-http://deb.debian.org/debian-security}
    cat > "$APTDIR/sources.list" <<LIST
deb-src [signed-by=$keyring] $main bookworm main
deb-src [signed-by=$keyring] $main bookworm-updates main
deb-src [signed-by=$keyring] $security bookworm-security main
deb [signed-by=$keyring] $main bookworm main
LIST
    cat > "$APTDIR/apt.conf" <<CONF
Dir::Etc::SourceList "$APTDIR/sources.list";
Dir::Etc::SourceParts "/dev/null";
Dir::State::Lists "$APTDIR/lists";
Dir::State::status "/var/lib/dpkg/status";
Dir::Cache "$APTDIR/cache";
APT::Sandbox::User "root";
CONF
    APT_CONFIG=$APTDIR/apt.conf apt-get update -q >/dev/null
  fi
}

# Fetches the source package $1 into $SRC/$1 and prints its unpacked folder.
fetch_source() {
  local pkg=$1 dir=$SRC/$1
  if ! ls -d "$dir"/*/ >/dev/null 2>&1; then
    apt_private
    mkdir -p "$dir"
    (cd "$dir" && APT_CONFIG=$APTDIR/apt.conf apt-get source -q --download-only "$pkg" >/dev/null \
      && dpkg-source --no-check -x ./*.dsc >/dev/null)
  fi
  ls -d "$dir"/*/ | head -1
}

source_version() { basename "$(ls "$SRC/$1"/*.dsc)" .dsc; }

# For a source package whose Debian part cannot always be fetched here (the
# security archive may answer 404 for it): the upstream tarball alone is
# enough, and apt-get has checked it against the signed index. Prints the
# unpacked folder.
fetch_upstream() {
  local pkg=$1 dir=$SRC/$1 tarball
  if ! ls -d "$dir"/*/ >/dev/null 2>&1; then
    apt_private
    mkdir -p "$dir"
    (cd "$dir" && APT_CONFIG=$APTDIR/apt.conf apt-get source -q --download-only "$pkg" >/dev/null 2>&1) || true
    tarball=$(ls "$dir/${pkg}"_*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -1)
    [ -n "$tarball" ] || { echo "deps: the source of $pkg cannot be fetched" >&2; return 1; }
    tar -xf "$tarball" -C "$dir"
  fi
  ls -d "$dir"/*/ | head -1
}

upstream_version() {
  local tarball; tarball=$(ls "$SRC/$1/${1}"_*.orig.tar.* | grep -v '\.asc$' | head -1)
  basename "$tarball" | sed 's/\.orig\.tar\..*//'
}

stamp_ok() { [ -f "$PREFIX/.stamp-$1" ] && [ "$(cat "$PREFIX/.stamp-$1")" = "$2" ]; }
stamp_set() { echo "$2" > "$PREFIX/.stamp-$1"; }

build_sqlite() {
  local dir; dir=$(fetch_source sqlite3)
  local want; want="$(source_version sqlite3) $CC_VERSION"
  stamp_ok sqlite "$want" && return 0
  log "building SQLite ($want)"
  local bld=$SRC/sqlite3-build
  rm -rf "$bld" && mkdir -p "$bld"
  (cd "$bld" && "$dir/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  $TRIPLE-gcc-posix -O2 -c "$bld/sqlite3.c" -o "$bld/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_DQS=0 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DEFAULT_FOREIGN_KEYS=0
  mkdir -p "$PREFIX/include" "$PREFIX/lib"
  rm -f "$PREFIX/lib/libsqlite3.a"
  $TRIPLE-ar rcs "$PREFIX/lib/libsqlite3.a" "$bld/sqlite3.o"
  cp "$bld/sqlite3.h" "$bld/sqlite3ext.h" "$PREFIX/include/"
  stamp_set sqlite "$want"
}

cmake_dep() {   # name, source dir, extra cmake arguments...
  local name=$1 dir=$2; shift 2
  local bld=$SRC/$name-build
  rm -rf "$bld"
  cmake -S "$dir" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$HERE/cmake/mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$bld" >/dev/null
  cmake --install "$bld" >/dev/null
}

build_jsoncpp() {
  local dir; dir=$(fetch_source libjsoncpp)
  local want; want="$(source_version libjsoncpp) $CC_VERSION"
  stamp_ok jsoncpp "$want" && return 0
  log "building jsoncpp ($want)"
  cmake_dep jsoncpp "$dir" -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF -DJSONCPP_WITH_TESTS=OFF \
    -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=ON
  stamp_set jsoncpp "$want"
}

# libxml2's HTML parser, for the HTML editor control. Built without iconv (the
# control converts code page 936 to UTF-8 before parsing), compression,
# network access, Python, tests or programs. LIBXML_STATIC also while it is
# compiled: otherwise its objects mark every function for export, and the
# control's DLL would export all of libxml2.
build_libxml2() {
  local dir; dir=$(fetch_source libxml2)
  local want; want="$(source_version libxml2) $CC_VERSION static"
  stamp_ok libxml2 "$want" && return 0
  log "building libxml2 ($want)"
  cmake_dep libxml2 "$dir" -DCMAKE_C_FLAGS=-DLIBXML_STATIC -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF
  stamp_set libxml2 "$want"
}

# OpenSSL for the MQTT transport's TLS: the two static libraries and their
# headers only (no programs, tests or manuals), two jobs at a time. The first
# build takes minutes; afterwards the stamp skips it.
OPENSSL_OPTIONS=(no-shared no-module no-legacy no-engine no-dso no-tests no-comp no-srp no-ssl3 no-dtls
  no-sctp no-srtp no-capieng no-idea no-mdc2 no-rc5 no-whirlpool no-camellia no-seed no-gost)
build_openssl() {
  local dir; dir=$(fetch_upstream openssl)
  local want; want="$(upstream_version openssl) $CC_VERSION ${OPENSSL_OPTIONS[*]}"
  stamp_ok openssl "$want" && return 0
  log "building OpenSSL ($want); this takes a few minutes once"
  local out=$SRC/openssl-build.log
  if ! (cd "$dir" && { [ ! -f Makefile ] || make -s clean >/dev/null 2>&1 || true; } \
    && ./Configure mingw64 "${OPENSSL_OPTIONS[@]}" --cross-compile-prefix=$TRIPLE- CC=gcc-posix \
         --prefix="$PREFIX" --libdir=lib \
    && nice make -s -j2 build_libs && make -s install_dev) >"$out" 2>&1; then
    tail -20 "$out" >&2
    echo "deps: the OpenSSL build failed; its output is in $out" >&2
    return 1
  fi
  stamp_set openssl "$want"
}

# libmosquitto, the MQTT client library: static, with TLS through the OpenSSL
# above, without its own threads (the transport drives it from a thread of its
# own), without the broker, programs, plugins or manuals.
build_mosquitto() {
  local dir; dir=$(fetch_source mosquitto)
  local want; want="$(source_version mosquitto) $CC_VERSION tls $(cat "$PREFIX/.stamp-openssl")"
  stamp_ok mosquitto "$want" && return 0
  log "building libmosquitto ($want)"
  local bld=$SRC/mosquitto-build
  rm -rf "$bld"
  cmake -S "$dir" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$HERE/cmake/mingw64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DORB_DEPS_PREFIX="$PREFIX" -DOPENSSL_ROOT_DIR="$PREFIX" -DOPENSSL_USE_STATIC_LIBS=ON -DWITH_TLS=ON -DWITH_TLS_PSK=OFF \
    -DWITH_BROKER=OFF -DWITH_APPS=OFF -DWITH_CLIENTS=OFF -DWITH_PLUGINS=OFF -DDOCUMENTATION=OFF -DWITH_CJSON=OFF \
    -DWITH_STATIC_LIBRARIES=ON -DWITH_THREADING=OFF -DWITH_LIB_CPP=OFF -DWITH_SRV=OFF -DWITH_SOCKS=OFF >/dev/null
  # The static library alone: the DLL of the package is not wanted.
  cmake --build "$bld" --target libmosquitto_static >/dev/null
  mkdir -p "$PREFIX/include" "$PREFIX/lib"
  cp "$bld/lib/libmosquitto_static.a" "$PREFIX/lib/"
  cp "$dir/include/mosquitto.h" "$dir/include/mqtt_protocol.h" "$PREFIX/include/"
  stamp_set mosquitto "$want"
}

build_gtest() {
  # Debian's googletest package ships the sources in /usr/src/googletest.
  local dir=/usr/src/googletest
  local want; want="$(dpkg-query -W -f='${Version}' googletest) $CC_VERSION"
  stamp_ok gtest "$want" && return 0
  log "building GoogleTest ($want)"
  cmake_dep gtest "$dir" -Dgtest_disable_pthreads=ON
  stamp_set gtest "$want"
}

# The Marlett and Tahoma fonts of Debian's fonts-wine, so captions draw their
# close box; unpacked into the cache, copied into each prefix.
fetch_wine_fonts() {
  [ -d "$CACHE/wine-fonts" ] && ls "$CACHE/wine-fonts"/*.ttf >/dev/null 2>&1 && return 0
  apt_private
  local tmp; tmp=$(mktemp -d)
  (cd "$tmp" && APT_CONFIG=$APTDIR/apt.conf apt-get download -q fonts-wine >/dev/null && dpkg -x fonts-wine_*.deb x)
  mkdir -p "$CACHE/wine-fonts"
  find "$tmp/x" -name '*.ttf' -exec cp {} "$CACHE/wine-fonts/" \;
  rm -rf "$tmp"
}

# A Wine prefix made once: unmanaged X11 windows (no 2 s delay when a window
# closes without a window manager), the fonts above, and legible Chinese at the
# templates' small sizes: the fonts that dialogs and pages name are replaced by
# WenQuanYi Micro Hei (outlines only; Zen Hei's embedded bitmap strikes look
# rough at 9 pt) and font smoothing is on.
# .stamp holds the Wine version, .stamp-settings the version of the settings
# below: raise PREFIX_SETTINGS when they change, so that cached templates (and
# the build trees' prefixes copied from them) are made again.
PREFIX_SETTINGS="cjk-smoothing 2"
# "Serif" is no font at all: pages name it ("face=Serif") and Windows shows such
# text in the default Chinese font, which has the no-break space; Wine's own
# choice has neither that nor Chinese glyphs.
CJK_FACES=("SimSun" "NSimSun" "宋体" "新宋体" "SimHei" "Microsoft YaHei" "WenQuanYi Zen Hei" "Serif")

prefix_settings() {
  local desktop='HKCU\Control Panel\Desktop' face
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add "$desktop" /v FontSmoothing /t REG_SZ /d 2 /f >/dev/null 2>&1
  wine reg add "$desktop" /v FontSmoothingType /t REG_DWORD /d 2 /f >/dev/null 2>&1
  wine reg add "$desktop" /v FontSmoothingGamma /t REG_DWORD /d 1400 /f >/dev/null 2>&1
  wine reg add "$desktop" /v FontSmoothingOrientation /t REG_DWORD /d 1 /f >/dev/null 2>&1
  for face in "${CJK_FACES[@]}"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f \
      >/dev/null 2>&1
  done
}

build_prefix_template() {
  local tpl=$CACHE/wineprefix-template
  local want; want="$(wine --version 2>/dev/null)"
  [ -f "$tpl/.stamp" ] && [ "$(cat "$tpl/.stamp")" = "$want" ] \
    && [ -f "$tpl/.stamp-settings" ] && [ "$(cat "$tpl/.stamp-settings")" = "$PREFIX_SETTINGS" ] && return 0
  log "initialising the Wine prefix template ($want, $PREFIX_SETTINGS)"
  rm -rf "$tpl"
  (
    export WINEPREFIX=$tpl WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
    wineboot -i >/dev/null 2>&1
    prefix_settings
    wineserver -w
  )
  cp "$CACHE"/wine-fonts/*.ttf "$tpl/drive_c/windows/Fonts/"
  echo "$want" > "$tpl/.stamp"
  echo "$PREFIX_SETTINGS" > "$tpl/.stamp-settings"
}

build_sqlite
build_jsoncpp
build_libxml2
build_gtest
build_openssl
build_mosquitto
fetch_wine_fonts
build_prefix_template
echo "$PREFIX"
