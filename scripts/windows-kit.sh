#!/usr/bin/env bash
# Makes the Windows kit and prints its folder: Qt (Core, Gui, Widgets,
# PrintSupport), HarfBuzz with hb-subset, libcsv and googletest built for
# x86_64-w64-mingw32 from Debian's own source packages, zlib from
# libz-mingw-w64-dev. Cross-build against it with cmake/mingw-w64-x86_64.cmake
# and -DVELMORA_WINDOWS_KIT=<the printed folder>.
#   scripts/windows-kit.sh
#
# The kit lives outside the repository, in
# ${XDG_CACHE_HOME:-~/.cache}/velmora/windows-kit/<key>, where <key> is a hash
# of this script, the toolchain file and the versions of what it is built from,
# so a second run is instant and a change of recipe builds a new kit. It is
# built and installed under work-<key>/ and moved into place only when whole;
# a build that was stopped resumes there on the next run. The kit does not
# depend on its folder's name (Qt and the CMake and pkg-config files find their
# paths from where they lie).
# Build jobs: VELMORA_KIT_JOBS (default: the machine's cores).
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "$0")/.." && pwd)"
script="$root/scripts/windows-kit.sh"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
triplet=x86_64-w64-mingw32
jobs="${VELMORA_KIT_JOBS:-$(nproc)}"
log() { echo "windows-kit: $*" >&2; }

"$root/scripts/install-deps.sh" windows >&2

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"

# Source packages need a deb-src entry beside each deb entry of the machine:
# the same archive, suites and components.
deb_src_entries() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -e $f ]] || continue
    awk 'BEGIN { RS = ""; ORS = "" }
         { out = ""; deb = 0; on = 1; n = split($0, line, "\n")
           for (i = 1; i <= n; i++) {
             l = line[i]
             if (l ~ /^#/) continue
             if (l ~ /^Types:/) { if (l ~ /[ \t]deb([ \t]|$)/) deb = 1; l = "Types: deb-src" }
             if (l ~ /^Enabled:[ \t]*no/) on = 0
             out = out l "\n"
           }
           if (deb && on) print out "\n" }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -e $f ]] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done
  return 0
}
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version:'; then
  entries="$(deb_src_entries)"
  [[ -n $entries ]] || { log "no deb entry in /etc/apt to add a deb-src entry beside"; exit 1; }
  log "adding deb-src entries and updating the package lists"
  list=/etc/apt/sources.list.d/velmora-deb-src.sources
  grep -q '^Types:' <<<"$entries" || list=/etc/apt/sources.list.d/velmora-deb-src.list
  printf '%s\n' "$entries" | $sudo tee "$list" >/dev/null
  $sudo apt-get update -qq >&2
fi

# What the kit is built from: the sources of the Linux build's own Qt, HarfBuzz
# and libcsv (the cross Qt must be the very version of the host's Qt tools),
# googletest's sources and the cross compiler.
installed() { dpkg-query -W -f="\${$1}" "$2"; }
qt_version="$(installed source:Version qt6-base-dev-tools)"
hb_version="$(installed source:Version libharfbuzz-dev)"
csv_version="$(installed source:Version libcsv-dev)"
recipe="$(sha256sum "$script" "$toolchain" | cut -d' ' -f1
          echo "qt6-base=$qt_version harfbuzz=$hb_version libcsv=$csv_version"
          echo "googletest=$(installed Version googletest)"
          echo "g++-mingw-w64-x86-64-posix=$(installed Version g++-mingw-w64-x86-64-posix)"
          echo "mingw-w64-x86-64-dev=$(installed Version mingw-w64-x86-64-dev)"
          echo "libz-mingw-w64-dev=$(installed Version libz-mingw-w64-dev)")"
key="$(sha256sum <<<"$recipe" | cut -c1-16)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/velmora/windows-kit"
kit="$cache/$key"
mkdir -p "$cache"
exec 9>"$cache/$key.lock"
flock 9
if [[ -d $kit ]]; then
  echo "$kit"
  exit 0
fi

work="$cache/work-$key"
prefix=/velmora-windows-kit  # installed into $work/stage$prefix, then moved to $kit
stage="$work/stage"
mkdir -p "$work"
log "building $kit in $work"

# Unpacks a source package once, with Debian's patches applied.
unpack() { # name version -> prints the source folder
  local name="$1" version="$2" dir="$work/src-$1"
  if [[ ! -e $dir/.unpacked ]]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$name=$version" >&2)
    touch "$dir/.unpacked"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n1
}

cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
       -DCMAKE_INSTALL_PREFIX="$prefix")
build_install() { # build folder
  cmake --build "$1" -j"$jobs" >&2
  DESTDIR="$stage" cmake --install "$1" --strip >/dev/null
  # pkg-config files that find the kit from where they lie
  if compgen -G "$stage$prefix/lib/pkgconfig/*.pc" >/dev/null; then
    sed -i "s|$prefix|\${pcfiledir}/../..|g" "$stage$prefix"/lib/pkgconfig/*.pc
  fi
}
SECONDS=0

# libcsv: one C file, a static library.
src="$(unpack libcsv "$csv_version")"
mkdir -p "$stage$prefix/include" "$stage$prefix/lib" "$work/build-libcsv"
$triplet-gcc-posix -O2 -c "$src/libcsv.c" -o "$work/build-libcsv/libcsv.o"
rm -f "$work/build-libcsv/libcsv.a"
$triplet-ar rcs "$work/build-libcsv/libcsv.a" "$work/build-libcsv/libcsv.o"
install -m644 "$work/build-libcsv/libcsv.a" "$stage$prefix/lib/"
install -m644 "$src/csv.h" "$stage$prefix/include/"

# googletest and googlemock, static, from the sources Debian ships.
cmake -S /usr/src/googletest -B "$work/build-googletest" "${cross[@]}" \
  -DBUILD_SHARED_LIBS=OFF -DINSTALL_GTEST=ON >&2
build_install "$work/build-googletest"

# HarfBuzz with hb-subset (the PDF writer subsets its fonts), static; Qt uses
# it too. (Its CMake file reads the include folder before it sets it: name it.)
src="$(unpack harfbuzz "$hb_version")"
cmake -S "$src" -B "$work/build-harfbuzz" "${cross[@]}" -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DBUILD_SHARED_LIBS=OFF -DHB_BUILD_SUBSET=ON -DHB_BUILD_UTILS=OFF \
  -DHB_HAVE_FREETYPE=OFF -DHB_HAVE_GLIB=OFF -DHB_HAVE_GOBJECT=OFF -DHB_HAVE_ICU=OFF \
  -DHB_HAVE_GRAPHITE2=OFF -DHB_HAVE_UNISCRIBE=OFF -DHB_HAVE_DIRECTWRITE=OFF -DHB_HAVE_GDI=OFF \
  -DHB_HAVE_INTROSPECTION=OFF >&2
build_install "$work/build-harfbuzz"
# The static hb-subset repeats a few of HarfBuzz's own sources, which the
# library built from harfbuzz.cc holds already: linking both would define them
# twice.
subset="$stage$prefix/lib/libharfbuzz-subset.a"
twice=()
for object in $($triplet-ar t "$subset"); do
  if grep -q "^#include \"${object%.obj}\"" "$src/src/harfbuzz.cc"; then
    twice+=("$object")
  fi
done
((${#twice[@]} == 0)) || $triplet-ar d "$subset" "${twice[@]}"

# qtbase, shared, release, against the host's Qt tools in /usr, with its own
# bundled third-party libraries but the HarfBuzz above (found in the staged
# kit). Only Core, Gui, Widgets and PrintSupport, with the windows and offscreen
# platforms. Debian's +dfsg source has no wintab headers: no tablet events.
# Gui builds its DirectWrite font engine only along with Direct2D, while the
# Windows print engine calls it whenever DirectWrite is on: with Direct2D off,
# DirectWrite goes too, and text is drawn through GDI.
src="$(unpack qt6-base "$qt_version")"
qt_off=()
for feature in sql network dbus xml concurrent testlib opengl vulkan zstd icu jpeg direct2d directwrite tabletevent; do
  qt_off+=("-DFEATURE_$feature=OFF")
done
cmake -S "$src" -B "$work/build-qtbase" "${cross[@]}" -DVELMORA_WINDOWS_KIT="$stage$prefix" \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DINPUT_opengl=no "${qt_off[@]}" \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=ON \
  -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF \
  >&2
build_install "$work/build-qtbase"

{ echo "$recipe"
  echo "built in ${SECONDS}s on $(nproc) cores"
  times | tail -n1 | sed 's/^/children user and system CPU: /'
} >"$stage$prefix/kit.info"
mv -T "$stage$prefix" "$kit"
rm -rf "$work"
log "done in ${SECONDS}s: $(du -sh "$kit" | cut -f1)"
echo "$kit"
