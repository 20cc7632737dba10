#!/usr/bin/env bash
# The report on a real system printer. Starts the CUPS spooler by hand when it
# is not running (nothing starts services on the CI machine), adds a cups-pdf
# queue that writes each job as a PDF into a scratch folder, makes it the
# default printer, and prints three copies through the Print command
# (tests/ui/tst_system_printer). Passes when three jobs arrive as three
# one-page PDFs. Ghostscript's PDFs hold no text to compare, so the count and
# the pages are what is checked. Everything it set up is taken down again,
# the previous default printer included. Needs root, the packages of
# scripts/packages/test-print.txt and a built tree in build/ (or
# KORVO_BUILD_DIR); run by another user it reports itself skipped.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: needs root to start the print spooler and add a printer queue"
  exit 77
fi
top=$(cd "$(dirname "$0")/../.." && pwd)
program="${KORVO_BUILD_DIR:-$top/build}/tests/ui/tst_system_printer"
queue=KorvoFlowPDF
instance=korvoflow
config=/etc/cups/cups-pdf-$instance.conf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
export PATH="$PATH:/usr/sbin:/sbin"

fail() {
  echo "FAIL: $*"
  exit 1
}

for tool in cupsd lpadmin lpstat pdfinfo; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
[ -x "$program" ] || fail "$program is missing (scripts/build.sh builds it)"
[ -r "$ppd" ] || fail "the cups-pdf driver is missing ($ppd)"

scratch=$(mktemp -d)
out=$(mktemp -d /var/spool/korvoflow-pdf.XXXXXX)
chmod 1777 "$out"
cupsd_pid=""
previous_default=$(timeout 10 lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p' || true)

cleanup() {
  timeout 10 lpadmin -x "$queue" 2>/dev/null || true
  [ -n "$previous_default" ] && { timeout 10 lpadmin -d "$previous_default" 2>/dev/null || true; }
  rm -f "$config"
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch" "$out"
}
trap cleanup EXIT

spooler_running() { timeout 5 lpstat -r 2>/dev/null | grep -q 'is running'; }

if ! spooler_running; then
  echo "starting cupsd"
  cupsd -f >"$scratch/cupsd.log" 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 100); do
    spooler_running && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.2
  done
  if ! spooler_running; then
    cat "$scratch/cupsd.log"
    tail -n 20 /var/log/cups/error_log 2>/dev/null || true
    fail "cupsd did not start"
  fi
fi

# One configuration for this queue alone: its own folder, and the job number
# in every file name so that three jobs with the same title give three files.
cat >"$config" <<CONF
Out $out
AnonDirName $out
Label 1
CONF
timeout 30 lpadmin -p "$queue" -E -v "cups-pdf:/$instance" -P "$ppd" 2>&1 | grep -v 'deprecated' || true
timeout 30 lpadmin -d "$queue"
timeout 10 lpstat -d | grep -q "$queue" || fail "the queue $queue is not the default printer"

QT_QPA_PLATFORM=offscreen timeout 120 "$program" || fail "tst_system_printer"

# The jobs leave the queue and land as files within a minute.
pdfs=()
for _ in $(seq 300); do
  mapfile -t pdfs < <(find "$out" -type f -name '*.pdf' | sort)
  [ "${#pdfs[@]}" -ge 3 ] && [ -z "$(timeout 5 lpstat -o "$queue" 2>/dev/null)" ] && break
  sleep 0.2
done
echo "jobs written: ${#pdfs[@]}"
[ "${#pdfs[@]}" -eq 3 ] || { ls -l "$out"; tail -n 20 /var/log/cups/error_log 2>/dev/null; fail "expected 3 PDF jobs"; }
for pdf in "${pdfs[@]}"; do
  pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
  echo "$(basename "$pdf"): $pages page(s)"
  [ "$pages" = "1" ] || fail "$(basename "$pdf") has ${pages:-no} pages, expected 1"
done
echo "3 one-page jobs: passed"
