#include <QTextStream>

#include "cli/options.h"

namespace {

const char* const kUsage = R"(Usage: korvoflow-cli COMMAND [RUNFILE...] [OPTION...]
Adiabatic compressible pipe flow with friction, on the command line: the same
calculation, run files and report as the Korvo Flow window, for scripts,
spreadsheets and plots. A command given no run file starts from the window's
start-up defaults.

Commands:
  calc [RUNFILE...]
         Load each run, apply the --set texts, Calculate and print every field.
  sweep [RUNFILE] --vary KEY=FROM:TO:COUNT [--log] [--vary KEY=FROM:TO:COUNT]
         One varied input gives a line of cases, two give a grid; every point
         is a complete calculation. Rows come in input order with each run's
         end ("complete" or the message it stopped with).
  profile [RUNFILE]
         Pressure, temperature, density, velocity, sonic velocity, Mach number
         and fL/D at N+1 equally spaced stations from 0 to the pipe length;
         station x is the exit state of the same pipe cut to length x.
  report [RUNFILE]
         The printed report, as text on stdout or in a .txt file, or as a PDF.

Options:
  --set KEY=TEXT       Set an input as if typed into its box (repeatable); a
                       number must pass the window's numeric test.
  --format FORMAT      table, csv or json (calc; default table), csv or json
                       (sweep, profile; default csv). CSV and JSON give every
                       number as the window's text and as its value.
  --in-place           calc: save each calculated run back to its file.
  --save-to DIR        calc: save each calculated run under its name in DIR.
  --vary KEY=FROM:TO:COUNT
                       sweep: vary a numeric input over COUNT values.
  --log                sweep: space the preceding --vary by equal ratios.
  --plot FILE          sweep, profile: draw a plot into FILE (.svg or .png).
  --y KEY[,KEY...]     sweep: the fields plotted against the first varied input.
  --threads N          sweep: threads to use (default: every core).
  --stations N         profile: number of intervals (default 50).
  --calculate          report: calculate the run before reporting it.
  --output FILE        report: write to FILE (.txt or .pdf) instead of stdout.
  --decimal TEXT       decimal symbol of numbers (default: the locale's).
  --grouping TEXT      grouping symbol of numbers (default: the locale's).
  -h, --help           show this help and exit.
  -v, --version        show the version and exit.

Fields:
  Every field has a key, listed with its caption, role and unit; where its
  caption is unique, the caption is accepted too.

)";

const char* const kTail = R"(
Exit status:
  0      every run completed;
  1      at least one run ended with a message (in its row, or for profile
         on stderr);
  2      bad usage, an unreadable input or an output that could not be
         written, with one line saying what is wrong.
A plot, report or table file appears whole or not at all. A run saved with
--in-place or --save-to goes through the window's save, which replaces the
file whole wherever that keeps what the file is (its links, owner and mode)
and otherwise writes it in place.

Examples:
Calculate a saved run with a longer pipe, as CSV:

  korvoflow-cli calc line7.run --set l=120 --format csv

Exit pressure and Mach number over the flow rate, with a plot:

  korvoflow-cli sweep --vary w=100000:900000:81 --plot flow.svg --y p2,m2

The state along the pipe at 101 stations, with a plot:

  korvoflow-cli profile line7.run --stations 100 --plot profile.png
)";

}  // namespace

QString HelpText() {
  QString text;
  QTextStream out(&text);
  out << kUsage;
  for (const CliField& field : CliFields()) {
    const QString key =
        QString::fromUtf8(field.key.data(), static_cast<qsizetype>(field.key.size()));
    const QString caption = QString::fromUtf8(Caption(field.ref).data(),
                                              static_cast<qsizetype>(Caption(field.ref).size()));
    QString unit = QString::fromUtf8(field.unit.data(), static_cast<qsizetype>(field.unit.size()));
    if (unit.isEmpty()) unit = "text";
    out << "  " << key.leftJustified(6) << " " << caption.leftJustified(34) << " "
        << (Field(field.ref).isResult ? "result " : "input  ") << unit << "\n";
  }
  out << kTail;
  return text;
}
