#include "runfile/runfile.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

#include "runfile/replace_file.h"
#include "runfile/signal_cleanup.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct RecordingHost : FileHost {
  void ShowFileError(const std::string& text) override { messages.push_back(text); }
  Strings messages;
};

std::string ReadBytes(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}
void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
const fs::path kData = KORVO_TEST_DATA_DIR;

// The first `count` fields, in walk order, hold "f0", "f1", ...; the others
// "old". Numbered() is a run whose texts all differ from the defaults, and
// Numbered(n) what a load into Numbered(0) leaves when it stops after n fields.
RunRecord Numbered(std::size_t count = kFieldCount) {
  RunRecord run;
  for (std::size_t i = 0; i < kFieldCount; ++i)
    Text(run, FieldTable()[i].ref) = i < count ? "f" + std::to_string(i) : "old";
  return run;
}

class RunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    chmod(dir_.c_str(), 0755);
    fs::remove_all(dir_);
  }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }

  const fs::path dir_ = fs::temp_directory_path() / ("korvo-runfile-" + std::to_string(getpid()));
  RecordingHost host_;
};

// ---- Save ----

constexpr uid_t kNobody = 65534;
const std::string kStartup = ReadBytes(kData / "startup.run");

// A user without privileges: "nobody" when the tests run as root, else the
// user running them.
uid_t Unprivileged() {
  return geteuid() == 0 ? kNobody : geteuid();
}
void BecomeUnprivileged() {
  if (geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
    _exit(3);
}

// The status a child process ended with.
int WaitFor(pid_t pid) {
  int status = -1;
  waitpid(pid, &status, 0);
  return status;
}

// What `act` returns when run by a user without privileges, in a child process.
std::string AsUnprivileged(const std::function<std::string()>& act) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "no pipe";
  const pid_t pid = fork();
  if (pid == 0) {
    BecomeUnprivileged();
    const std::string text = act();
    _exit(write(pipeFds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(pipeFds[1]);
  std::string text(256, '\0');
  text.resize(static_cast<std::size_t>(std::max<ssize_t>(0, read(pipeFds[0], text.data(), 256))));
  close(pipeFds[0]);
  WaitFor(pid);
  return text;
}

// Saves the default run in a child process after `prepare` (which may drop
// privileges or limit the file size); the messages it showed.
Strings SaveInChild(const fs::path& target, const std::function<void()>& prepare) {
  const pid_t pid = fork();
  if (pid == 0) {
    prepare();
    RecordingHost host;
    SaveRunFile(RunRecord{}, target, host);
    _exit(host.messages.empty() ? 0 : host.messages == Strings{"Error Writing File"} ? 1 : 2);
  }
  const int status = WaitFor(pid);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return code == 0 ? Strings{} : code == 1 ? Strings{"Error Writing File"} : Strings{"?"};
}

// What a truncating save keeps of a file.
struct Identity {
  ino_t inode;
  nlink_t links;
  uid_t owner;
  gid_t group;
  mode_t mode;             // kind and permissions
  std::string attributes;  // the names of its extended attributes
  bool operator==(const Identity& o) const {
    return inode == o.inode && links == o.links && owner == o.owner && group == o.group &&
           mode == o.mode && attributes == o.attributes;
  }
};
Identity IdentityOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  std::string names(1024, '\0');
  names.resize(static_cast<std::size_t>(
      std::max<ssize_t>(0, listxattr(path.c_str(), names.data(), names.size()))));
  return {st.st_ino, st.st_nlink, st.st_uid, st.st_gid, st.st_mode, names};
}

// Replacing keeps the old file's permissions, and a symbolic link stays a link.
TEST_F(RunFileTest, SaveAfterStartUpReplacesTheFileWithTheExampleBytes) {
  ASSERT_EQ(kStartup.size(), 450u);
  WriteBytes(dir_ / "run", "old contents");
  ASSERT_EQ(chmod((dir_ / "run").c_str(), 0640), 0);
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  EXPECT_EQ(ReadBytes(dir_ / "run"), kStartup);
  EXPECT_EQ(fs::status(dir_ / "run").permissions(), fs::perms(0640));
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});  // no temporary file left

  WriteBytes(dir_ / "run", "old contents");
  fs::create_symlink("run", dir_ / "link");
  SaveRunFile(RunRecord{}, dir_ / "link", host_);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_EQ(ReadBytes(dir_ / "run"), kStartup);
  fs::create_symlink("sub/new", dir_ / "dangling");  // creates the file it names
  fs::create_directory(dir_ / "sub");
  SaveRunFile(RunRecord{}, dir_ / "dangling", host_);
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
  EXPECT_EQ(ReadBytes(dir_ / "sub/new"), kStartup);
  EXPECT_TRUE(host_.messages.empty());

  const mode_t mask = umask(027);  // a new file: 0666 less the umask
  SaveRunFile(RunRecord{}, dir_ / "fresh", host_);
  umask(mask);
  EXPECT_EQ(fs::status(dir_ / "fresh").permissions(), fs::perms(0640));
}

// A file that a rename would change is written in place: it keeps its
// inode, links, owner, group, mode and kind, and gets the run.
struct InPlaceCase {
  const char* name;
  bool rootOnly;
  bool unprivileged;  // saved by a user without privileges
  std::function<void(const fs::path& run)> make;
  bool readable = true;  // the run can be read back from the file
};
void PrintTo(const InPlaceCase& c, std::ostream* out) {
  *out << c.name;
}
class InPlaceSaveTest : public RunFileTest, public ::testing::WithParamInterface<InPlaceCase> {};

TEST_P(InPlaceSaveTest, KeepsWhatTheFileIs) {
  const InPlaceCase& c = GetParam();
  if (c.rootOnly && geteuid() != 0) GTEST_SKIP() << "needs root";
  const fs::path run = dir_ / "run";
  c.make(run);
  if (IsSkipped()) return;
  const int reader = open(run.c_str(), O_RDONLY | O_NONBLOCK);  // a FIFO's reader
  const Identity before = IdentityOf(run);
  const Strings shown =
      c.unprivileged ? SaveInChild(run, BecomeUnprivileged) : SaveInChild(run, [] {});
  EXPECT_EQ(shown, Strings{});
  EXPECT_EQ(IdentityOf(run), before);
  std::string got(kStartup.size() + 1, '\0');
  got.resize(static_cast<std::size_t>(std::max<ssize_t>(0, read(reader, got.data(), got.size()))));
  if (c.readable) {
    EXPECT_EQ(got, kStartup);
  }
  close(reader);
  EXPECT_EQ(Listing().size(), c.name == std::string("HardLink") ? 2u : 1u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, InPlaceSaveTest, ::testing::Values(
    InPlaceCase{"HardLink", false, false, [](const fs::path& run) {
        WriteBytes(run, "old"); fs::create_hard_link(run, run.parent_path() / "other"); }},
    InPlaceCase{"OwnFileInFolderWeCannotWrite", false, true, [](const fs::path& run) {
        WriteBytes(run, "old");
        ASSERT_EQ(chown(run.c_str(), Unprivileged(), static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(chmod(run.parent_path().c_str(), geteuid() == 0 ? 0755 : 0555), 0); }},
    InPlaceCase{"OtherUsersFile", true, false, [](const fs::path& run) {
        WriteBytes(run, "old");
        ASSERT_EQ(chown(run.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(chmod(run.c_str(), 0640), 0); }},
    InPlaceCase{"Fifo", false, false, [](const fs::path& run) {
        ASSERT_EQ(mkfifo(run.c_str(), 0600), 0); }},
    InPlaceCase{"CharacterDevice", true, false, [](const fs::path& run) {
        ASSERT_EQ(mknod(run.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0); }, false},
    // A label of its own, which a new file in the folder would not get.
    InPlaceCase{"SecurityLabelAlone", false, false, [](const fs::path& run) {
        WriteBytes(run, "old");
        const char label[] = "system_u:object_r:korvo_test_t:s0";
        if (setxattr(run.c_str(), "security.selinux", label, sizeof label, 0) != 0)
          GTEST_SKIP() << "setting a security label needs privileges these tests lack"; }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A write that fails half-way on the rename path (here: the file size limit)
// leaves the old file whole and no temporary file.
TEST_F(RunFileTest, FailedWriteKeepsTheOldFile) {
  WriteBytes(dir_ / "run", "kept");
  const Strings shown = SaveInChild(dir_ / "run", [] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(shown, Strings{"Error Writing File"});
  EXPECT_EQ(ReadBytes(dir_ / "run"), "kept");
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});
}

// Hidden files of saves that were killed before their rename are removed by
// the next save into the folder, but only where their save is proved gone:
// this machine, this PID namespace, and a process that no longer runs or runs
// since another time. Everything else stays.
TEST_F(RunFileTest, SaveRemovesOnlyLeftoversProvedDead) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  int report[2], release[2];  // a running save: its process, and when it may end
  ASSERT_EQ(pipe(report) | pipe(release), 0);
  const pid_t running = fork();
  if (running == 0) {
    const SaveProcess me = ThisProcess();
    char end = 0;
    close(release[1]);
    _exit(write(report[1], &me, sizeof me) == sizeof me && read(release[0], &end, 1) >= 0 ? 0 : 1);
  }
  SaveProcess live{};
  ASSERT_EQ(read(report[0], &live, sizeof live), static_cast<ssize_t>(sizeof live));
  const SaveProcess me = ThisProcess();
  ASSERT_NE(me.pidNamespace, 0u) << "needs /proc";
  const std::string prefix = TemporaryPrefix(), pid = std::to_string(gone);
  const SaveProcess dead{me.pidNamespace, gone, 1};
  const std::vector<std::pair<std::string, bool>> leftovers{
      // name, kept
      {TemporaryName(dead, 0), false},
      {TemporaryName({me.pidNamespace, live.pid, live.startTime + 1}, 0), false},  // pid reused
      {TemporaryName(live, 0), true},
      {TemporaryName({me.pidNamespace + 1, gone, 1}, 0), true},  // another container
      {TemporaryName({0, gone, 1}, 0), true},                    // namespace unknown
      {prefix + pid + "-0", true},                               // earlier versions' names
      {".korvo-save-another-host-" + TemporaryName(dead, 0).substr(prefix.size()), true},
      {TemporaryName(dead, 0) + "x", true},
      {"notes", true}};
  for (const auto& [name, kept] : leftovers) WriteBytes(dir_ / name, "x");
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  const std::set<std::string> present = Listing();
  for (const auto& [name, kept] : leftovers) EXPECT_EQ(present.count(name), kept ? 1u : 0u) << name;
  close(release[1]);
  WaitFor(running);
  for (const int fd : {report[0], report[1], release[0]}) close(fd);
}

// A save that finds the file locked by another save waits for it and writes
// only once the lock is free; after kLockWait it gives up as busy, and the
// file is as it was. Without the lock two saves at once could interleave
// their truncation and writing and leave a mix of both.
TEST_F(RunFileTest, InPlaceSaveWaitsForTheOtherSave) {
  const fs::path run = dir_ / "run", link = dir_ / "link";
  WriteBytes(run, "old");
  fs::create_hard_link(run, link);  // written in place
  const int other = open(run.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  const pid_t waiting = fork();
  if (waiting == 0) {
    close(other);  // the lock is the parent's alone
    _exit(ReplaceFile(link, kStartup) ? 0 : 1);
  }
  usleep(300'000);
  EXPECT_EQ(ReadBytes(run), "old");  // not even truncated yet
  close(other);
  EXPECT_EQ(WaitFor(waiting), 0);
  EXPECT_EQ(ReadBytes(run), kStartup);

  const int holder = open(run.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  EXPECT_EQ(WriteFailureText(ReplaceFile(link, "new")), "busy: another save holds it");
  EXPECT_EQ(ReadBytes(run), kStartup);
  close(holder);
}

// Two in-place saves of different lengths started at the same moment: the
// file is one of them whole, never the shorter over the start of the longer.
TEST_F(RunFileTest, ConcurrentInPlaceSavesLeaveOneWhole) {
  const fs::path run = dir_ / "run";
  WriteBytes(run, "old");
  fs::create_hard_link(run, dir_ / "link");
  const std::string longer(2 << 20, 'a'), shorter(1 << 20, 'b');
  for (int round = 0; round < 10; ++round) {
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t savers[2];
    for (const int i : {0, 1}) {
      if ((savers[i] = fork()) == 0) {
        char go = 0;
        close(start[1]);
        _exit(read(start[0], &go, 1) == 0 && ReplaceFile(run, i ? shorter : longer) ? 0 : 1);
      }
    }
    close(start[0]);
    close(start[1]);  // both go
    for (const pid_t pid : savers) EXPECT_EQ(WaitFor(pid), 0);
    const std::string got = ReadBytes(run);
    ASSERT_TRUE(got == longer || got == shorter) << "round " << round << ": a mix";
  }
}

// A signal that ends the program in the middle of an output removes its
// temporary file or folder first; the program still ends by the signal.
struct Interrupted {
  const char* name;
  std::function<void(const fs::path& dir)> output;  // ends by SIGTERM half-way
};
void PrintTo(const Interrupted& c, std::ostream* out) {
  *out << c.name;
}
class InterruptedOutputTest : public RunFileTest,
                              public ::testing::WithParamInterface<Interrupted> {};

TEST_P(InterruptedOutputTest, LeavesNothingBehind) {
  WriteBytes(dir_ / "run", "kept");
  const pid_t pid = fork();
  if (pid == 0) {
    InstallSignalCleanup();
    GetParam().output(dir_);
    _exit(0);
  }
  const int status = WaitFor(pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});
  EXPECT_EQ(ReadBytes(dir_ / "run"), "kept");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, InterruptedOutputTest, ::testing::Values(
    // The file size limit stops the write half-way; its signal stands for a
    // kill arriving at that moment.
    Interrupted{"SaveByRename", [](const fs::path& dir) {
        std::signal(SIGXFSZ, [](int) { std::raise(SIGTERM); });
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordingHost host;
        SaveRunFile(RunRecord{}, dir / "run", host); }},
    Interrupted{"ScratchFolder", [](const fs::path& dir) {
        ScratchFolder folder(dir);
        WriteBytes(folder.File("report.pdf"), "%PDF");
        std::raise(SIGTERM); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The command line refuses an output that is one of its inputs.
TEST_F(RunFileTest, SameFileMeansSameInode) {
  WriteBytes(dir_ / "run", "x");
  WriteBytes(dir_ / "copy", "x");
  fs::create_hard_link(dir_ / "run", dir_ / "linked");
  fs::create_symlink("run", dir_ / "symlink");
  EXPECT_TRUE(SameFile(dir_ / "run", dir_ / "linked"));
  EXPECT_TRUE(SameFile(dir_ / "symlink", dir_ / "./run"));
  EXPECT_FALSE(SameFile(dir_ / "run", dir_ / "copy"));
  EXPECT_FALSE(SameFile(dir_ / "run", dir_ / "missing"));
}

// Saves and loads, through every path and failed or not, leave no file open.
TEST_F(RunFileTest, LeavesNoFileOpen) {
  const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
  const auto before = openFiles();
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  fs::create_hard_link(dir_ / "run", dir_ / "linked");
  SaveRunFile(RunRecord{}, dir_ / "linked", host_);
  SaveRunFile(RunRecord{}, dir_, host_);
  RunRecord run;
  for (const char* name : {"run", "missing", "."}) LoadRunFile(run, dir_ / name, host_);
  { ScratchFolder folder(dir_); }
  EXPECT_EQ(openFiles(), before);
  EXPECT_EQ(host_.messages.size(), 3u);
}

TEST_F(RunFileTest, SaveThenLoadRestoresEveryTextExactly) {
  RunRecord saved = Numbered();
  saved.general[0] = "Line one\n  second line, indented  \n\nafter a blank line\n";
  saved.gas[0] = "  Caf\u00e9 gas \u20ac  ";  // blanks and two Windows-1252 letters
  saved.input[2] = "600,000";
  saved.exit[5] = "";
  SaveRunFile(saved, dir_ / "run", host_);
  ASSERT_EQ(ReadBytes(dir_ / "run"), ReadBytes(kData / "round_trip.run"));  // €: 0x80, é: 0xE9
  RunRecord loaded;
  LoadRunFile(loaded, dir_ / "run", host_);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(loaded, saved);
}

// A failed save shows one message and touches no file: a text the format
// cannot hold is refused before anything is written, and a file that cannot
// be written leaves the old one and no temporary file behind.
struct SaveFailure {
  const char* name;
  std::string target;
  FieldRef field;
  std::string text, message;
  FieldRef later{};  // a second text the file cannot hold, later in save order
  std::string laterText = {};
  Encoder encode = EncodeWindows1252;
  std::string reason = {};  // what the writing itself says, for a file that cannot be written
};
void PrintTo(const SaveFailure& failure, std::ostream* out) {
  *out << failure.name;
}
class FailedSaveTest : public RunFileTest, public ::testing::WithParamInterface<SaveFailure> {};

TEST_P(FailedSaveTest, ShowsOneMessageAndTouchesNoFile) {
  const SaveFailure& failure = GetParam();
  const Strings files{"run", "readonly", "folder/inside"};
  fs::create_directory(dir_ / "folder");
  for (const std::string& name : files) WriteBytes(dir_ / name, "kept");
  ASSERT_EQ(chmod((dir_ / "readonly").c_str(), 0444), 0);
  ASSERT_EQ(chown((dir_ / "readonly").c_str(), Unprivileged(), static_cast<gid_t>(-1)), 0);
  RunRecord run;
  if (!failure.text.empty()) Text(run, failure.field) = failure.text;
  if (!failure.laterText.empty()) Text(run, failure.later) = failure.laterText;
  if (failure.target == "readonly") {  // root may write any file
    host_.messages = SaveInChild(dir_ / failure.target, BecomeUnprivileged);
  } else {
    SaveRunFile(run, dir_ / failure.target, host_, failure.encode);
  }
  EXPECT_EQ(host_.messages, Strings{failure.message});
  if (!failure.reason.empty()) {
    const auto write = [&] { return WriteFailureText(ReplaceFile(dir_ / failure.target, "x")); };
    EXPECT_EQ(failure.target == "readonly" ? AsUnprivileged(write) : write(), failure.reason);
  }
  EXPECT_EQ(Listing(), (std::set<std::string>{"folder", "readonly", "run"}));
  for (const std::string& name : files) EXPECT_EQ(ReadBytes(dir_ / name), "kept") << name;
}

std::optional<EncodedText> NoConverter(std::string_view) {
  return std::nullopt;
}

const std::string kCannot = " Contains a Character that Cannot be Saved in a Run File: ";
// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, FailedSaveTest, ::testing::Values(
    SaveFailure{"Quote", "run", {BoxArray::Gas, 0}, "6\" pipe gas", "Gas Type (Gas Characteristics)" + kCannot + "\" (U+0022)"},
    SaveFailure{"OutsideTheCodePage", "run", {BoxArray::General, 0}, "in \u2192 out", "Run Description (General Information)" + kCannot + "\u2192 (U+2192)"},
    SaveFailure{"FirstOfTwoIsNamed", "run", {BoxArray::General, 0}, "\U0001F600 then \"", "Run Description (General Information)" + kCannot + "\U0001F600 (U+1F600)"},
    SaveFailure{"FirstFieldInSaveOrderIsNamed", "run", {BoxArray::Gas, 0}, "gas \u2033", "Gas Type (Gas Characteristics)" + kCannot + "\u2033 (U+2033)", {BoxArray::Pipe, 0}, "6\""},
    SaveFailure{"IllFormedUtf8", "run", {BoxArray::Exit, 2}, "12\xFF", "Flow Rate, lb/hr (Exit Properties)" + kCannot + "byte 0xFF"},
    SaveFailure{"NoConverter", "run", {}, "", "Error Writing File", {}, "", NoConverter},
    SaveFailure{"TargetIsAFolder", "folder", {}, "", "Error Writing File", {}, "", EncodeWindows1252, "is a directory"},
    SaveFailure{"FolderMissing", "missing/run", {}, "", "Error Writing File", {}, "", EncodeWindows1252, "no such folder"},
    SaveFailure{"ReadOnlyFile", "readonly", {}, "", "Error Writing File", {}, "", EncodeWindows1252, "permission denied"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- Load ----

// Numbered()'s file, and its first `count` lines (the header is line 1).
const std::string kNumbered = EncodeRunFile(Numbered()).bytes;

std::string WithoutCarriageReturns(std::string bytes) {
  bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
  return bytes;
}
std::string FirstLines(std::size_t count) {
  std::size_t end = 0;
  while (count-- > 0) end = kNumbered.find("\r\n", end) + 2;
  return kNumbered.substr(0, end);
}
std::string Replaced(std::string file, const std::string& from, const std::string& to) {
  return file.replace(file.find(from), from.size(), to);  // the first one only
}

struct LoadCase {
  const char* name;
  std::string file;
  std::size_t fieldsLoaded;  // all 35, or the load fails after so many
  std::string reason;        // why it failed; empty for a load that succeeds
  std::string target = "run";
  std::size_t sparseSize = 0;  // the file is extended to this size with a hole
};
void PrintTo(const LoadCase& load, std::ostream* out) {
  *out << load.name;
}
class LoadTest : public RunFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, FillsFieldsUpToTheFirstFault) {
  const LoadCase& c = GetParam();
  WriteBytes(dir_ / "run", c.file);
  if (c.sparseSize > 0) fs::resize_file(dir_ / "run", c.sparseSize);
  const fs::path path = dir_ / c.target;  // an absolute target stays as it is
  if (c.target == "fifo") {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  }
  if (c.target == "unreadable") {  // root reads any file: the load runs as another user
    WriteBytes(path, kNumbered);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    EXPECT_EQ(AsUnprivileged([&] {
                RunRecord run;
                return LoadFailureText(LoadRunFile(run, path));
              }),
              c.reason);
    return;
  }
  alarm(20);  // a load that waits (for a FIFO's writer) ends the test run
  RunRecord run = Numbered(0), shown = Numbered(0);
  const LoadResult result = LoadRunFile(run, path);
  LoadRunFile(shown, path, host_);
  alarm(0);
  EXPECT_EQ(run, Numbered(c.fieldsLoaded));
  EXPECT_EQ(shown, run);
  EXPECT_EQ(LoadFailureText(result), c.reason);
  EXPECT_EQ(host_.messages, c.reason.empty() ? Strings{} : Strings{"Error Loading File"});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, LoadTest, ::testing::Values(
    LoadCase{"Complete", kNumbered, 35, ""},
    LoadCase{"EmptyFile", "", 0, "empty file"},
    LoadCase{"CannotBeOpened", "", 0, "no such file", "missing"},
    LoadCase{"IsAFolder", "", 0, "is a directory", "."},
    LoadCase{"FifoWithoutWriter", "", 0, "not a regular file", "fifo"},
    LoadCase{"EndlessDevice", "", 0, "not a regular file", "/dev/zero"},
    LoadCase{"Unreadable", "", 0, "permission denied", "unreadable"},
    LoadCase{"HeaderInOtherCase", Replaced(kNumbered, "KORVO FLOW 1.0 Win FILE", "Korvo Flow 1.0 Win File"), 0, "not a Korvo Flow run file"},
    LoadCase{"SectionNameDiffers", Replaced(kNumbered, "Pipe Characteristics", "Pipe characteristics"), 4, "section name differs at item 8"},
    LoadCase{"EndsInsideInitialProperties", FirstLines(15), 10, "ends early at item 16"},
    LoadCase{"EndsInsideAQuotedItem", FirstLines(14) + "\"f9 without end", 9, "ends early at item 15"},
    LoadCase{"DescriptionRunsPastTheLimit", FirstLines(2) + "\"", 0, "item 3 runs past the 16 MiB a run file may hold", "run", kMaxRunFileBytes + 1},
    LoadCase{"DescriptionUpToTheLimit", FirstLines(2) + "\"", 0, "ends early at item 3", "run", kMaxRunFileBytes},
    LoadCase{"NoTrailer", FirstLines(45), 35, ""},
    LoadCase{"AnythingAfterTheLastField", FirstLines(45) + "garbage \" and more\r\n\x81", 35, ""},
    LoadCase{"LineFeedsOnly", WithoutCarriageReturns(kNumbered), 35, ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A file edited by hand: LF line ends, items without quotes, blanks around
// items, a note after a quoted item, a description whose line breaks mix
// CR LF and LF, bytes of the upper half of the code page (0x81 is one the
// code page leaves undefined), and a line after the last field.
TEST_F(RunFileTest, HandEditedFileLoads) {
  RunRecord expected = Numbered();
  expected.general[0] = "first\nsecond\nthird\n";
  expected.gas[0] = "\u20ac\u0081\u00ff";
  RunRecord run;
  LoadRunFile(run, kData / "hand_edited.run", host_);
  EXPECT_EQ(run, expected);
  EXPECT_TRUE(host_.messages.empty());
}

// Every byte but the quote survives a load and a save, the five that the
// code page leaves undefined as the control characters of the same number.
TEST(CodePage, EveryByteSurvivesLoadAndSave) {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  const std::optional<std::string> text = DecodeWindows1252(bytes);
  ASSERT_TRUE(text);
  for (const char* c1 : {"\u0081", "\u008d", "\u008f", "\u0090", "\u009d"})
    EXPECT_NE(text->find(c1), std::string::npos);
  const std::optional<EncodedText> back = EncodeWindows1252(*text);
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->failure);
  EXPECT_EQ(back->bytes, bytes);
}

}  // namespace
