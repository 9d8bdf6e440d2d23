// The nod colour file: the bytes of the built-in table, a round trip of an
// edited table, the CR LF copy, and every kind of file the reader refuses.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "pages/colour/nod_colour_file.h"
#include "pages/colour/nod_colours.h"
#include "platform/files.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The built-in table as the file holds it, written out by hand.
const std::string BuiltInFileText =
    "  0   0   0\n255 255   0\n  0   0 128\n  0 255 255\n128   0 255\n255 128 255\n255 255 255\n"
    "128   0   0\n  0  32 255\n  0 196 255\n  0 255 128\n194 255  64\n255 255 128\n255 245 255\n"
    "  0   0   0\n  0 255   0\n255   0   0\n  0   0 255\n  0 255 255\n255   0 255\n255 255 255\n";

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vazesample-nod-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

 private:
  std::string folder_;
};

NodTable EditedTable() {
  NodTable table = BuiltInNodColours;
  NodEntry(table, NodColumnB, 3) = {5, 249, 0};
  NodEntry(table, NodColumnA, 7) = {1, 22, 133};
  NodEntry(table, NodColumnC, 1) = {255, 0, 255};
  return table;
}

TEST(NodColourFile, TheBuiltInTableIsWrittenAsTwentyOneLinesOfTwelveBytes) {
  const std::vector<std::uint8_t> bytes = EncodeNodColourFile(BuiltInNodColours);
  ASSERT_EQ(bytes.size(), 252u);
  EXPECT_EQ(bytes, Bytes(BuiltInFileText));
  const std::vector<std::uint8_t> firstLine(bytes.begin(), bytes.begin() + 12);
  EXPECT_EQ(firstLine, (std::vector<std::uint8_t>{32, 32, 48, 32, 32, 32, 48, 32, 32, 32, 48, 10}));
  const std::vector<std::uint8_t> secondLine(bytes.begin() + 12, bytes.begin() + 24);
  EXPECT_EQ(secondLine, (std::vector<std::uint8_t>{50, 53, 53, 32, 50, 53, 53, 32, 32, 32, 48, 10}));
  EXPECT_EQ(std::string(bytes.begin() + 7 * 12, bytes.begin() + 8 * 12), "128   0   0\n");
}

TEST(NodColourFile, AnEditedTableComesBackThroughTheFile) {
  TempFolder folder;
  const std::string path = folder.Path("colours.txt");
  ASSERT_TRUE(WriteNodColourFile(path, EditedTable()));
  const std::optional<NodTable> read = ReadNodColourFile(path);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, EditedTable());
  EXPECT_EQ(std::filesystem::file_size(path), 252u);
  // Nothing but the file itself is left in the folder.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path(""))) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(NodColourFile, ACrLfCopyIsReadAsTheSameTable) {
  std::string crlf;
  for (char c : BuiltInFileText) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(crlf.size(), 273u);
  const std::optional<NodTable> table = DecodeNodColourFile(Bytes(crlf));
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(*table, BuiltInNodColours);
}

TEST(NodColourFile, EveryOtherFileIsRefused) {
  auto withLine = [](int line, const std::string& text) {
    std::string file = BuiltInFileText;
    file.replace(static_cast<std::size_t>(line) * 12, 12, text);
    return file;
  };
  std::string mixedEnds;  // CR LF on every line but the last
  for (std::size_t i = 0; i < BuiltInFileText.size(); ++i) {
    mixedEnds += BuiltInFileText[i] == '\n' && i + 1 < BuiltInFileText.size() ? std::string("\r\n")
                                                                             : std::string(1, BuiltInFileText[i]);
  }
  const std::vector<std::uint8_t> bmpStart = EncodeBmp(2, 2, 0, [](int, std::uint8_t* out) {
    for (int i = 0; i < 6; ++i) out[i] = 0x40;
  });
  std::vector<std::uint8_t> bmp(bmpStart);
  bmp.resize(252, 0);  // a BMP cut to the very length of a nod colour file
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"empty", {}},
      {"short by one byte", Bytes(BuiltInFileText.substr(0, 251))},
      {"one line", Bytes(BuiltInFileText.substr(0, 12))},
      {"one byte more", Bytes(BuiltInFileText + "\n")},
      {"garbage of the right length", std::vector<std::uint8_t>(252, 'x')},
      {"zeros of the right length", std::vector<std::uint8_t>(252, 0)},
      {"a value over 255", Bytes(withLine(3, "300   0   0\n"))},
      {"256", Bytes(withLine(20, "255 255 256\n"))},
      {"a negative value", Bytes(withLine(0, " -1   0   0\n"))},
      {"a leading zero", Bytes(withLine(5, "007   0   0\n"))},
      {"left-aligned", Bytes(withLine(5, "7     0   0\n"))},
      {"a blank field", Bytes(withLine(5, "      0   0\n"))},
      {"a tab for a space", Bytes(withLine(1, "255\t255   0\n"))},
      {"no line feed", Bytes(withLine(1, "255 255   0 "))},
      {"line ends mixed", Bytes(mixedEnds)},
      {"a BMP", bmp},
      {"a whole small BMP", bmpStart},
  };
  for (const auto& [name, bytes] : cases) {
    EXPECT_FALSE(DecodeNodColourFile(bytes).has_value()) << name;
  }
}

TEST(NodColourFile, AFileOfAGigabyteIsRefusedWithoutBeingRead) {
  TempFolder folder;
  const std::string path = folder.Path("huge.txt");
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    // A sparse file: the built-in table at its start, then a gigabyte of holes.
    const std::vector<std::uint8_t> start = Bytes(BuiltInFileText);
    ASSERT_EQ(::write(fd, start.data(), start.size()), static_cast<ssize_t>(start.size()));
    ASSERT_EQ(::ftruncate(fd, 1LL << 30), 0);
    ::close(fd);
  }
  EXPECT_FALSE(ReadNodColourFile(path).has_value());
  EXPECT_FALSE(ReadNodColourFile(folder.Path("missing.txt")).has_value());
  EXPECT_FALSE(ReadNodColourFile(folder.Path("")).has_value());  // a folder
  ASSERT_EQ(::mkfifo(folder.Path("pipe.txt").c_str(), 0644), 0);
  EXPECT_FALSE(ReadNodColourFile(folder.Path("pipe.txt")).has_value());  // refused, not waited on
}

TEST(NodColourFile, AFailedWriteLeavesWhatWasThere) {
  TempFolder folder;
  EXPECT_FALSE(WriteNodColourFile(folder.Path("no-such-folder/colours.txt"), BuiltInNodColours));
  EXPECT_FALSE(std::filesystem::exists(folder.Path("no-such-folder")));
  // A folder of that name cannot be replaced by the file: it stays, with its content.
  std::filesystem::create_directory(folder.Path("taken.txt"));
  ASSERT_TRUE(WriteFileAtomically(folder.Path("taken.txt/inside"), Bytes("kept")));
  EXPECT_FALSE(WriteNodColourFile(folder.Path("taken.txt"), BuiltInNodColours));
  EXPECT_EQ(*ReadWholeFile(folder.Path("taken.txt/inside"), 100), Bytes("kept"));
}

TEST(NodColourFile, TheRefusalNamesTheFileInTheCurrentLanguage) {
  LanguageId = JapaneseLanguage;
  std::string text = NotNodColourFileText("/tmp/picture.bmp");
  EXPECT_EQ(text.rfind("「/tmp/picture.bmp」は節色ファイルではありません", 0), 0u) << text;
  EXPECT_EQ(text.find("is not"), std::string::npos) << text;
  LanguageId = EnglishLanguage;
  text = NotNodColourFileText("/tmp/picture.bmp");
  LanguageId = JapaneseLanguage;
  EXPECT_EQ(text.rfind("\"/tmp/picture.bmp\" is not a nod color file", 0), 0u) << text;
  EXPECT_EQ(text.find("節色"), std::string::npos) << text;
}

}  // namespace
