#!/usr/bin/env bash
# Makes Velmora for Windows from this checkout: the zip for a USB stick or a
# shared folder, Velmora-<version>-windows-x64.zip (one folder Velmora\), and
# the installer Velmora-<version>-windows-x64-setup.exe, both in dist/.
#   scripts/windows-package.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" windows
"$root/scripts/windows-build.sh"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build-windows/CMakeCache.txt")"
name="Velmora-$version-windows-x64"
dist="$root/dist"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cmake --install "$root/build-windows" --prefix "$stage/Velmora" --strip >/dev/null
# The compiler's runtime DLLs come with their symbols (libstdc++ is 24 MB so).
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/Velmora/lib*.dll
mkdir -p "$dist"
rm -f "$dist/$name.zip"
(cd "$stage" && zip -qr -X "$dist/$name.zip" Velmora)

# The installer's list of files, and the uninstaller's: every file of the
# folder but the password file, which the installer writes only where there
# is none and the uninstaller leaves.
files="$stage/files.nsh" unfiles="$stage/unfiles.nsh"
: >"$files"
: >"$unfiles"
(cd "$stage/Velmora" && find . -type d | sort) | while read -r dir; do
  dir="${dir#.}"; dir="${dir#/}"; win="${dir//\//\\}"
  echo "SetOutPath \"\$INSTDIR${win:+\\$win}\"" >>"$files"
  find "$stage/Velmora/$dir" -maxdepth 1 -type f ! -name unins000.dll -printf '%f\n' | sort | while read -r file; do
    echo "File \"$stage/Velmora/${dir:+$dir/}$file\"" >>"$files"
    echo "Delete \"\$INSTDIR\\${win:+$win\\}$file\"" >>"$unfiles"
  done
done
(cd "$stage/Velmora" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
  dir="${dir#./}"; echo "RMDir \"\$INSTDIR\\${dir//\//\\}\"" >>"$unfiles"
done
makensis -V2 -DVERSION="$version" -DSOURCE="$stage/Velmora" -DFILES="$files" -DUNFILES="$unfiles" \
  -DOUTFILE="$dist/$name-setup.exe" "$root/packaging/windows/Velmora.nsi"
ls -l "$dist/$name.zip" "$dist/$name-setup.exe"
