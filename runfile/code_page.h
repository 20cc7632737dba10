// Conversion between the texts of a run (UTF-8) and the bytes of a run file,
// which are in the Windows-1252 code page so that files move between machines
// unchanged. Both directions go through the C library's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A character of a UTF-8 text that has no Windows-1252 byte.
struct Unencodable {
  std::size_t offset;  // byte offset of the character in the text
  std::string shown;   // the character itself, and its code point: "→ (U+2192)"
};

// The Windows-1252 bytes of a UTF-8 text, or the first character that has no
// byte there (also an ill-formed UTF-8 sequence). Nothing when the converter
// is not available.
struct EncodedText {
  std::string bytes;
  std::optional<Unencodable> failure;
};
std::optional<EncodedText> EncodeWindows1252(std::string_view utf8);

// The UTF-8 text of Windows-1252 bytes. The five byte values that the code
// page leaves undefined become the control characters U+0081, U+008D, U+008F,
// U+0090 and U+009D, which EncodeWindows1252 turns back into those bytes.
// Nothing when the converter is not available.
std::optional<std::string> DecodeWindows1252(std::string_view bytes);
