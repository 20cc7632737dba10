#!/usr/bin/env bash
# korvoflow-cli's files read back: plots, the PDF report, and saved runs.
#   cli_files.sh CHECK BIN DATA
set -euo pipefail
check=$1 bin=$2 data=$3
scratch=$(mktemp -d)
# The report's time stamp, which differs from run to run.
stamp='s/(Korvo Flow Calculations \.\.\.\.\. ).*/\1STAMP/'
trap 'rm -rf "$scratch"' EXIT
cp "$data"/*.run "$scratch"/
cd "$scratch"

fail() {
  echo "$*"
  exit 1
}

# Distinct pairs of colour and dash pattern among the 2-pixel lines drawn.
line_styles() {
  awk '/<g /{s = ""
               if (index($0, "stroke-width=\"2\"") && match($0, /stroke="#[0-9a-f]+"/)) {
                 s = substr($0, RSTART, RLENGTH)
                 if (match($0, /stroke-dasharray="[^"]*"/)) s = s substr($0, RSTART, RLENGTH)
               }}
       /<polyline/ && s != "" {seen[s] = 1}
       END {print length(seen)}' "$1"
}

case $check in
  sweep_svg)
    # Two units on two axes, each titled (and named in the legend) by caption
    # and unit; ticks grouped and without a spurious ".0"; where the flow
    # chokes, the plot says so.
    "$bin" sweep --vary w=100000:900000:81 --plot plot.svg --y p2,m2 >/dev/null 2>&1 || true
    for title in "Exit Pressure, psia" "Exit Mach Number"; do
      [ "$(grep -c ">$title</text>" plot.svg)" = 2 ] || fail "no axis and legend \"$title\""
    done
    for text in "Flow Rate, lb/hr" 600,000 "runs end with a message above w = 600,000 lb/hr"; do
      grep -q ">$text</text>" plot.svg || fail "no \"$text\""
    done
    if grep -q '>600,000\.' plot.svg; then fail "600,000 with decimals"; fi
    "$bin" sweep --vary w=100000:900000:9 --plot de.svg --y p2 --decimal , --grouping . >/dev/null \
      2>&1 || true
    grep -q ">600.000</text>" de.svg || fail "no 600.000 in the user's symbols"
    # A grid of 4,000 values draws ten, each line in a colour and dashes of its own.
    "$bin" sweep --vary w=400000:600000:3 --vary d=4:12:4000 --plot grid.svg --y p2 >/dev/null 2>&1 || true
    grep -q ">Korvo Flow case study: 10 of 4,000 values of d shown</text>" grid.svg || fail "no title"
    [ "$(line_styles grid.svg)" = 10 ] || fail "line styles: $(line_styles grid.svg)"
    ;;
  stdout_full)
    # Output that cannot be written is a failure, never a success.
    for command in calc "sweep --vary l=10:20:3" "profile --stations 3"; do
      status=0
      $bin $command >/dev/full 2>err || status=$?
      [ $status = 2 ] || fail "$command: status $status"
      grep -q "write failed" err || fail "$command: $(cat err)"
    done
    ;;
  profile_png)
    "$bin" profile --stations 10 --plot profile.png >/dev/null
    [ "$(head -c 8 profile.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "not a PNG"
    ;;
  report_text)
    # The window's report of the same run, line for line from the title on.
    "$bin" report report_sample.run >report.txt
    sed -n '6,$p' report.txt | sed -E "$stamp" >cli.lines
    sed -E "$stamp" "$data/../ui_report_text.txt" >window.lines
    [ "$(head -5 report.txt | tr -d '\n')" = "" ] || fail "no five blank lines first"
    diff -u window.lines cli.lines
    ;;
  report_pdf)
    # The same lines as the text report, at the same columns from the margin.
    "$bin" report report_sample.run --output report.pdf
    "$bin" report report_sample.run >report.txt
    pdftotext -fixed 6 report.pdf - | sed -E 's/^ +//; s/ +$//; /^\f?$/d' | sed -E "$stamp" >pdf.lines
    sed -E 's/^ +//; /^$/d' report.txt | sed -E "$stamp" >txt.lines
    diff -u txt.lines pdf.lines
    ;;
  no_half_written)
    # A refused request leaves no output file and keeps an existing one.
    echo old >keep.pdf
    if "$bin" report missing.run --output keep.pdf 2>/dev/null; then fail "status 0"; fi
    [ "$(cat keep.pdf)" = old ] || fail "keep.pdf changed"
    if "$bin" sweep --vary w=1:2:0 --plot new.svg --y p2 2>/dev/null; then fail "status 0"; fi
    [ ! -e new.svg ] || fail "new.svg written"
    ;;
  save_runs)
    # --save-to writes each calculated run under its name; --in-place
    # replaces the file, and the saved texts load back unchanged.
    mkdir out
    "$bin" calc startup.run choking.run --save-to out >/dev/null 2>&1 || true
    grep -q '"346.66"' out/startup.run || fail "startup.run not calculated"
    grep -q '"Vent line, too long"' out/choking.run || fail "choking.run not saved"
    "$bin" calc startup.run --in-place >/dev/null
    cmp startup.run out/startup.run || fail "--in-place differs from --save-to"
    ;;
  *)
    fail "unknown check $check"
    ;;
esac
