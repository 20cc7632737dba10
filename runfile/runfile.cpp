#include "runfile/runfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

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
// with LF alone. No more than kMaxRunFileBytes of the stream are looked at;
// the reader takes the stream in blocks and searches each for the byte that
// ends the item.
class ItemReader {
 public:
  enum class Got { kItem, kEnd, kTooLarge };

  explicit ItemReader(std::streambuf& in) : in_(in), block_(std::size_t{1} << 16) {}

  // The raw bytes of the next item into `value`; kEnd when the file ends
  // before the item does.
  Got Next(std::string& value) {
    value.clear();
    int c = Peek();
    if (c == kEnd) return Stopped();
    while (IsBlank(c)) {
      ++at_;
      c = Peek();
    }
    if (c == '"') {
      ++at_;
      if (!TakeThrough('"', &value)) return Stopped();
      return TakeThrough('\n', nullptr) || !tooLarge_ ? Got::kItem : Got::kTooLarge;
    }
    if (!TakeThrough('\n', &value) && tooLarge_) return Got::kTooLarge;
    while (!value.empty() && (IsBlank(value.back()) || value.back() == '\r')) value.pop_back();
    return Got::kItem;
  }

  // Whether anything at all was read.
  bool ReadAny() const { return fetched_ > 0; }

 private:
  Got Stopped() const { return tooLarge_ ? Got::kTooLarge : Got::kEnd; }

  int Peek() {
    if (at_ == size_ && !Fill()) return kEnd;
    return static_cast<unsigned char>(block_[at_]);
  }

  // Passes over the bytes up to and including `stop`, appending those before
  // it to `into`; false when the bytes run out first.
  bool TakeThrough(char stop, std::string* into) {
    for (;;) {
      if (at_ == size_ && !Fill()) return false;
      const char* begin = block_.data() + at_;
      const std::size_t left = size_ - at_;
      const auto* hit = static_cast<const char*>(std::memchr(begin, stop, left));
      const std::size_t taken = hit ? static_cast<std::size_t>(hit - begin) : left;
      if (into) into->append(begin, taken);
      at_ += hit ? taken + 1 : taken;
      if (hit) return true;
    }
  }

  // The next block. One byte past the limit is fetched to learn whether the
  // stream goes on, and is never looked at.
  bool Fill() {
    const std::size_t want = std::min(block_.size(), kMaxRunFileBytes + 1 - fetched_);
    const std::streamsize got =
        want == 0 ? 0 : in_.sgetn(block_.data(), static_cast<std::streamsize>(want));
    if (got <= 0) return false;
    fetched_ += static_cast<std::size_t>(got);
    at_ = 0;
    size_ = static_cast<std::size_t>(got);
    if (fetched_ > kMaxRunFileBytes) {
      --size_;
      tooLarge_ = true;
    }
    return size_ > 0;
  }

  std::streambuf& in_;
  std::vector<char> block_;
  std::size_t at_ = 0, size_ = 0;  // the unread bytes of the block: [at_, size_)
  std::size_t fetched_ = 0;
  bool tooLarge_ = false;
};

// A stream buffer over a file descriptor that keeps the error of a failed
// read (a file buffer of the library reports it as the end of the file).
class FdBuffer : public std::streambuf {
 public:
  explicit FdBuffer(int fd) : fd_(fd), buffer_(1 << 16) {}
  int Error() const { return error_; }

 protected:
  int_type underflow() override {
    ssize_t n;
    do {
      n = read(fd_, buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
      if (n < 0) error_ = errno;
      return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
    return traits_type::to_int_type(*gptr());
  }

 private:
  int fd_;
  std::vector<char> buffer_;
  int error_ = 0;
};

// Why the file at a path could not be reached, from errno.
LoadResult OpenFault() {
  const int error = errno;
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {LoadFault::kNoSuchFile, 0, error};
    case EACCES:
    case EPERM:
      return {LoadFault::kPermissionDenied, 0, error};
    default:
      return {LoadFault::kCannotOpen, 0, error};
  }
}

LoadFault KindFault(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return LoadFault::kIsADirectory;
  return S_ISREG(st.st_mode) ? LoadFault::kNone : LoadFault::kNotARegularFile;
}

// The file at `path`, open for reading, or why it cannot be read. A path that
// is not a regular file is refused before it is opened: opening a device can
// act on it, and a FIFO's open waits for a writer.
struct OpenFile {
  int fd = -1;
  LoadResult fault;
};
OpenFile OpenRegularFile(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {-1, OpenFault()};
  if (const LoadFault kind = KindFault(st); kind != LoadFault::kNone) return {-1, {kind}};
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {-1, OpenFault()};
  if (fstat(fd, &st) != 0 || KindFault(st) != LoadFault::kNone) {  // replaced in between
    close(fd);
    return {-1, {LoadFault::kNotARegularFile}};
  }
  return {fd, {}};
}

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

LoadResult ReadRunFile(std::streambuf& in, RunRecord& run) {
  ItemReader reader(in);
  LoadResult result;
  std::string raw;
  WalkItems([&](auto item) {
    ++result.item;
    const ItemReader::Got got = reader.Next(raw);
    if (got != ItemReader::Got::kItem) {
      result.fault = got == ItemReader::Got::kTooLarge ? LoadFault::kTooLarge
                     : reader.ReadAny()                ? LoadFault::kEndsEarly
                                                       : LoadFault::kEmptyFile;
      return false;
    }
    if constexpr (kIsField<decltype(item)>) {
      const std::optional<std::string> text = DecodeWindows1252(Replaced(raw, "\r\n", "\n"));
      if (!text) result.fault = LoadFault::kNoConverter;
      if (text) Text(run, item) = *text;
      return text.has_value();
    } else {
      if (raw != item) result.fault = LoadFault::kSectionDiffers;
      return raw == item;
    }
  });
  if (result.fault == LoadFault::kNone) return {};
  // Whatever went wrong with the first item, it is not the header.
  if (result.item == 1 && result.fault != LoadFault::kEmptyFile) {
    result.fault = LoadFault::kNotARunFile;
  }
  return result;
}

void SaveRunFile(const RunRecord& run, const std::string& path, FileHost& host, Encoder encode) {
  const EncodedRun file = EncodeRunFile(run, encode);
  if (!file.error.empty()) {
    host.ShowFileError(file.error);
  } else if (!ReplaceFile(path, file.bytes)) {
    host.ShowFileError(std::string(kWriteError));
  }
}

LoadResult LoadRunFile(RunRecord& run, const std::string& path) {
  const OpenFile file = OpenRegularFile(path);
  if (file.fd < 0) return file.fault;
  FdBuffer buffer(file.fd);
  LoadResult result;
  try {
    result = ReadRunFile(buffer, run);
  } catch (const std::bad_alloc&) {
    result = {LoadFault::kReadError, 0, ENOMEM};
  }
  close(file.fd);
  if (!result && buffer.Error() != 0) result = {LoadFault::kReadError, result.item, buffer.Error()};
  return result;
}

void LoadRunFile(RunRecord& run, const std::string& path, FileHost& host) {
  if (!LoadRunFile(run, path)) host.ShowFileError(std::string(kLoadError));
}

std::string LoadFailureText(const LoadResult& result) {
  const std::string at = std::to_string(result.item);
  switch (result.fault) {
    case LoadFault::kNone:
      return {};
    case LoadFault::kNoSuchFile:
      return "no such file";
    case LoadFault::kPermissionDenied:
      return "permission denied";
    case LoadFault::kIsADirectory:
      return "is a directory";
    case LoadFault::kNotARegularFile:
      return "not a regular file";
    case LoadFault::kCannotOpen:
      return std::string("cannot be opened: ") + std::strerror(result.error);
    case LoadFault::kEmptyFile:
      return "empty file";
    case LoadFault::kNotARunFile:
      return "not a Korvo Flow run file";
    case LoadFault::kSectionDiffers:
      return "section name differs at item " + at;
    case LoadFault::kEndsEarly:
      return "ends early at item " + at;
    case LoadFault::kTooLarge:
      return "item " + at + " runs past the " + std::to_string(kMaxRunFileBytes >> 20) +
             " MiB a run file may hold";
    case LoadFault::kReadError:
      return std::string("read error: ") + std::strerror(result.error);
    case LoadFault::kNoConverter:
      return "no Windows-1252 converter";
  }
  return {};
}
