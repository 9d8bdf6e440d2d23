// Whole-file writes keep what the user had: links stay links, permission
// bits stay, read-only files and odd targets are refused, and reads of odd
// files never block.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/program_session.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Bytes NewBytes = {'n', 'e', 'w'};
const Bytes OldBytes = {'o', 'l', 'd', '!'};

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// No temporary file of ours is left in the folder.
bool NoTemporaryFiles(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 4 && name.ends_with(".tmp")) return false;
  }
  return true;
}

}  // namespace

TEST(Files, WritingThroughASymbolicLinkReplacesTheTargetAndKeepsTheLink) {
  ProgramSession s;
  fs::create_directory("real");
  ASSERT_TRUE(WriteFileAtomically("real/picture.bmp", OldBytes));
  fs::create_symlink("real/picture.bmp", "link.bmp");
  ASSERT_TRUE(WriteFileAtomically("link.bmp", NewBytes));
  EXPECT_TRUE(fs::is_symlink("link.bmp"));
  EXPECT_EQ(FileBytes("real/picture.bmp"), NewBytes);
  EXPECT_EQ(FileBytes("link.bmp"), NewBytes);
  EXPECT_TRUE(NoTemporaryFiles(".") && NoTemporaryFiles("real"));

  // A link to a file not yet there makes the file where the link points.
  fs::create_symlink("real/later.bmp", "later.bmp");
  ASSERT_TRUE(WriteFileAtomically("later.bmp", NewBytes));
  EXPECT_TRUE(fs::is_symlink("later.bmp"));
  EXPECT_EQ(FileBytes("real/later.bmp"), NewBytes);
}

TEST(Files, AReplacedFileKeepsItsModeAndANewOneFollowsTheUmask) {
  ProgramSession s;
  ASSERT_TRUE(WriteFileAtomically("private.bmp", OldBytes));
  ASSERT_EQ(::chmod("private.bmp", 0600), 0);
  ASSERT_TRUE(WriteFileAtomically("private.bmp", NewBytes));
  EXPECT_EQ(ModeOf("private.bmp"), 0600u);
  EXPECT_EQ(FileBytes("private.bmp"), NewBytes);

  const mode_t previous = ::umask(027);
  const bool written = WriteFileAtomically("fresh.bmp", NewBytes);
  const mode_t during = ::umask(previous);
  ASSERT_TRUE(written);
  EXPECT_EQ(during, 027u);  // the process umask is as it was
  EXPECT_EQ(ModeOf("fresh.bmp"), 0640u);
}

TEST(Files, ReadOnlyFilesFoldersAndSpecialFilesAreNotReplaced) {
  ProgramSession s;
  ASSERT_TRUE(WriteFileAtomically("kept.bmp", OldBytes));
  ASSERT_EQ(::chmod("kept.bmp", 0444), 0);
  EXPECT_FALSE(WriteFileAtomically("kept.bmp", NewBytes));
  EXPECT_EQ(FileBytes("kept.bmp"), OldBytes);
  EXPECT_EQ(ModeOf("kept.bmp"), 0444u);

  fs::create_directory("folder.bmp");
  EXPECT_FALSE(WriteFileAtomically("folder.bmp", NewBytes));
  EXPECT_TRUE(fs::is_directory("folder.bmp"));
  ASSERT_EQ(::mkfifo("pipe.bmp", 0644), 0);
  EXPECT_FALSE(WriteFileAtomically("pipe.bmp", NewBytes));
  EXPECT_FALSE(WriteFileAtomically("", NewBytes));
  EXPECT_TRUE(NoTemporaryFiles("."));
}

TEST(Files, ReadingAFifoADeviceOrAFolderFailsAtOnce) {
  ProgramSession s;
  ASSERT_EQ(::mkfifo("KEEP3.bmp", 0644), 0);  // nobody ever writes to it
  EXPECT_FALSE(ReadWholeFile("KEEP3.bmp", 1 << 20));
  EXPECT_FALSE(ReadWholeFile("/dev/zero", 1 << 20));
  fs::create_directory("KEEP4.bmp");
  EXPECT_FALSE(ReadWholeFile("KEEP4.bmp", 1 << 20));
  ASSERT_TRUE(WriteFileAtomically("KEEP5.bmp", OldBytes));
  EXPECT_EQ(ReadWholeFile("KEEP5.bmp", 1 << 20), OldBytes);
  EXPECT_FALSE(ReadWholeFile("KEEP5.bmp", 3));  // larger than allowed
}
