#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Runs as root, or through sudo when it is available.
#   scripts/install-deps.sh run|portable|windows|test   # test, the default, brings all
set -euo pipefail
what="${1:-test}"
pkgs=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev
      libqt6svg6 qt6-qpa-plugins qt6-translations-l10n qt6-l10n-tools libgl-dev libcups2-dev libcsv-dev libharfbuzz-dev zlib1g-dev
      fonts-liberation2 fonts-dejavu-core xdg-utils)
# The portable archive (scripts/portable.sh): run paths set by patchelf.
if [[ $what == portable || $what == test ]]; then
  pkgs+=(patchelf)
fi
# The Windows kit (scripts/windows-kit.sh) and the Windows build run under Wine:
# mingw-w64 with posix threads, zlib for Windows, the host's Qt tools, googletest's
# sources, the installer maker and Wine.
if [[ $what == windows || $what == test ]]; then
  pkgs+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-tools
         qt6-base-dev-tools googletest ninja-build dpkg-dev nsis zip wine wine64)
fi
if [[ $what == test ]]; then
  # The portable archive tried on a bare Debian root (scripts/test-portable.sh).
  pkgs+=(mmdebstrap xvfb xdotool x11-utils libglib2.0-bin)
  pkgs+=(googletest libgtest-dev libbenchmark-dev cups cups-client cups-filters
         cups-bsd poppler-utils qpdf mupdf-tools fonts-dejavu-extra ccache libreoffice-calc-nogui python3-uno clang
         libclang-rt-14-dev
         # the accessibility bus test: a private X server and session bus, AT-SPI read from Python
         xvfb openbox xdotool dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0
         # Windows' own conversion of letters to code page 1252, which the archive's are held to
         wine wine64 gcc-mingw-w64-x86-64
         # what the Orca test hears: the screen reader itself, its debug log
         orca)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
