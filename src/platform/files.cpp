#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <string>
#include <utility>

namespace {

// ---- Temporary files a signal handler may remove.

// The temporary files being written, where a signal handler can find them:
// a slot's path is written before its file is made and the slot is armed
// before the file exists, so that the handler, which only reads armed slots
// and calls unlink, finds every file there is. A slot is disarmed after its
// file is renamed or removed (a handler then removing the path again finds
// nothing there).
constexpr std::size_t TemporaryPathBytes = 4096;
struct TemporarySlot {
  std::atomic<int> state{0};  // 0 free, 1 taken (its path being written), 2 armed
  std::array<char, TemporaryPathBytes> path{};
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");
// Enough for every job of a batch run (at most 256) writing at once.
std::array<TemporarySlot, 264> TemporarySlots;

// Arms a slot for `path` (made absolute, should the working folder change);
// -1 when all are taken or the path is too long (the file is then written
// as before, without the handler's care).
int ArmTemporary(const std::string& relativeOrAbsolute) {
  std::string path = relativeOrAbsolute;
  if (path.empty() || path[0] != '/') {
    std::array<char, TemporaryPathBytes> folder{};
    if (::getcwd(folder.data(), folder.size()) == nullptr) return -1;
    path = std::string(folder.data()) + "/" + path;
  }
  if (path.size() >= TemporaryPathBytes) return -1;
  for (std::size_t k = 0; k < TemporarySlots.size(); ++k) {
    TemporarySlot& slot = TemporarySlots[k];
    int free = 0;
    if (!slot.state.compare_exchange_strong(free, 1)) continue;
    std::copy(path.begin(), path.end(), slot.path.begin());
    slot.path[path.size()] = '\0';
    slot.state.store(2);
    return static_cast<int>(k);
  }
  return -1;
}

void DisarmTemporary(int& slot) {
  if (slot >= 0) TemporarySlots[static_cast<std::size_t>(slot)].state.store(0);
  slot = -1;
}

constexpr std::array<int, 3> StopSignals{SIGINT, SIGTERM, SIGHUP};

// Only unlink, signal and raise: calls that are safe in a signal handler.
extern "C" void RemoveTemporariesAndStop(int signal) {
  const int savedErrno = errno;
  for (TemporarySlot& slot : TemporarySlots) {
    if (slot.state.load() == 2) ::unlink(slot.path.data());
  }
  errno = savedErrno;
  std::signal(signal, SIG_DFL);
  std::raise(signal);  // delivered, with its default action, as the handler returns
}

// Holds the stop signals back from this thread while a temporary file is
// made and armed; one that comes meanwhile is taken once the file is armed.
class StopSignalsHeld {
 public:
  StopSignalsHeld() {
    sigset_t stop;
    sigemptyset(&stop);
    for (const int signal : StopSignals) sigaddset(&stop, signal);
    pthread_sigmask(SIG_BLOCK, &stop, &old_);
  }
  ~StopSignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  StopSignalsHeld(const StopSignalsHeld&) = delete;
  StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

 private:
  sigset_t old_;
};

// ---- File helpers.

// Closes a descriptor at the end of its scope.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int d) : fd(d) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int release() { return std::exchange(fd, -1); }
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Where a write of `path` really lands: a symbolic link is followed to its
// target, so that the link stays a link. A dangling link gives its target's
// path (a new file is made there).
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return current;
    link.resize(static_cast<std::size_t>(n));
    if (link[0] != '/') {
      const std::size_t slash = current.find_last_of('/');
      if (slash != std::string::npos) link = current.substr(0, slash + 1) + link;
    }
    current = link;
  }
  return current;  // a loop of links: the rename below fails on it
}

// A temporary name beside `target`, made with O_EXCL so that no other file
// is ever touched; created with mode 0666, so the process umask applies as it
// does to any new file. Its signal slot is armed (in *slot) before the file
// is made, with the stop signals held back from this thread meanwhile.
int CreateTemporaryBeside(const std::string& target, std::string& temporary, int& slot) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
  static std::atomic<unsigned> counter{0};
  const StopSignalsHeld held;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder + "." + leaf + "." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
    slot = ArmTemporary(temporary);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    const int failure = errno;
    DisarmTemporary(slot);
    if (failure != EEXIST) break;
  }
  temporary.clear();  // no file of ours to remove later
  return -1;
}

}  // namespace

namespace {
thread_local int LastError = 0;
}

int LastWriteError() { return LastError; }

void AtomicFileWriter::Fail(int error) {
  failed_ = true;
  if (error_ == 0) error_ = error != 0 ? error : EIO;
  LastError = error_;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) {
  LastError = 0;  // the reason of this write, once it fails
  if (path.empty()) {
    Fail(ENOENT);
    return;
  }
  target_ = ResolveTarget(path);
  struct stat old {};
  replacing_ = ::stat(target_.c_str(), &old) == 0;
  if (replacing_) {
    // Only a regular file is replaced, and only one the user may write: a
    // read-only file stays as it is (even for root, who may write anything,
    // a file without any write bit is taken as meant to be kept).
    if (!S_ISREG(old.st_mode)) {
      Fail(EISDIR);
      return;
    }
    if (::access(target_.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0) {
      Fail(EROFS);
      return;
    }
    oldMode_ = old.st_mode & 07777;
    oldOwner_ = old.st_uid;
    oldGroup_ = old.st_gid;
  }
  fd_ = CreateTemporaryBeside(target_, temporary_, signalSlot_);
  if (fd_ < 0) Fail(errno);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty() && !committed_) ::unlink(temporary_.c_str());
  DisarmTemporary(signalSlot_);
}

bool AtomicFileWriter::Append(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0 || failed_) return false;
  if (!WriteAll(fd_, bytes)) Fail(errno);
  return !failed_;
}

bool AtomicFileWriter::Commit(Durability durability) {
  if (fd_ < 0 || failed_) return false;
  int error = 0;
  bool ok = durability == Durability::OnDisk ? ::fsync(fd_) == 0 : true;
  if (!ok) error = errno;
  // A replaced file keeps its permission bits (and, where allowed, its owner).
  if (ok && replacing_) {
    if (::geteuid() == 0) (void)!::fchown(fd_, oldOwner_, oldGroup_);
    ok = ::fchmod(fd_, oldMode_) == 0;
    if (!ok) error = errno;
  }
  if (::close(std::exchange(fd_, -1)) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  committed_ = ok;
  if (ok) {
    DisarmTemporary(signalSlot_);
  } else {
    Fail(error);
  }
  return ok;
}

std::string WriteErrorText(int error, bool english) {
  struct Reason {
    int error;
    const char* japanese;
    const char* english;
  };
  static constexpr Reason Reasons[] = {
      {ENOSPC, "ディスクに空きがありません", "no space left on the device"},
      {EDQUOT, "ディスクの割り当てを超えました", "the disk quota is used up"},
      {EACCES, "書き込む権限がありません", "permission denied"},
      {EPERM, "書き込む権限がありません", "permission denied"},
      {EROFS, "読み取り専用です", "read-only"},
      {ENOENT, "フォルダがありません", "no such folder"},
      {ENOTDIR, "フォルダがありません", "no such folder"},
      {EISDIR, "普通のファイルではありません", "not a regular file"},
      {EIO, "入出力エラーです", "input/output error"},
      {EFBIG, "ファイルが大きすぎます", "the file is too large"},
      {ENAMETOOLONG, "名前が長すぎます", "the name is too long"},
  };
  for (const Reason& reason : Reasons) {
    if (reason.error == error) return english ? reason.english : reason.japanese;
  }
  return std::string(english ? "error " : "エラー ") + std::to_string(error);
}

void RemoveTemporaryFilesOnSignals() {
  for (const int signal : StopSignals) {
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndStop;
    sigemptyset(&action.sa_mask);
    for (const int other : StopSignals) sigaddset(&action.sa_mask, other);
    ::sigaction(signal, &action, nullptr);
  }
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  AtomicFileWriter file(path);
  return file.Append(bytes) && file.Commit(Durability::OnDisk);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  // Without blocking: a FIFO or a device named like a keep file must not
  // hang the program; only a regular file is read.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += static_cast<std::size_t>(n);
  }
  return bytes;
}

bool DeleteFileQuietly(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{static_cast<long long>(info.st_size),
                   static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec,
                   static_cast<long long>(info.st_ino)};
}

bool ReadAt(int fd, std::uint8_t* to, std::size_t size, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, to + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<ScratchFile> ScratchFile::Make() {
  const char* folder = std::getenv("TMPDIR");
  std::string dir = folder != nullptr && folder[0] != '\0' ? folder : "/tmp";
  int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) {
    // A file system without unnamed files: a named one, unlinked at once.
    std::string name = dir + "/.vazesample-scratch-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    ::unlink(name.c_str());
  }
  return ScratchFile(fd);
}

ScratchFile::ScratchFile(ScratchFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), end_(other.end_.load()) {}

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::uint64_t> ScratchFile::Put(std::span<const std::uint8_t> bytes) {
  const std::uint64_t at = end_.fetch_add(bytes.size());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    done += static_cast<std::size_t>(n);
  }
  return at;
}

bool ScratchFile::Get(std::uint64_t offset, std::size_t size, std::uint8_t* to) const {
  return ReadAt(fd_, to, size, offset);
}
