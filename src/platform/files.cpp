#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace {

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
// does to any new file.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder + "." + leaf + "." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path) {
  if (path.empty()) return;
  target_ = ResolveTarget(path);
  struct stat old {};
  replacing_ = ::stat(target_.c_str(), &old) == 0;
  if (replacing_) {
    // Only a regular file is replaced, and only one the user may write: a
    // read-only file stays as it is (even for root, who may write anything,
    // a file without any write bit is taken as meant to be kept).
    if (!S_ISREG(old.st_mode)) return;
    if (::access(target_.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0) return;
    oldMode_ = old.st_mode & 07777;
    oldOwner_ = old.st_uid;
    oldGroup_ = old.st_gid;
  }
  fd_ = CreateTemporaryBeside(target_, temporary_);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty() && !committed_) ::unlink(temporary_.c_str());
}

bool AtomicFileWriter::Append(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0 || failed_) return false;
  failed_ = !WriteAll(fd_, bytes);
  return !failed_;
}

bool AtomicFileWriter::Commit(Durability durability) {
  if (fd_ < 0 || failed_) return false;
  bool ok = durability == Durability::OnDisk ? ::fsync(fd_) == 0 : true;
  // A replaced file keeps its permission bits (and, where allowed, its owner).
  if (ok && replacing_) {
    if (::geteuid() == 0) (void)!::fchown(fd_, oldOwner_, oldGroup_);
    ok = ::fchmod(fd_, oldMode_) == 0;
  }
  ok = ::close(std::exchange(fd_, -1)) == 0 && ok;
  ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
  committed_ = ok;
  return ok;
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
