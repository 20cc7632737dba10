#include "engineering/text_parts.h"

#include <cctype>

#include "numtext/numtext.h"

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitList(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto at = text.find(separator);
    parts.push_back(Trimmed(text.substr(0, at)));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

std::string NameKey(std::string_view name) {
  std::string key;
  for (char c : Trimmed(name)) {
    key += (c == ' ' || c == '_') ? '-'
                                  : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

std::optional<double> ListNumber(std::string_view text) {
  // No grouping symbol can occur: the list's own commas already split it.
  if (text.find(',') != std::string_view::npos) return std::nullopt;
  return TextToNumber(text, NumberSymbols{".", ","});
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}
