// Files, in place of the Windows file calls. Every write of a whole file goes
// to a temporary file in the same folder and is renamed over the target only
// when every byte is on disk, so a failed write never damages what was stored.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A whole file written piece by piece: the bytes go to a temporary file
// beside the target (a symbolic link is followed to its target) and replace
// the target only at Commit. A read-only target, or one that is not a regular
// file, is never replaced. A replaced file keeps its permission bits; a new
// one gets the process umask. Dropped without Commit, nothing is left behind.
enum class Durability { OnDisk, Ordinary };  // OnDisk: on the disk before the rename
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(const std::string& path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool Append(std::span<const std::uint8_t> bytes);  // false once anything failed
  bool Commit(Durability durability);                // true when the target now holds the bytes
  // Why it failed: the system's error number (ENOSPC, EACCES...), EROFS for
  // a read-only target, EISDIR for one that is no regular file; 0 while
  // nothing failed. Also kept for the thread as LastWriteError().
  int Error() const { return error_; }

 private:
  void Fail(int error);
  std::string target_, temporary_;
  int fd_ = -1;
  int signalSlot_ = -1;  // where the signal handler finds temporary_, or -1
  bool replacing_ = false, failed_ = false, committed_ = false;
  int error_ = 0;
  unsigned oldMode_ = 0, oldOwner_ = 0, oldGroup_ = 0;
};

// The error of the last failed AtomicFileWriter of this thread (0 when none
// failed yet), and its reason as one clause in either language ("no space
// left on the device"), for the messages that say why a file was not written.
int LastWriteError();
std::string WriteErrorText(int error, bool english);

// What tells whether a file changed since it was last read or written: its
// size, modification time (ns) and inode. Equal stamps: the same content, as
// far as the program can know without reading it.
struct FileStamp {
  long long size = -1;
  long long modified = -1;
  long long inode = -1;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of path, or nothing when it cannot be read (missing, say).
std::optional<FileStamp> StampOfFile(const std::string& path);

// For a program that may be stopped by a signal (a batch tool): from now on
// SIGINT, SIGTERM and SIGHUP remove the temporary files of the
// AtomicFileWriters then open and end the process as the signal would have
// ended it; the files they were to replace stay as they were. A signal that
// was ignored when this is called stays ignored.
void RemoveTemporaryFilesOnSignals();

// Writes bytes as the whole content of path, on the disk before it replaces
// the old file. False on any failure; the old
// file (if any) is then left exactly as it was and no temporary file remains.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads at most maxBytes of path. Nothing when the file cannot be opened or
// read, or is larger than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Deletes path; a missing file is no error. False when it is there and could
// not be deleted.
bool DeleteFileQuietly(const std::string& path);

bool FileExists(const std::string& path);

// Reads exactly `size` bytes of the open file `fd` at `offset` into `to`
// (from several threads at once if need be); false on an error or an early end.
bool ReadAt(int fd, std::uint8_t* to, std::size_t size, std::uint64_t offset);

// A file without a name in the temporary folder ($TMPDIR, else /tmp) for
// data too large to hold in memory, gone when closed. Put and Get may be
// called from several threads at once.
class ScratchFile {
 public:
  // Nothing when no such file can be made.
  static std::optional<ScratchFile> Make();
  ScratchFile(ScratchFile&& other) noexcept;
  ScratchFile& operator=(ScratchFile&&) = delete;
  ScratchFile(const ScratchFile&) = delete;
  ~ScratchFile();
  // The bytes appended; where they lie, or nothing when they could not be
  // written whole (a full disk, say).
  std::optional<std::uint64_t> Put(std::span<const std::uint8_t> bytes);
  // size bytes from offset into `to`; false when they could not be read whole.
  bool Get(std::uint64_t offset, std::size_t size, std::uint8_t* to) const;

 private:
  explicit ScratchFile(int fd) : fd_(fd) {}
  int fd_ = -1;
  std::atomic<std::uint64_t> end_{0};
};
