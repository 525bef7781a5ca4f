#!/usr/bin/env bash
# Tries the portable archive (scripts/portable.sh) on a bare Debian 12: a
# minbase root made by mmdebstrap (kept in build/bare-root/ for the next run),
# the archive unpacked into its /opt and nothing else installed. Inside the
# root, every executable, library and plugin of the folder finds all it links
# in the folder or in glibc (ldd), velmora-batch imports a CSV file, exports it
# again as the file held (round trip), and prints a label sheet, an envelope
# and the summary whose every word poppler finds where the build tree's own
# velmora-batch puts it, within 0.01 mm; Velmora starts on an Xvfb display
# shared into the root and shows its login window. Then a copy unpacked on
# this machine puts itself into a menu, and the entry starts it. Runs as root.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
"$root/scripts/install-deps.sh" test
archive="$("$root/scripts/portable.sh")"

cache="$build/bare-root/bookworm-minbase.tar"
if [[ ! -f $cache ]]; then
  mkdir -p "$(dirname "$cache")"
  # The host's own Debian mirror for bookworm.
  mirror="$(apt-get indextargets --format '$(REPO_URI)' 'Release: bookworm' 'Identifier: Packages' | head -n1)"
  mmdebstrap --variant=minbase --format=tar --quiet bookworm "$cache.part" "${mirror:-http://deb.debian.org/debian}"
  mv "$cache.part" "$cache"
fi

work="$build/bare-test"
rootfs="$work/root"
rm -rf "$work"
mkdir -p "$rootfs" "$work/host"
tar -C "$rootfs" -xf "$cache"
cp "$archive" "$rootfs/tmp/velmora.tar.gz"
mkdir -p "$rootfs/root/dati" "$rootfs/root/out" "$rootfs/tmp/.X11-unix"

# A private X server for Velmora; the root shares its socket folder.
exec 3> "$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 2> "$work/xvfb.log" &
xvfb=$!
exec 3>&-
velmora=""
launched=""
# unshare ignores SIGTERM while its child runs; SIGKILL ends it, and its child
# and every process of the namespace with it.
finish() {
  if [[ -n $velmora ]]; then kill -KILL "$velmora" 2>/dev/null || true; wait "$velmora" 2>/dev/null || true; fi
  if [[ -n $launched ]]; then kill "$launched" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap finish EXIT
while [[ ! -s $work/display ]]; do kill -0 "$xvfb" || { cat "$work/xvfb.log" >&2; exit 1; }; sleep 0.2; done
display=":$(cat "$work/display")"

# A command inside the root, in namespaces of its own: its /proc, the host's
# /dev and X11 sockets, a clean environment. All it started ends with it.
in_root=(unshare --mount --pid --fork --kill-child --mount-proc="$rootfs/proc" /bin/sh -c '
  rootfs=$1; shift
  mount --rbind /dev "$rootfs/dev" && mount --bind /tmp/.X11-unix "$rootfs/tmp/.X11-unix" &&
  exec chroot "$rootfs" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"' sh "$rootfs")

# Addresses with what a label meets: accents, quotes, commas inside a field,
# a formula-like text, an empty line.
cp "$root/tests/support/indirizzi.csv" "$rootfs/root/indirizzi.csv"

echo "bare root: unpacking the archive, ldd, import, export, printing"
"${in_root[@]}" /bin/sh -eu -c '
  test ! -e /usr/lib/x86_64-linux-gnu/libQt6Core.so.6 && test ! -d /usr/share/fonts || { echo "the root is not bare" >&2; exit 1; }
  tar -C /opt -xzf /tmp/velmora.tar.gz
  glibc=$(dpkg -L libc6 | sed -n "s|^\(/lib/x86_64-linux-gnu/[^/]*\.so[.0-9]*\)$|\1|p")
  files=0 inside=0 system=0
  for file in $(find /opt/Velmora -type f); do
    [ "$(head -c 4 "$file" | tail -c 3)" = ELF ] || continue
    files=$((files + 1))
    for path in $(ldd "$file" | awk "\$2 == \"=>\" { print \$3 }"); do
      case $path in
        /opt/Velmora/*) inside=$((inside + 1)) ;;
        *) if printf "%s\n" "$glibc" | grep -qxF "$path"; then system=$((system + 1));
           else echo "ldd: $file needs $path" >&2; ldd "$file" | grep -v /opt/Velmora/ >&2; exit 1; fi ;;
      esac
    done
  done
  echo "ldd: $files executables, libraries and plugins; $inside links into the folder, $system into glibc"
  cd /root
  batch=/opt/Velmora/velmora-batch
  $batch --folder dati import indirizzi.csv
  $batch --folder dati export out/export.xls
  # A print that works says nothing (no word from Qt or fontconfig either).
  $batch --folder dati --pdf out/sheet.pdf record 3 2> out/said
  $batch --folder dati --pdf out/envelope.pdf envelope 2 2>> out/said
  $batch --folder dati --pdf out/summary.pdf summary 2>> out/said
  [ ! -s out/said ] || { cat out/said >&2; exit 1; }
'

# The export holds the CSV file's rows, cell for cell.
python3 - "$rootfs/root/indirizzi.csv" "$rootfs/root/out/export.xls" <<'EOF'
import csv, html.parser, sys
class Cells(html.parser.HTMLParser):
    rows, cell = [], None
    def handle_starttag(self, tag, attrs):
        if tag == "tr": self.rows.append([])
        if tag == "td": self.cell = ""
    def handle_endtag(self, tag):
        if tag == "td": self.rows[-1].append(self.cell); self.cell = None
    def handle_data(self, data):
        if self.cell is not None: self.cell += data
expected = list(csv.reader(open(sys.argv[1], encoding="utf-8", newline="")))[1:]
parser = Cells(convert_charrefs=True)
parser.feed(open(sys.argv[2], encoding="cp1252").read())
exported = parser.rows[1:]
if exported != expected:
    sys.exit(f"round trip: the export holds\n{exported}\nthe CSV file\n{expected}")
print(f"round trip: {len(exported)} records, {sum(map(len, exported))} cells as the CSV file has them")
EOF

# The same documents from the build tree's velmora-batch, on the archive the
# root's import wrote; every word where the build puts it.
host_batch="$build/Velmora/velmora-batch"
"$host_batch" --folder "$rootfs/root/dati" --quiet --pdf "$work/host/sheet.pdf" record 3
"$host_batch" --folder "$rootfs/root/dati" --quiet --pdf "$work/host/envelope.pdf" envelope 2
"$host_batch" --folder "$rootfs/root/dati" --quiet --pdf "$work/host/summary.pdf" summary
for document in sheet envelope summary; do
  "$root/scripts/same-words.py" "$document" "$work/host/$document.pdf" "$rootfs/root/out/$document.pdf"
done

# Waits for Velmora's login window on the display and sets `window` to it;
# without one, tells what the program said (the file $1).
login='^ Velmora - Riconoscimento$'
wait_for_login() {
  window="$(DISPLAY=$display timeout 120 xdotool search --sync --onlyvisible --name "$login" | head -n1)" || true
  if [[ -z $window ]]; then
    echo "Velmora showed no login window on $display" >&2
    cat "$1" >&2
    exit 1
  fi
}

# Velmora in the root, on that display.
"${in_root[@]}" /usr/bin/env DISPLAY="$display" /opt/Velmora/Velmora > "$work/velmora.log" 2>&1 &
velmora=$!
wait_for_login "$work/velmora.log"
DISPLAY=$display xwininfo -id "$window" | grep -q 'Map State: IsViewable'
echo "Velmora: the login window \"$(DISPLAY=$display xdotool getwindowname "$window")\" is shown"
kill -KILL "$velmora"
{ wait "$velmora"; } 2>/dev/null || true
velmora=""
while DISPLAY=$display xdotool search --name "$login" >/dev/null; do sleep 0.2; done

# The menu entry of a copy unpacked elsewhere, under a name that needs quoting
# in an entry: GLib's launcher starts that copy's Velmora from it.
unpacked="$work/unpacked \"here\" \$HOME \\ \`x\`"
mkdir -p "$unpacked" "$work/data"
tar -C "$unpacked" -xzf "$archive"
XDG_DATA_HOME="$work/data" "$unpacked/Velmora/install-desktop.sh"
env -u QT_QPA_PLATFORM DISPLAY="$display" gio launch "$work/data/applications/velmora.desktop" > "$work/launched.log" 2>&1
wait_for_login "$work/launched.log"
launched="$(DISPLAY=$display xdotool getwindowpid "$window")"
started="$(readlink "/proc/$launched/exe")"
[[ $started == "$unpacked/Velmora/Velmora" ]] || { echo "the menu entry started $started" >&2; exit 1; }
echo "menu entry: starts the Velmora of the folder it was installed from"
echo "portable archive $(basename "$archive"): works on a bare Debian 12 root"
