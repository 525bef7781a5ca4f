#!/usr/bin/env bash
# A private CUPS scheduler with one PDF printer, for trying the program's
# printing by hand without touching the machine's own CUPS.
#   eval "$(scripts/test-printer.sh start)"   # exports CUPS_SERVER; the printer is VelmoraPDF
#   build/Velmora/Velmora                      # print; each job lands in $VELMORA_TEST_PRINTS/out.pdf
#   scripts/test-printer.sh stop
# VELMORA_TEST_POSTSCRIPT=1 adds VelmoraPS, a PostScript printer whose jobs
# land in out.ps (CUPS's own generic PostScript driver).
set -euo pipefail
# VELMORA_TEST_PRINTER_DIR puts the scheduler elsewhere (a test keeps its own).
state="${VELMORA_TEST_PRINTER_DIR:-/tmp/velmora-test-printer}"
case "${1:-}" in
  start)
    "$(dirname "$0")/install-deps.sh" test >&2
    rm -rf "$state"; mkdir -p "$state"/{cache,state,spool,log}; chmod 755 "$state"; chmod 777 "$state/spool"
    cat >"$state/cupsd.conf" <<CONF
Listen $state/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$state/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
FileDevice Yes
ServerRoot $state
CacheDir $state/cache
StateDir $state/state
RequestRoot $state/spool
TempDir $state/spool
ErrorLog $state/log/error_log
AccessLog $state/log/access_log
PageLog $state/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
    /usr/sbin/cupsd -f -c "$state/cupsd.conf" -s "$state/cups-files.conf" >/dev/null 2>&1 &
    echo $! >"$state/pid"
    export CUPS_SERVER="$state/cups.sock"
    for _ in $(seq 100); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
    lpadmin -p VelmoraPDF -E -v "file://$state/out.pdf" -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd
    lpadmin -d VelmoraPDF
    if [[ ${VELMORA_TEST_POSTSCRIPT:-} == 1 ]]; then
      lpadmin -p VelmoraPS -E -v "file://$state/out.ps" -m drv:///sample.drv/generic.ppd
    fi
    echo "export CUPS_SERVER=$state/cups.sock VELMORA_TEST_PRINTS=$state"
    ;;
  stop)
    if [[ -f $state/pid ]]; then
      pid="$(cat "$state/pid")"
      kill "$pid" 2>/dev/null || true
      # Gone before the caller removes its folder, which it writes to as it ends.
      for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    ;;
  *) sed -n '2,9p' "$0"; exit 2 ;;
esac
