#include "cli/completion.h"

#include "calc/run_record.h"
#include "cli/options.h"

namespace {

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

// What to offer for an option's value, from the value's name.
std::string ValueCompletion(const std::string& value) {
  if (value.find('|') != std::string::npos || value == "bash") {
    std::string words = value;
    for (char& c : words) c = c == '|' ? ' ' : c;
    return "COMPREPLY=($(compgen -W '" + words + "' -- \"$cur\"))";
  }
  if (value.rfind("KEY=", 0) == 0) {
    return "compopt -o nospace; COMPREPLY=($(compgen -S = -W \"$keys\" -- \"$cur\"))";
  }
  if (value.rfind("KEY", 0) == 0) return "COMPREPLY=($(compgen -W \"$keys\" -- \"$cur\"))";
  if (value == "DIR") return "COMPREPLY=($(compgen -d -- \"$cur\"))";
  if (value == "FILE") return "COMPREPLY=($(compgen -f -- \"$cur\"))";
  return "COMPREPLY=()";
}

}  // namespace

std::string BashCompletion() {
  std::vector<std::string> keys;
  for (const FieldInfo& field : FieldTable()) keys.emplace_back(field.key);
  std::string values, perCommand, global;
  std::vector<std::pair<std::string, std::string>> options;  // command, option
  for (const OptionSummary& option : OptionSummaries()) {
    const std::string name = "--" + option.name;
    if (!option.value.empty()) {
      values += "    " + name + ") " + ValueCompletion(option.value) + "; return ;;\n";
    }
    if (option.commands.empty()) global += (global.empty() ? "" : " ") + name;
    for (const std::string& command : option.commands) options.emplace_back(command, name);
  }
  for (const std::string& command : CommandNames()) {
    std::vector<std::string> names;
    for (const auto& [owner, name] : options) {
      if (owner == command) names.push_back(name);
    }
    perCommand += "    " + command + ") opts='" + Joined(names) + "' ;;\n";
  }
  const std::string commands = Joined(CommandNames());
  return "# bash completion for korvoflow-cli, made by korvoflow-cli --completion bash\n"
         "_korvoflow_cli() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "  local keys='" +
         Joined(keys) + "' command='' opts='" + global +
         "' i\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    case ${COMP_WORDS[i]} in " +
         [&] {
           std::string alternatives;
           for (const std::string& c : CommandNames())
             alternatives += (alternatives.empty() ? "" : "|") + c;
           return alternatives;
         }() +
         ") command=${COMP_WORDS[i]}; break ;; esac\n"
         "  done\n"
         "  case $prev in\n" +
         values +
         "  esac\n"
         "  case $command in\n" +
         perCommand +
         "  esac\n"
         "  if [[ $cur == -* ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))\n"
         "  elif [[ -z $command ]]; then\n"
         "    COMPREPLY=($(compgen -W '" +
         commands +
         "' -- \"$cur\"))\n"
         "  else\n"
         "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "  fi\n"
         "}\n"
         "complete -o filenames -F _korvoflow_cli korvoflow-cli\n";
}
