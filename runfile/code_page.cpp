#include "runfile/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace {

constexpr const char* kCodePage = "WINDOWS-1252";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The five bytes that the code page leaves undefined stand for the control
// characters of the same number (U+0081 and so on), so that every byte of a
// file survives a load and a save. In UTF-8 these are 0xC2 and the byte.
constexpr std::string_view kUndefinedBytes = "\x81\x8D\x8F\x90\x9D";
constexpr char kC1Lead = '\xC2';

bool IsUndefinedByte(char byte) {
  return kUndefinedBytes.find(byte) != std::string_view::npos;
}

// One iconv descriptor, closed on every path.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts from `in` into `out` while both have room; returns 0 or errno
  // and leaves `in` and `out` past what was converted.
  int Convert(std::string_view& in, char*& out, std::size_t& outLeft) {
    char* src = const_cast<char*>(in.data());  // iconv's signature; it does not write there
    std::size_t inLeft = in.size();
    const std::size_t rc = iconv(cd_, &src, &inLeft, &out, &outLeft);
    in.remove_prefix(in.size() - inLeft);
    return rc == static_cast<std::size_t>(-1) ? errno : 0;
  }

 private:
  iconv_t cd_;
};

// How a character that cannot be encoded is named in a message: itself and its
// code point, or the byte when the text is not well-formed UTF-8 there.
std::string Show(std::string_view rest) {
  Converter toUtf32("UTF-32LE", "UTF-8");
  unsigned char unit[4] = {};
  char* out = reinterpret_cast<char*>(unit);
  std::size_t outLeft = sizeof unit;
  std::string_view in = rest;
  char text[40];
  if (toUtf32.ok()) toUtf32.Convert(in, out, outLeft);
  if (outLeft != 0) {
    std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned char>(rest.front()));
    return text;
  }
  const std::uint32_t code = unit[0] | unit[1] << 8 | unit[2] << 16 | unsigned{unit[3]} << 24;
  std::snprintf(text, sizeof text, " (U+%04X)", static_cast<unsigned>(code));
  return std::string(rest.substr(0, rest.size() - in.size())) + text;
}

}  // namespace

std::optional<EncodedText> EncodeWindows1252(std::string_view utf8) {
  Converter converter(kCodePage, "UTF-8");
  if (!converter.ok()) return std::nullopt;
  EncodedText result;
  result.bytes.resize(utf8.size());  // never more than one byte per character
  char* out = result.bytes.data();
  std::size_t outLeft = result.bytes.size();
  std::string_view in = utf8;
  int error = converter.Convert(in, out, outLeft);
  while (error != 0 && in.size() >= 2 && in[0] == kC1Lead && IsUndefinedByte(in[1])) {
    *out++ = in[1];
    --outLeft;
    in.remove_prefix(2);
    error = converter.Convert(in, out, outLeft);
  }
  result.bytes.resize(result.bytes.size() - outLeft);
  if (error != 0) {
    const std::size_t offset = utf8.size() - in.size();
    result.failure = Unencodable{offset, Show(in)};
  }
  return result;
}

std::optional<std::string> DecodeWindows1252(std::string_view bytes) {
  Converter converter("UTF-8", kCodePage);
  if (!converter.ok()) return std::nullopt;
  std::string text(bytes.size() * 3, '\0');  // at most three UTF-8 bytes per byte (the euro sign)
  char* out = text.data();
  std::size_t outLeft = text.size();
  std::string_view in = bytes;
  while (!in.empty() && converter.Convert(in, out, outLeft) != 0) {
    // A byte without a character: its control character, or a mark.
    const char byte = in.front();
    in.remove_prefix(1);
    const std::string character =
        IsUndefinedByte(byte) ? std::string{kC1Lead, byte} : std::string(kReplacement);
    for (char c : character) *out++ = c;
    outLeft -= character.size();
  }
  text.resize(text.size() - outLeft);
  return text;
}
