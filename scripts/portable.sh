#!/usr/bin/env bash
# Makes build/velmora-VERSION-linux-x86_64.tar.gz: one folder Velmora/ that
# runs where it is unpacked, on any x86-64 Linux with glibc 2.36 or later,
# nothing else installed. It holds the program folder as the build lays it out
# (cmake --install), and beside it every shared library the executables and
# Qt's plugins need except glibc's own (lib/), those plugins (plugins/), Qt's
# Italian texts (translations/), qt.conf that points Qt at them, and the
# Debian copyright files of all that (licenses/). The executables find lib/
# through their run path ($ORIGIN/lib), set by patchelf.
#   scripts/portable.sh      # prints the archive's path
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
"$root/scripts/install-deps.sh" portable
# The build as it is configured (the tests' configuration included), or the
# program alone on a fresh tree.
if [[ -f $build/CMakeCache.txt ]]; then
  cmake --build "$build" -j2 --target Velmora velmora-batch >/dev/null
else
  "$root/scripts/build.sh" program >/dev/null
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
stage="$build/portable"
folder="$stage/Velmora"
archive="$build/velmora-$version-linux-x86_64.tar.gz"
rm -rf "$stage"
mkdir -p "$stage"

# The program folder, as the install rules lay it out: file for file what the
# build laid into build/Velmora.
cmake --install "$build" --prefix "$folder" >/dev/null
(cd "$folder" && find . -type f) | while read -r file; do
  cmp -s "$folder/$file" "$build/Velmora/$file" || { echo "portable: $file differs from build/Velmora" >&2; exit 1; }
done
strip --strip-unneeded "$folder/Velmora" "$folder/velmora-batch"

# Qt's plugins the program loads: the X11 and offscreen (velmora-batch)
# platforms, SVG images and icons, CUPS printing.
plugins="$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_PLUGINS)"
for plugin in platforms/libqxcb.so platforms/libqoffscreen.so imageformats/libqsvg.so \
              iconengines/libqsvgicon.so printsupport/libcupsprintersupport.so; do
  mkdir -p "$folder/plugins/$(dirname "$plugin")"
  cp "$plugins/$plugin" "$folder/plugins/$plugin"
done
mkdir -p "$folder/translations"
cp "$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_TRANSLATIONS)/qtbase_it.qm" "$folder/translations/"
cat > "$folder/qt.conf" <<'EOF'
[Paths]
Prefix = .
Plugins = plugins
Translations = translations
EOF

# Every library that ldd finds for them, by its soname, except glibc's own:
# those stay the system's.
glibc="$(dpkg -L libc6 | sed -n 's|.*/\(lib[^/]*\.so[.0-9]*\)$|\1|p' | sort -u)"
elves=("$folder/Velmora" "$folder/velmora-batch")
mapfile -t -O 2 elves < <(find "$folder/plugins" -name '*.so')
mkdir -p "$folder/lib"
ldd "${elves[@]}" | awk '$2 == "=>" { print $1, $3 }' | sort -u | while read -r soname path; do
  [[ $path == not ]] && { echo "portable: $soname not found" >&2; exit 1; }
  grep -qxF "$soname" <<<"$glibc" || { cp -L "$path" "$folder/lib/$soname"; readlink -f "$path"; }
done > "$stage/sources"

# Run paths: each executable finds lib/, each library its neighbours, each
# plugin lib/ two folders up.
patchelf --set-rpath '$ORIGIN/lib' "$folder/Velmora" "$folder/velmora-batch"
for library in "$folder"/lib/*; do patchelf --set-rpath '$ORIGIN' "$library"; done
find "$folder/plugins" -name '*.so' -exec patchelf --set-rpath '$ORIGIN/../../lib' {} +

# The copyright files of the Debian packages that the bundled libraries,
# plugins and fonts come from (dpkg knows a file by /usr/lib or by /lib).
find "$folder/plugins" -name '*.so' -printf "$plugins/%P\n" >> "$stage/sources"
for font in "$folder"/fonts/*.ttf; do readlink -f /usr/share/fonts/truetype/*/"${font##*/}"; done >> "$stage/sources"
mkdir -p "$folder/licenses"
while read -r file; do
  dpkg-query -S "$file" 2>/dev/null || dpkg-query -S "${file#/usr}" 2>/dev/null || { echo "portable: no package has $file" >&2; exit 1; }
done < "$stage/sources" | sed 's/: .*//; s/, /\n/g' | sed 's/:.*//' | sort -u | while read -r package; do
  cp "/usr/share/doc/$package/copyright" "$folder/licenses/$package.copyright"
done
rm "$stage/sources"

tar -C "$stage" --owner=0 --group=0 --numeric-owner --sort=name -czf "$archive.part" Velmora
mv "$archive.part" "$archive"
echo "$archive"
