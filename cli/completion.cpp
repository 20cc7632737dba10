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
    return "compopt -o nospace; COMPREPLY=($(compgen -S = -W \"$inputs\" -- \"$cur\"))";
  }
  if (value.rfind("KEY", 0) == 0) return "COMPREPLY=($(compgen -W \"$keys\" -- \"$cur\"))";
  if (value == "DIR") return "COMPREPLY=($(compgen -d -- \"$cur\"))";
  if (value == "FILE") return "COMPREPLY=($(compgen -f -- \"$cur\"))";
  return "COMPREPLY=()";
}

}  // namespace

std::string BashCompletion() {
  std::vector<std::string> keys, inputs;  // an assignment names an input
  for (const FieldInfo& field : FieldTable()) {
    keys.emplace_back(field.key);
    if (!field.isResult) inputs.emplace_back(field.key);
  }
  std::string values, global;
  std::vector<std::pair<std::string, std::string>> options;  // command, option
  for (const OptionSummary& option : OptionSummaries()) {
    const std::string name = "--" + option.name;
    if (!option.value.empty()) {
      values += "    " + name + ") " + ValueCompletion(option.value) + "; return ;;\n";
    }
    if (option.commands.empty()) global += (global.empty() ? "" : " ") + name;
    for (const std::string& command : option.commands) options.emplace_back(command, name);
  }
  std::string perCommand, alternatives;
  for (const std::string& command : CommandNames()) {
    std::vector<std::string> names;
    for (const auto& [owner, name] : options) {
      if (owner == command) names.push_back(name);
    }
    perCommand += "    " + command + ") opts='" + Joined(names) + "' ;;\n";
    alternatives += (alternatives.empty() ? "" : "|") + command;
  }
  std::string script =
      "# bash completion for korvoflow-cli, made by korvoflow-cli --completion bash\n";
  script += "_korvoflow_cli() {\n";
  script += "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n";
  script += "  local keys='" + Joined(keys) + "'\n";
  script += "  local inputs='" + Joined(inputs) + "'\n";
  script += "  local command='' opts='" + global + "' i\n";
  script += "  for ((i = 1; i < COMP_CWORD; i++)); do\n";
  script += "    case ${COMP_WORDS[i]} in " + alternatives +
            ") command=${COMP_WORDS[i]}; break ;; esac\n";
  script += "  done\n";
  script += "  case $prev in\n" + values + "  esac\n";
  script += "  case $command in\n" + perCommand + "  esac\n";
  script += "  if [[ $cur == -* ]]; then\n";
  script += "    COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))\n";
  script += "  elif [[ -z $command ]]; then\n";
  script += "    COMPREPLY=($(compgen -W '" + Joined(CommandNames()) + "' -- \"$cur\"))\n";
  script += "  else\n";
  script += "    COMPREPLY=($(compgen -f -- \"$cur\"))\n";
  script += "  fi\n";
  script += "}\n";
  return script + "complete -o filenames -F _korvoflow_cli korvoflow-cli\n";
}
