#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine,
# then builds libogg, libvorbis, libFLAC, libopus, libopusenc, TagLib and the
# LAME encoder program for the i686 Windows target into a cached prefix outside the
# work tree.  Idempotent: a second run only checks.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
DEPS_PREFIX=${CORVALE_DEPS:-/opt/corvale-deps}
STAMP_PKGS=/var/lib/corvale-bootstrap.pkgs
PACKAGES=(
  cmake ninja-build make pkg-config
  g++ googletest zlib1g-dev libdiscid-dev
  mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev
  wine wine32 xvfb xdotool x11-utils imagemagick
  lame
  dpkg-dev python3 gcc-multilib
  vorbis-tools flac opus-tools python3-mutagen libutfcpp-dev
  clang-format git
)
PKG_LIST_ID="$(printf '%s\n' "${PACKAGES[@]}" | sha1sum | cut -c1-12)"

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

install_packages() {
  if [ -f "$STAMP_PKGS" ] && [ "$(cat "$STAMP_PKGS")" = "$PKG_LIST_ID" ]; then
    return
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  # Source packages are needed for libogg, libvorbis and lame.
  if [ -f /etc/apt/sources.list.d/debian.sources ] &&
     ! grep -q 'deb-src' /etc/apt/sources.list.d/debian.sources; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  fi
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
  echo "$PKG_LIST_ID" | as_root tee "$STAMP_PKGS" >/dev/null
}

# Builds one Debian source package with autotools for the target, unless the
# file it installs last (a path below the prefix) is there already.  Further
# arguments go to its configure script.  With MAKE_DIRS set, only those
# folders of the source are built and installed.
build_source_package() {
  local name=$1 installed=$2
  shift 2
  if [ -f "$DEPS_PREFIX/$installed" ]; then return; fi
  local work
  work=$(mktemp -d)
  (
    cd "$work"
    apt-get source -q --download-only "$name" >/dev/null
    dpkg-source -x ./*.dsc src >/dev/null
    cd src
    CFLAGS="-O2 -msse2 -mfpmath=sse" \
    PKG_CONFIG_PATH="$DEPS_PREFIX/lib/pkgconfig" \
      ./configure -q --host=i686-w64-mingw32 --prefix="$DEPS_PREFIX" \
        --disable-shared --enable-static --with-ogg="$DEPS_PREFIX" "$@" \
        CC=i686-w64-mingw32-gcc-posix >/dev/null
    if [ -n "${MAKE_DIRS:-}" ]; then
      for dir in $MAKE_DIRS; do
        make -s -j"$(nproc)" -C "$dir" >/dev/null
        make -s -C "$dir" install >/dev/null
      done
    else
      make -s -j"$(nproc)" -C lib >/dev/null 2>&1 || make -s -j"$(nproc)" >/dev/null
      make -s install-data >/dev/null 2>&1 || true
      make -s install >/dev/null 2>&1 || make -s -C lib install >/dev/null
    fi
    mkdir -p "$DEPS_PREFIX/include"
  )
  rm -rf "$work"
}

# The encoder example of the libvorbis source package, built for the target
# with the program's compiler and flags and set to the program's quality: the
# reference the Ogg benchmark measures the program's encoder against.
build_reference_encoder() {
  local exe=$DEPS_PREFIX/bin/encoder_example.exe
  if [ -f "$exe" ]; then return; fi
  local work
  work=$(mktemp -d)
  (
    cd "$work"
    apt-get source -q --download-only libvorbis >/dev/null
    dpkg-source -x ./*.dsc src >/dev/null
    sed 's/vorbis_encode_init_vbr(&vi,2,44100,0\.1)/vorbis_encode_init_vbr(\&vi,2,44100,0.5)/' \
      src/examples/encoder_example.c >encoder_example.c
    grep -q 'vorbis_encode_init_vbr(&vi,2,44100,0.5)' encoder_example.c
    mkdir -p "$DEPS_PREFIX/bin"
    i686-w64-mingw32-gcc-posix -O2 -msse2 -mfpmath=sse -I"$DEPS_PREFIX/include" encoder_example.c \
      "$DEPS_PREFIX/lib/libvorbisenc.a" "$DEPS_PREFIX/lib/libvorbis.a" "$DEPS_PREFIX/lib/libogg.a" \
      -static -static-libgcc -lm -o "$exe"
  )
  rm -rf "$work"
}

# The encoder examples of the flac and libopusenc source packages, built for
# the target against the same static libraries with the program's compiler
# and flags: the references the FLAC and Opus benchmark measures the
# program's encoders against.  FLAC's prints a line per frame written, which
# the program does not, so its progress report is left out; Opus's is set to
# the program's default bit rate.
build_reference_codec_encoders() {
  local flac_exe=$DEPS_PREFIX/bin/flac_encode_example.exe opus_exe=$DEPS_PREFIX/bin/opusenc_example.exe
  if [ -f "$flac_exe" ] && [ -f "$opus_exe" ]; then return; fi
  local work
  work=$(mktemp -d)
  (
    cd "$work"
    apt-get source -q --download-only flac libopusenc >/dev/null
    for dsc in ./*.dsc; do dpkg-source -x "$dsc" >/dev/null; done
    sed 's|progress_callback, /\*client_data=\*/NULL|NULL, /*client_data=*/NULL|' \
      flac-*/examples/c/encode/file/main.c >flac_example.c
    grep -q 'init_file(encoder, argv\[2\], NULL,' flac_example.c
    sed 's|^\(  enc = ope_encoder_create_file(.*\)$|\1\n  if (enc) ope_encoder_ctl(enc, OPUS_SET_BITRATE(160000));|' \
      libopusenc-*/examples/opusenc_example.c >opus_example.c
    grep -q 'OPUS_SET_BITRATE(160000)' opus_example.c
    mkdir -p "$DEPS_PREFIX/bin"
    local flags=(-O2 -msse2 -mfpmath=sse -I"$DEPS_PREFIX/include" -static -static-libgcc)
    # The example takes a compatibility header from the source's own include
    # folder and uses <inttypes.h> without including it.
    i686-w64-mingw32-gcc-posix "${flags[@]}" -I"$(echo flac-*/include)" -DFLAC__NO_DLL -include inttypes.h flac_example.c \
      "$DEPS_PREFIX/lib/libFLAC.a" -lm -o "$flac_exe"
    i686-w64-mingw32-gcc-posix "${flags[@]}" -I"$DEPS_PREFIX/include/opus" opus_example.c \
      "$DEPS_PREFIX/lib/libopusenc.a" "$DEPS_PREFIX/lib/libopus.a" -lm -o "$opus_exe"
  )
  rm -rf "$work"
}

# TagLib, the tag reader and writer of the files the program did not encode
# itself and of the Edit Tag dialog: the library alone, static, with CMake.
# zlib (for compressed ID3v2 frames) is the target's, which the program links
# anyway.  Debian's source takes its UTF-8 code from the header-only utfcpp
# package, whose folder holds nothing else.
build_taglib() {
  if [ -f "$DEPS_PREFIX/lib/libtag.a" ]; then return; fi
  local work
  work=$(mktemp -d)
  (
    cd "$work"
    apt-get source -q --download-only taglib >/dev/null
    dpkg-source -x ./*.dsc src >/dev/null
    cmake -S src -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS_PREFIX" \
      -DCMAKE_C_FLAGS="-O2 -msse2 -mfpmath=sse" -DCMAKE_CXX_FLAGS="-O2 -msse2 -mfpmath=sse -I/usr/include/utf8cpp" \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DBUILD_EXAMPLES=OFF -DBUILD_BINDINGS=OFF \
      -DWITH_ZLIB=ON >/dev/null
    cmake --build build --target tag >/dev/null
    cmake --install build >/dev/null
  )
  rm -rf "$work"
}

install_packages
as_root mkdir -p "$DEPS_PREFIX"
build_source_package libogg include/ogg/ogg.h
build_source_package libvorbis include/vorbis/vorbisenc.h
build_reference_encoder
# FLAC output: the library only.
MAKE_DIRS="src/libFLAC include" build_source_package flac lib/libFLAC.a --disable-programs --disable-examples --disable-cpplibs \
  --disable-doxygen-docs --disable-ogg --disable-stack-smash-protection
# Opus output: libopus, then libopusenc, which finds it through pkg-config.
# libopus's configure adds _FORTIFY_SOURCE unless it is set already, and the
# target's C library has no checked memcpy for it.
build_source_package opus lib/libopus.a --disable-doc --disable-extra-programs --disable-hardening \
  CPPFLAGS=-D_FORTIFY_SOURCE=0
build_source_package libopusenc lib/libopusenc.a --disable-doc --disable-examples
# The MP3 encoder program the tests and the run script use: lame.exe, with
# its library linked in.
build_source_package lame bin/lame.exe
build_taglib
build_reference_codec_encoders
