// Small text helpers shared by the parsers of gas and fitting lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text without blanks at either end.
std::string_view Trimmed(std::string_view text);

// The parts of a list separated by `separator`, each without surrounding
// blanks; an empty text gives one empty part.
std::vector<std::string_view> SplitList(std::string_view text, char separator);

// A name as the tables compare it: trimmed, lower case, blanks and
// underscores as hyphens.
std::string NameKey(std::string_view name);

// A number in a list, "." as decimal sign and no grouping (the list's commas
// separate items); nothing where the text is not one number.
std::optional<double> ListNumber(std::string_view text);

// `text` in double quotes, for messages.
std::string Quoted(std::string_view text);
