#include "runfile/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "runfile/signal_cleanup.h"

namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The path at the end of a chain of symbolic links; the path itself when it
// is no link (or does not exist yet). Nothing for a loop.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return std::nullopt;
    const std::string next(link.data(), static_cast<std::size_t>(n));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return std::nullopt;
}

// 0, or the error number of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// ---- Leftovers of killed saves ----

// The start time of the process whose /proc/<pid>/stat this is, provided the
// file names `pid` (a /proc of another PID namespace would not); 0 otherwise.
std::uint64_t StartTimeOf(std::int64_t pid, const std::string& statPath) {
  const int fd = open(statPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buffer[1024];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  close(fd);
  if (n <= 0) return 0;
  // "<pid> (<name>) <state> ...": the name may hold blanks and parentheses,
  // so the fields after it are counted from its last ')'. The start time is
  // field 22, the 20th after the name.
  const std::string text(buffer, static_cast<std::size_t>(n));
  const auto name = text.rfind(')');
  std::int64_t named = 0;
  if (name == std::string::npos || std::from_chars(buffer, buffer + n, named).ec != std::errc() ||
      named != pid) {
    return 0;
  }
  std::istringstream fields(text.substr(name + 1));
  std::string skipped;
  for (int i = 0; i < 19; ++i) fields >> skipped;
  std::uint64_t start = 0;
  return fields >> start ? start : 0;
}

std::uint64_t PidNamespace() {
  struct stat st {};
  return stat("/proc/self/ns/pid", &st) == 0 ? st.st_ino : 0;
}

// TemporaryName(process, n) read back; nothing for any other name, the
// names of earlier versions ("<pid>-<n>") among them.
std::optional<SaveProcess> RecordedProcess(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
  name.remove_prefix(prefix.size());
  std::uint64_t fields[4] = {};
  for (std::uint64_t& field : fields) {
    const auto dash = name.find('-');
    const std::string_view digits = name.substr(0, dash);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), field);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
      return std::nullopt;
    }
    name.remove_prefix(dash == std::string_view::npos ? name.size() : dash + 1);
    if ((dash == std::string_view::npos) != (&field == &fields[3])) return std::nullopt;
  }
  if (fields[1] < 1 || fields[1] > INT_MAX) return std::nullopt;
  return SaveProcess{fields[0], static_cast<std::int64_t>(fields[1]), fields[2]};
}

// Proved only within our own PID namespace: there the process either no
// longer exists, or its number now belongs to a process that started at
// another time. Anything unknown or unreadable proves nothing.
bool ProvedGone(const SaveProcess& made, const SaveProcess& me) {
  if (me.pidNamespace == 0 || made.pidNamespace != me.pidNamespace) return false;
  const auto pid = static_cast<pid_t>(made.pid);
  if (kill(pid, 0) != 0 && errno == ESRCH) return true;
  const std::uint64_t now = StartTimeOf(made.pid, "/proc/" + std::to_string(pid) + "/stat");
  return made.startTime != 0 && now != 0 && now != made.startTime;
}

// Temporary files of ours whose save was killed before its rename: ours by
// name and owner, and their process proved gone.
void RemoveLeftovers(const std::string& dir) {
  struct CloseDir {
    void operator()(DIR* d) const { closedir(d); }
  };
  const std::unique_ptr<DIR, CloseDir> folder(opendir(dir.c_str()));
  if (!folder) return;
  const std::string prefix = TemporaryPrefix();
  const SaveProcess me = ThisProcess();
  while (const dirent* entry = readdir(folder.get())) {
    const auto made = RecordedProcess(entry->d_name, prefix);
    if (!made || !ProvedGone(*made, me)) continue;
    struct stat st {};
    const int fd = dirfd(folder.get());
    if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid()) {
      unlinkat(fd, entry->d_name, 0);
    }
  }
}

// ---- Whether a rename keeps the file what it is ----

using Attributes = std::map<std::string, std::string>;  // name: value

// Every extended attribute of a file, read through `list` and `get`
// (listxattr and getxattr, or their fd forms); nothing when they cannot be
// read whole.
template <typename List, typename Get>
std::optional<Attributes> ReadAttributes(List list, Get get) {
  const ssize_t size = list(nullptr, 0);
  if (size < 0) return errno == ENOTSUP ? std::optional(Attributes{}) : std::nullopt;
  std::vector<char> names(static_cast<std::size_t>(size));
  const ssize_t got = list(names.data(), names.size());
  if (got != size) return std::nullopt;
  Attributes all;
  for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
    const std::string name(names.data() + at);
    at += name.size() + 1;
    const ssize_t length = get(name.c_str(), nullptr, 0);
    if (length < 0) return std::nullopt;
    std::string value(static_cast<std::size_t>(length), '\0');
    if (get(name.c_str(), value.data(), value.size()) != length) return std::nullopt;
    all[name] = value;
  }
  return all;
}

std::optional<Attributes> AttributesOf(const std::string& path) {
  return ReadAttributes(
      [&](char* names, std::size_t size) { return listxattr(path.c_str(), names, size); },
      [&](const char* name, void* value, std::size_t size) {
        return getxattr(path.c_str(), name, value, size);
      });
}

std::optional<Attributes> AttributesOf(int fd) {
  return ReadAttributes([&](char* names, std::size_t size) { return flistxattr(fd, names, size); },
                        [&](const char* name, void* value, std::size_t size) {
                          return fgetxattr(fd, name, value, size);
                        });
}

bool IsSecurityLabel(const std::string& name) {
  return name.rfind("security.", 0) == 0;
}

// The labels of the security modules among the attributes.
Attributes Labels(const Attributes& all) {
  Attributes labels;
  for (const auto& [name, value] : all) {
    if (IsSecurityLabel(name)) labels.emplace(name, value);
  }
  return labels;
}

// Extended attributes (ACLs among them) that a new file would not carry. A
// security label is given to a new file by the folder's policy; whether it is
// the old one's is seen once the new file exists (LabelsAlike).
bool HasOtherAttributes(const std::string& path) {
  const std::optional<Attributes> all = AttributesOf(path);
  return !all || Labels(*all).size() != all->size();
}

bool LabelsAlike(const std::string& old, int fresh) {
  const std::optional<Attributes> before = AttributesOf(old), now = AttributesOf(fresh);
  return before && now && Labels(*before) == Labels(*now);
}

bool CanWrite(const std::string& path, int how) {
  return faccessat(AT_FDCWD, path.c_str(), how, AT_EACCESS) == 0;
}

// Whether a new file put in place by a rename could be the old one in all
// but its inode. A file of another user keeps its identity.
bool MayRename(const std::string& target, const std::string& dir, const struct stat* old) {
  if (!CanWrite(dir, W_OK | X_OK)) return false;
  if (old == nullptr) return true;
  return S_ISREG(old->st_mode) && old->st_nlink == 1 && old->st_uid == geteuid() &&
         CanWrite(target, W_OK) && !HasOtherAttributes(target);
}

// ---- The two ways of writing ----

// A new, empty file in the folder, registered for removal on a signal before
// it exists. Names are numbered through the process, so no two saves of one
// process ever try the same one.
struct Temporary {
  int fd = -1;
  std::string name;
  std::optional<RemoveOnSignal> removal;
};
int CreateTemporary(const std::string& dir, mode_t mode, Temporary& temp) {
  static std::atomic<int> next{0};
  const SaveProcess me = ThisProcess();
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp.name = dir + "/" + TemporaryName(me, next++);
    temp.removal.emplace(temp.name);
    temp.fd = open(temp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (temp.fd >= 0) return 0;
    temp.removal.reset();
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

// Gives the new file the old one's group and mode (the owner is ours); false
// when the file system does not take them exactly (a set-group-ID bit for a
// group we are not in, for one).
bool TakeAttributes(int fd, const struct stat& old) {
  struct stat now {};
  return fchown(fd, old.st_uid, old.st_gid) == 0 && fchmod(fd, old.st_mode & 07777) == 0 &&
         fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
         (now.st_mode & 07777) == (old.st_mode & 07777);
}

// Makes the rename itself durable; a failure here no longer endangers data.
void SyncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

struct Renamed {
  int error;
  bool writeInPlace;  // the new file would not be the old one: nothing was written
};

Renamed WriteByRename(const std::string& target, const std::string& dir, const struct stat* old,
                      std::string_view bytes) {
  Temporary temp;
  if (const int error = CreateTemporary(dir, old ? 0600 : 0666, temp)) return {error, false};
  if (old != nullptr && !(TakeAttributes(temp.fd, *old) && LabelsAlike(target, temp.fd))) {
    close(temp.fd);
    unlink(temp.name.c_str());
    return {0, true};
  }
  int error = WriteAll(temp.fd, bytes);
  if (error == 0 && fsync(temp.fd) != 0) error = errno;
  if (close(temp.fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.name.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temp.name.c_str());
    return {error, false};
  }
  SyncDirectory(dir);
  return {0, false};
}

// Waits for the other saves of the file to end, up to kLockWait; 0 once the
// lock is held, EBUSY when the wait ran out. A file system that keeps no locks
// is written unlocked, as every save was before.
int LockForWriting(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return 0;
    if (std::chrono::steady_clock::now() >= deadline) return EBUSY;
    const timespec pause{0, 10'000'000};
    nanosleep(&pause, nullptr);
  }
  return 0;
}

// The open does not wait: a FIFO that nobody reads is refused instead of
// hanging the program. A regular file is locked before it is truncated.
int WriteThrough(int fd, std::string_view bytes) {
  struct stat st {};
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || fstat(fd, &st) != 0) {
    return errno;
  }
  const bool regular = S_ISREG(st.st_mode);
  if (regular) {
    if (const int error = LockForWriting(fd)) return error;
    if (ftruncate(fd, 0) != 0) return errno;
  }
  if (const int error = WriteAll(fd, bytes)) return error;
  return regular && fsync(fd) != 0 ? errno : 0;
}

int WriteInPlace(const std::string& target, std::string_view bytes) {
  const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const int error = WriteThrough(fd, bytes);  // the lock goes with the close
  return close(fd) != 0 && error == 0 ? errno : error;
}

}  // namespace

SaveProcess ThisProcess() {
  const std::int64_t pid = getpid();
  const std::uint64_t start = StartTimeOf(pid, "/proc/self/stat");
  // A /proc that is not our namespace's tells nothing about our processes.
  return {start != 0 ? PidNamespace() : 0, pid, start};
}

std::string TemporaryPrefix() {
  char host[256] = {};
  std::string name =
      gethostname(host, sizeof host - 1) == 0 && host[0] != '\0' ? host : "localhost";
  for (char& c : name) {
    if (c == '/') c = '_';  // a name, never a path
  }
  return ".korvo-save-" + name + "-";
}

std::string TemporaryName(const SaveProcess& process, int n) {
  return TemporaryPrefix() + std::to_string(process.pidNamespace) + "-" +
         std::to_string(process.pid) + "-" + std::to_string(process.startTime) + "-" +
         std::to_string(n);
}

WriteResult ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) return {ELOOP};
  if (target->empty()) return {ENOENT};
  if (target->back() == '/') return {EISDIR};
  const std::string dir = FolderOf(*target);
  RemoveLeftovers(dir);
  struct stat st {};
  const bool exists = stat(target->c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return {errno};  // there may be a file we cannot see
  if (exists && S_ISDIR(st.st_mode)) return {EISDIR};
  const struct stat* old = exists ? &st : nullptr;
  if (MayRename(*target, dir, old)) {
    const Renamed renamed = WriteByRename(*target, dir, old, bytes);
    if (!renamed.writeInPlace) return {renamed.error};
  }
  return {WriteInPlace(*target, bytes)};
}

std::string WriteFailureText(const WriteResult& result) {
  switch (result.error) {
    case EBUSY:
      return "busy: another save holds it";
    case EACCES:
    case EPERM:
      return "permission denied";
    case ENOSPC:
    case EDQUOT:
      return "no space left";
    case EISDIR:
      return "is a directory";
    case ENOENT:
      return "no such folder";
    default:
      return std::strerror(result.error);
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
