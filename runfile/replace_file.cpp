#include "runfile/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// TemporaryPrefix() + "<pid>-<n>": the pid of the save on this machine that
// made it.
std::optional<pid_t> TemporaryOwner(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
  name.remove_prefix(prefix.size());
  const auto dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size() || dash > 9) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i != dash && (name[i] < '0' || name[i] > '9')) return std::nullopt;
  }
  return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

// Temporary files of ours whose save was killed before its rename: ours by
// name and owner, and their process is gone. A process that still runs (or
// that we may not signal) keeps its file.
void RemoveLeftovers(const std::string& dir) {
  struct CloseDir {
    void operator()(DIR* d) const { closedir(d); }
  };
  const std::unique_ptr<DIR, CloseDir> folder(opendir(dir.c_str()));
  if (!folder) return;
  const std::string prefix = TemporaryPrefix();
  while (const dirent* entry = readdir(folder.get())) {
    const auto pid = TemporaryOwner(entry->d_name, prefix);
    if (!pid || *pid == getpid() || kill(*pid, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    const int fd = dirfd(folder.get());
    if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid()) {
      unlinkat(fd, entry->d_name, 0);
    }
  }
}

// Extended attributes (ACLs among them) that a new file would not carry. The
// security label is given to a new file in the same folder anyway.
bool HasExtendedAttributes(const std::string& path) {
  const ssize_t size = listxattr(path.c_str(), nullptr, 0);
  if (size <= 0) return false;
  std::vector<char> names(static_cast<std::size_t>(size));
  const ssize_t got = listxattr(path.c_str(), names.data(), names.size());
  if (got < 0) return true;
  for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
    const std::string name(names.data() + at);
    if (name != "security.selinux") return true;
    at += name.size() + 1;
  }
  return false;
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
         CanWrite(target, W_OK) && !HasExtendedAttributes(target);
}

// A new, empty file in `dir`, created exclusively; -1 when none can be made.
int CreateTemporary(const std::string& dir, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = dir + "/" + TemporaryPrefix() + std::to_string(getpid()) + "-" + std::to_string(attempt);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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

enum class Outcome { kWritten, kFailed, kWriteInPlace };

Outcome WriteByRename(const std::string& target, const std::string& dir, const struct stat* old,
                      std::string_view bytes) {
  std::string temp;
  const int fd = CreateTemporary(dir, old ? 0600 : 0666, temp);
  if (fd < 0) return Outcome::kFailed;
  if (old != nullptr && !TakeAttributes(fd, *old)) {
    close(fd);
    unlink(temp.c_str());
    return Outcome::kWriteInPlace;
  }
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return Outcome::kFailed;
  }
  SyncDirectory(dir);
  return Outcome::kWritten;
}

// Truncate, write, close. The open does not wait: a FIFO that nobody reads
// is refused instead of hanging the program.
bool WriteInPlace(const std::string& target, std::string_view bytes) {
  const int fd =
      open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  const int flags = fcntl(fd, F_GETFL);
  bool ok = flags != -1 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 && fstat(fd, &st) == 0;
  ok = ok && WriteAll(fd, bytes);
  if (ok && S_ISREG(st.st_mode)) ok = fsync(fd) == 0;
  return close(fd) == 0 && ok;
}

}  // namespace

std::string TemporaryPrefix() {
  char host[256] = {};
  std::string name =
      gethostname(host, sizeof host - 1) == 0 && host[0] != '\0' ? host : "localhost";
  for (char& c : name) {
    if (c == '/') c = '_';  // a name, never a path
  }
  return ".korvo-save-" + name + "-";
}

bool ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target || target->empty() || target->back() == '/') return false;
  const std::string dir = FolderOf(*target);
  RemoveLeftovers(dir);
  struct stat st {};
  const bool exists = stat(target->c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;  // there may be a file we cannot see
  if (exists && S_ISDIR(st.st_mode)) return false;
  const struct stat* old = exists ? &st : nullptr;
  if (MayRename(*target, dir, old)) {
    const Outcome outcome = WriteByRename(*target, dir, old, bytes);
    if (outcome != Outcome::kWriteInPlace) return outcome == Outcome::kWritten;
  }
  return WriteInPlace(*target, bytes);
}
