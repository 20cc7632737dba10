#include "runfile/runfile.h"

#include <array>
#include <exception>
#include <fstream>
#include <optional>
#include <type_traits>

#include "runfile/code_page.h"
#include "runfile/replace_file.h"

namespace {

// Calls `visit(name)` for the header and each section name and `visit(ref)`
// for each field, in file order up to the last field; stops as soon as a call
// returns false, and returns whether the walk got through.
template <typename Visit>
bool WalkItems(Visit&& visit) {
  if (!visit(kRunFileHeader)) return false;
  for (const GroupInfo& group : GroupTable()) {
    if (!visit(group.section)) return false;
    for (std::size_t i = 0; i < BoxCount(group.array); ++i) {
      if (!visit(FieldRef{group.array, static_cast<int>(i)})) return false;
    }
  }
  return true;
}

template <typename Item>
constexpr bool kIsField = std::is_same_v<Item, FieldRef>;

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  for (std::size_t pos = 0;;) {
    const std::size_t hit = text.find(from, pos);
    out.append(text.substr(pos, hit - pos));
    if (hit == std::string_view::npos) return out;
    out.append(to);
    pos = hit + from.size();
  }
}

// The refusal of a text that an item cannot hold: where, and which character.
std::string RefusalMessage(FieldRef ref, const std::string& shown) {
  return std::string(Caption(ref)) + " (" + std::string(GroupCaption(ref.array)) +
         ") Contains a Character that Cannot be Saved in a Run File: " + shown;
}

void AppendItem(std::string& file, std::string_view bytes) {
  file += '"';
  file.append(bytes);
  file += "\"\r\n";
}

constexpr int kEnd = std::char_traits<char>::eof();

bool IsBlank(int c) {
  return c == ' ' || c == '\t';
}

// Reads items one by one. A quoted item is everything after its opening quote
// up to the next quote, line breaks included; the rest of its line is passed
// over. A line that does not start with a quote (blanks aside) is an item of
// its own: the line without its blanks at either end. Lines end with CR LF or
// with LF alone.
class ItemReader {
 public:
  explicit ItemReader(std::streambuf& in) : in_(in) {}

  // The raw bytes of the next item; nothing when the file ends before it does.
  std::optional<std::string> Next() {
    int c = in_.sgetc();
    if (c == kEnd) return std::nullopt;
    while (IsBlank(c)) c = in_.snextc();
    std::string value;
    if (c == '"') {
      for (c = in_.snextc(); c != '"'; c = in_.snextc()) {
        if (c == kEnd) return std::nullopt;
        value += static_cast<char>(c);
      }
      SkipLine();
      return value;
    }
    for (; c != kEnd && c != '\n'; c = in_.snextc()) value += static_cast<char>(c);
    in_.sbumpc();  // the LF, if any
    while (!value.empty() && (IsBlank(value.back()) || value.back() == '\r')) value.pop_back();
    return value;
  }

 private:
  void SkipLine() {
    for (int c = in_.sbumpc(); c != kEnd && c != '\n';) c = in_.sbumpc();
  }

  std::streambuf& in_;
};

}  // namespace

EncodedRun EncodeRunFile(const RunRecord& run, Encoder encode) {
  EncodedRun result;
  const bool complete = WalkItems([&](auto item) {
    if constexpr (kIsField<decltype(item)>) {
      const std::string& text = Text(run, item);
      const std::optional<EncodedText> encoded = encode(text);
      if (!encoded) {
        result.error = kWriteError;
        return false;
      }
      // A quote would end the item early: refused like a character that has no
      // byte, whichever of the two comes first.
      const std::size_t quote = text.find('"');
      if (encoded->failure && encoded->failure->offset < quote) {
        result.error = RefusalMessage(item, encoded->failure->shown);
        return false;
      }
      if (quote != std::string::npos) {
        result.error = RefusalMessage(item, "\" (U+0022)");
        return false;
      }
      AppendItem(result.bytes, Replaced(encoded->bytes, "\n", "\r\n"));
    } else {
      AppendItem(result.bytes, item);
    }
    return true;
  });
  if (complete) {
    AppendItem(result.bytes, kRunFileHeader);
  } else {
    result.bytes.clear();
  }
  return result;
}

bool ReadRunFile(std::streambuf& in, RunRecord& run) {
  ItemReader reader(in);
  return WalkItems([&](auto item) {
    const std::optional<std::string> raw = reader.Next();
    if (!raw) return false;
    if constexpr (kIsField<decltype(item)>) {
      const std::optional<std::string> text = DecodeWindows1252(Replaced(*raw, "\r\n", "\n"));
      if (!text) return false;
      Text(run, item) = *text;
      return true;
    } else {
      return *raw == item;
    }
  });
}

void SaveRunFile(const RunRecord& run, const std::string& path, FileHost& host, Encoder encode) {
  const EncodedRun file = EncodeRunFile(run, encode);
  if (!file.error.empty()) {
    host.ShowFileError(file.error);
  } else if (!ReplaceFile(path, file.bytes)) {
    host.ShowFileError(std::string(kWriteError));
  }
}

void LoadRunFile(RunRecord& run, const std::string& path, FileHost& host) {
  std::ifstream in(path, std::ios::binary);
  bool ok = in.is_open();
  try {
    ok = ok && ReadRunFile(*in.rdbuf(), run);
  } catch (const std::exception&) {  // a read error (the file buffer throws it) or no memory
    ok = false;
  }
  if (!ok) host.ShowFileError(std::string(kLoadError));
}
