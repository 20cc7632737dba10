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
    for command in calc "sweep --vary l=10:20:3" "profile --stations 3" --help --version; do
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
    # The PDF is the window's printed report (its layout is the printer's
    # tests'): one page, titled, written whole.
    "$bin" report report_sample.run --output report.pdf
    pdfinfo report.pdf | grep -q '^Pages: *1$' || fail "not one page"
    pdftotext report.pdf - | grep -q "Korvo Flow Calculations" || fail "no title"
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
  outputs_apart)
    # An output that is an input, or two runs saved under one name, are
    # refused before anything is written.
    cp startup.run r.txt
    if "$bin" report r.txt --output r.txt 2>err; then fail "report over its input"; fi
    grep -q "is the input" err || fail "$(cat err)"
    cmp -s r.txt startup.run || fail "r.txt changed"
    mkdir a b out && cp startup.run a/x.run && cp choking.run b/x.run
    if "$bin" calc a/x.run b/x.run --save-to out >/dev/null 2>err; then fail "two runs, one name"; fi
    grep -q "same file" err || fail "$(cat err)"
    [ ! -e out/x.run ] || fail "out/x.run written"
    ;;
  batch_goes_on)
    # A save that fails is reported and the batch saves the others.
    mkdir out out/choking.run && cp startup.run third.run
    status=0
    "$bin" calc startup.run choking.run third.run --save-to out >/dev/null 2>err || status=$?
    [ $status = 2 ] || fail "status $status"
    grep -q "out/choking.run: is a directory" err || fail "$(cat err)"
    grep -q "out/third.run: saved" err || fail "$(cat err)"
    grep -q '"346.66"' out/third.run || fail "third.run not saved"
    ;;
  standard_input)
    # "-" reads a run from standard input; --output saves a new run file.
    "$bin" calc - --set l=60 --output new.run --format csv <startup.run >out.csv
    grep -q '^"",complete' out.csv || grep -q '^-,complete' out.csv || fail "$(head -2 out.csv)"
    "$bin" calc new.run --format json | grep -q '"text":"60"' || fail "new.run not a run of l=60"
    if "$bin" calc - </dev/null 2>err; then fail "empty input accepted"; fi
    grep -q "standard input: empty file" err || fail "$(cat err)"
    ;;
  notes)
    # A number that reads two ways with the chosen symbols gets a note, and
    # --quiet silences notes, not errors.
    "$bin" calc startup.run --decimal , >/dev/null 2>err
    grep -q 'Mol. Wt., lb/lb-mole: "18.02" reads as 1802' err || fail "$(cat err)"
    "$bin" calc startup.run --decimal , --quiet >/dev/null 2>err
    [ ! -s err ] || fail "quiet: $(cat err)"
    ;;
  csv_shape)
    # Every CSV record has as many fields as its header, read by a real CSV
    # reader, for every command that writes CSV.
    for command in "calc --format csv" "calc startup.run --format csv --csv-header keys" \
      "sweep --vary l=50:70:3" "profile --stations 3"; do
      $bin $command 2>/dev/null | python3 -c '
import csv, sys
rows = list(csv.reader(sys.stdin))
assert len(rows) > 1 and all(len(r) == len(rows[0]) for r in rows), [len(r) for r in rows]
' || fail "$command"
    done
    ;;
  progress_bar)
    # On a terminal 40 columns wide, a long sweep's bar stays within the
    # width and its line is cleared at the end.
    script -qec "stty cols 40; $bin sweep --vary w=1000:600000:150000 --threads 1 >/dev/null" \
      /dev/null >tty.out || fail "status $?"
    tr '\r' '\n' <tty.out | sed 's/\x1b\[K//g' | awk 'length > 39 {exit 1}' || fail "too wide"
    grep -q $'\r\x1b\[K' tty.out || fail "line not cleared"
    ;;
  completion)
    # The bash completion offers commands, the command's options and an
    # option's values.
    offer() {
      COMP_WORDS=("$@")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      _korvoflow_cli
      echo "${COMPREPLY[*]}"
    }
    compopt() { :; }
    source <("$bin" --completion bash)
    [ "$(offer korvoflow-cli ca)" = calc ] || fail "commands: $(offer korvoflow-cli ca)"
    [ "$(offer korvoflow-cli sweep --va)" = --vary ] || fail "options"
    [ "$(offer korvoflow-cli calc --format j)" = json ] || fail "formats"
    [ "$(offer korvoflow-cli calc --set p)" = "p1=" ] || fail "keys: $(offer korvoflow-cli calc --set p)"
    ;;
  man_page)
    # The man page has the usual sections and no formatting warnings.
    man --warnings -E UTF-8 -l -Tutf8 -Z "$(dirname "$bin")/korvoflow-cli.1" 2>warnings >/dev/null
    [ ! -s warnings ] || fail "$(cat warnings)"
    for section in OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "SEE ALSO"; do
      grep -q "^\.SH \"\?$section\"\?$" "$(dirname "$bin")/korvoflow-cli.1" || fail "no $section"
    done
    ;;
  *)
    fail "unknown check $check"
    ;;
esac
