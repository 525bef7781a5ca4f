#!/usr/bin/env bash
# Side by side, in one sitting, on the same data (bench_make_archives):
#   - velmora-batch sheet 1-1000 (one 1,000-page PDF) against gLabels 3
#     printing the same 24,000 labels in ten runs of 100 sheets;
#   - the find picker filling its list (bench_pickers) against cat reading
#     the 100,000-record archive;
#   - the summary of 100,000 records to PDF against a plain QPdfWriter
#     program drawing the same lines (bench_summary);
#   - the peak memory of short and long documents.
# Installs gLabels 3 (Debian package glabels) and GNU time when missing.
# Usage: bench/peers/peers.sh BUILD_DIR   (after building velmora-batch,
# bench_make_archives, bench_pickers and bench_summary)
set -euo pipefail
build=$(cd "${1:?usage: peers.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v glabels-3-batch >/dev/null || [[ ! -x /usr/bin/time ]]; then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends glabels time >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/bench_make_archives" "$work/data"
export QT_QPA_PLATFORM=offscreen

# The same sheet for gLabels: the label grid, a light yellow label under six
# one-line texts of 7 pt Liberation Sans, the first bold, merged from the CSV.
texts=""
for line in 1 2 3 4 5 6; do
  weight=Regular; [[ $line == 1 ]] && weight=Bold
  texts+="    <Object-text x=\"2mm\" y=\"$((2 + 5 * (line - 1)))mm\" w=\"58.2mm\" h=\"3.5mm\" justify=\"Left\" valign=\"Top\" auto_shrink=\"False\" a0=\"1\" a1=\"0\" a2=\"0\" a3=\"1\" a4=\"0\" a5=\"0\">
      <Span color=\"0x000000ff\" font_family=\"Liberation Sans\" font_size=\"7\" font_weight=\"$weight\" font_italic=\"False\" line_spacing=\"1\"><Field name=\"L$line\"/></Span>
    </Object-text>
"
done
cat >"$work/etichette.glabels" <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Velmora" part="24" size="A4" description="24 etichette">
    <Meta category="label"/>
    <Label-rectangle id="0" width="62mm" height="32mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Markup-margin size="0mm"/>
      <Layout nx="3" ny="8" x0="10mm" y0="10mm" dx="64mm" dy="35mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-box x="0mm" y="0mm" w="62mm" h="32mm" line_width="0pt" line_color="0xffffe0ff" fill_color="0xffffe0ff" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
$texts  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="$work/parte0.csv"/>
</Glabels-document>
XML
# Ten parts of 100 sheets (2,400 labels) each, with the header line.
for part in 0 1 2 3 4 5 6 7 8 9; do
  { head -n 1 "$work/data/etichette.csv"; tail -n +2 "$work/data/etichette.csv" | sed -n "$((part * 2400 + 1)),$(((part + 1) * 2400))p"; } \
    >"$work/parte$part.csv"
done

seconds() { local start=$(date +%s.%N); "$@" >/dev/null 2>&1; echo "$(date +%s.%N) - $start" | bc; }
ratio() { echo "scale=2; $1 / $2" | bc; }

velmora=$(seconds "$build/Velmora/velmora-batch" --folder "$work/data" --pdf "$work/velmora.pdf" --quiet sheet 1-1000)
glabels=$(seconds bash -c "for p in 0 1 2 3 4 5 6 7 8 9; do glabels-3-batch -i '$work/parte'\$p.csv -o '$work/glabels'\$p.pdf '$work/etichette.glabels' || exit 1; done")
echo "velmora-batch sheet 1-1000, one PDF of $(pdfinfo "$work/velmora.pdf" | awk '/^Pages/ {print $2}') pages: ${velmora} s"
echo "glabels-3-batch, ten runs of $(pdfinfo "$work/glabels0.pdf" | awk '/^Pages/ {print $2}') sheets: ${glabels} s"
echo "gLabels / velmora: $(ratio "$glabels" "$velmora") (target at least 10)"

# Peak memory of long documents: it should not grow with the pages.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
for run in "sheet 1-100" "sheet 1-1000" "record 1-10000" "summary"; do
  # shellcheck disable=SC2086
  echo "velmora-batch $run: peak $(($(peak "$build/Velmora/velmora-batch" --folder "$work/data" --pdf "$work/m.pdf" --quiet $run) / 1024)) MB"
done

cat_s=$(seconds cat "$work/data/Archivio_Dati.pro")
echo "cat Archivio_Dati.pro (376 MB): ${cat_s} s"
"$build/bin/bench_pickers" --benchmark_filter='BM_ShowFindPicker|BM_ReadAndSortItems' 2>/dev/null | grep BM_
"$build/bin/bench_summary" --benchmark_filter='BM_Draw100000ToPdf|BM_PlainQPdfWriterReference' 2>/dev/null | grep BM_
