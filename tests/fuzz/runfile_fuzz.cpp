// Feeds arbitrary bytes to LoadRunFile as the contents of a file. Besides
// crashes, hangs and bad memory accesses (the sanitizers), it checks that a
// load shows at most one message, and that a run it read completely, when it
// can be saved, reads back from the saved bytes to the same texts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "runfile/runfile.h"

namespace {

struct CountingHost : FileHost {
  void ShowFileError(const std::string&) override { ++messages; }
  int messages = 0;
};

// An in-memory file that has a path, so that the whole of LoadRunFile runs.
int MemoryFile() {
  static const int fd = memfd_create("korvo-runfile", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = MemoryFile();
  if (ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

  RunRecord run;
  CountingHost host;
  LoadRunFile(run, "/proc/self/fd/" + std::to_string(fd), host);
  if (host.messages > 1) std::abort();
  if (host.messages == 1) return 0;

  const EncodedRun saved = EncodeRunFile(run);
  if (!saved.error.empty()) return 0;  // a text the format cannot hold was read
  std::stringbuf file(saved.bytes);
  RunRecord again;
  if (!ReadRunFile(file, again) || again != run) std::abort();
  return 0;
}
