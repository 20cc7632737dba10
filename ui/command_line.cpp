#include "ui/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

using Action = CommandLine::Action;

// The toolkit's documented options for every platform and for X11, which it
// also accepts with two dashes. Those with a value take the next argument, or
// the text after '='.
constexpr std::array<std::string_view, 13> kToolkitValueOptions{
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-display", "-geometry",
    "-style",       "-stylesheet",         "-qmljsdebugger"};
constexpr std::array<std::string_view, 2> kToolkitFlags{"-reverse", "-widgetcount"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// "-style" for "-style", "--style" and "-style=fusion".
std::string_view OptionName(std::string_view argument) {
  if (argument.substr(0, 2) == "--") argument.remove_prefix(1);
  return argument.substr(0, argument.find('='));
}

CommandLine Refusal(const std::string& error) {
  CommandLine line;
  line.action = Action::kBadUsage;
  line.error = error;
  return line;
}

CommandLine Answer(Action action) {
  CommandLine line;
  line.action = action;
  return line;
}

bool IsOption(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-';
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  line.toolkitArguments.push_back(arguments.empty() ? "korvoflow" : arguments.front());
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !IsOption(argument)) {
      files.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "-h" || argument == "--help") {
      return Answer(Action::kHelp);
    } else if (argument == "-v" || argument == "--version") {
      return Answer(Action::kVersion);
    } else if (const std::string_view name = OptionName(argument);
               Contains(kToolkitFlags, name) && argument.find('=') == std::string::npos) {
      line.toolkitArguments.push_back(argument);
    } else if (Contains(kToolkitValueOptions, name)) {
      line.toolkitArguments.push_back(argument);
      if (argument.find('=') != std::string::npos) continue;
      if (i + 1 == arguments.size()) return Refusal("option '" + argument + "' needs a value");
      line.toolkitArguments.push_back(arguments[++i]);
    } else {
      return Refusal("unknown option '" + argument + "' (see --help)");
    }
  }
  if (files.size() > 1) {
    return Refusal("one run file at most, " + std::to_string(files.size()) + " were given");
  }
  if (!files.empty()) line.file = files.front();
  return line;
}

std::string HelpText() {
  return R"(Usage: korvoflow [OPTION...] [FILE]
Adiabatic compressible gas flow with friction in a round pipe: the Korvo Flow
window. With FILE, the window starts with that run file loaded, as its Load
command loads it; a file it cannot load is reported in the window.

Options:
  -h, --help     show this help and exit
  -v, --version  show the version and exit
  --             end of the options: the next argument is FILE even if it
                 begins with '-'
The standard options of the Qt toolkit are accepted as well, among them
-platform NAME, -display DISPLAY, -geometry GEOMETRY, -style STYLE and
-reverse.

Example runs of a steam header, a natural-gas line, a compressed-air main and
a vent line come with the program, in the Debian package under
/usr/share/doc/korvoflow/examples/:

  korvoflow /usr/share/doc/korvoflow/examples/natural-gas-line.run

Exit status: 0 when the window has been closed (and after --help or
--version), 2 for an option it does not know or more than one FILE.
)";
}

std::string VersionText() {
  return std::string("korvoflow ") + KORVO_VERSION + "\n";
}

bool WriteText(std::FILE* stream, const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && written && !std::ferror(stream);
}
