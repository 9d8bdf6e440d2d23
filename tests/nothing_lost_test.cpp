// Nothing is lost: a picture opened and saved comes back byte for byte, and a
// cancelled or failed open leaves the keep files, the picture in hand and the
// screen as they were.

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pages/kit/page_state.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/language.h"
#include "support/program_session.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int TabY = 10;
constexpr int SaveTabX = 912, GetTabX = 1024;
constexpr int FKeyX = 24, FKeyY = 370;            // TOP's horn key F
constexpr int SaveKeepX = 30, SaveKeepY = 500;    // TOP's "save KEEP0"

Rgb Mixed(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(x + y * 3),
             static_cast<std::uint8_t>((x ^ y) & 0xFF)};
}
Rgb Plain(int, int) { return Rgb{30, 160, 90}; }

// The TOP page after an F pass stored in KEEP0: what the test starts from.
struct AfterPass {
  ProgramSession s;
  Bytes keep, shown;
  AfterPass() {
    WriteTestPicture(s.PathIn("first.bmp"), 300, 200, Mixed);
    s.Start(s.PathIn("first.bmp"));
    s.Click(FKeyX, FKeyY);
    s.Click(SaveKeepX, SaveKeepY);
    keep = FileBytes(s.PathIn("KEEP0.bmp"));
    // The screen as a plain repaint shows it (the key just clicked no longer
    // drawn pressed).
    s.window().Invalidate();
    s.Paint();
    shown = s.window().Shown();
    s.dialogs().TakeShown();
  }
};

// An 8-bit run-length coded BMP of 1,124 bytes declaring 14000 x 14000
// pixels whose codes end at once: too small for the rows it declares.
Bytes SmallRleFile() {
  const auto header = BmpHeader(14000, 14000, 0);
  Bytes file(1124, 0);
  std::copy(header.begin(), header.end(), file.begin());
  file[28] = 8;     // bits a pixel
  file[30] = 1;     // run-length coded, 8 bits
  file[10] = 0x36;  // the codes start at byte 1078, after a palette of 256 entries
  file[11] = 0x04;
  file[1079] = 1;   // 0, 1: end of bitmap
  return file;
}

}  // namespace

TEST(NothingLost, OpenThenSaveGivesBackTheFileByteForByte) {
  for (const auto& [width, height] : {std::pair{451, 300}, std::pair{600, 400}, std::pair{960, 672}}) {
    ProgramSession s;
    const std::string picture = s.PathIn("in.bmp");
    WriteTestPicture(picture, width, height, Mixed);
    s.Start(picture);
    s.dialogs().QueueFile(s.PathIn("out.bmp"));
    s.Click(SaveTabX, TabY);
    EXPECT_EQ(FileBytes(s.PathIn("out.bmp")), FileBytes(picture)) << width << " x " << height;
  }
}

TEST(NothingLost, GetThenCancelKeepsTheKeepFileAndTheScreen) {
  AfterPass p;
  ASSERT_FALSE(p.keep.empty());
  p.s.dialogs().QueueFile(std::nullopt);
  p.s.Click(GetTabX, TabY);
  EXPECT_EQ(Requests.getSlot, 99);
  EXPECT_EQ(FileBytes(p.s.PathIn("KEEP0.bmp")), p.keep);
  EXPECT_EQ(p.s.window().Shown(), p.shown);
  EXPECT_EQ(p.s.dialogs().MessageCount(), 0u);
}

// The message names the file and gives the loader's reason, in the current
// language (Japanese at start).
TEST(NothingLost, AFileThatIsNotAPictureIsRefusedOnceAndChangesNothing) {
  AfterPass p;
  const std::string title = p.s.window().Title();
  const struct {
    const char* name;
    Bytes bytes;
    const char* message;  // the whole text, or only its start when the decoder words the reason
  } cases[] = {
      {"text.bmp", Bytes{'h', 'e', 'l', 'l', 'o', '\n'},
       "「text.bmp」は画像として読み込めませんでした：\nBMP・PNG・JPEG・GIF・TIFF・PNM のどの画像でもありません。"},
      {"cut.png", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0},
       "「cut.png」は画像として読み込めませんでした：\npng の復号器が読めませんでした"},
      {"rle.bmp", SmallRleFile(),
       "「rle.bmp」は画像として読み込めませんでした：\n画素データの 46 バイトでは、宣言された 14000 行を符号化できません"
       "（少なくとも 220 バイト必要です）。"},
  };
  for (const auto& [name, bytes, message] : cases) {
    ASSERT_TRUE(WriteFileAtomically(p.s.PathIn(name), bytes));
    p.s.dialogs().QueueFile(p.s.PathIn(name));
    p.s.Click(GetTabX, TabY);
    const auto shown = p.s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u) << name;  // the open dialog, then one message naming the file
    EXPECT_EQ(shown[1].kind, "message");
    EXPECT_EQ(shown[1].text.rfind(message, 0), 0u) << shown[1].text;
    EXPECT_EQ(Requests.getSlot, 99);
    EXPECT_EQ(FileBytes(p.s.PathIn("KEEP0.bmp")), p.keep) << name;
    EXPECT_EQ(p.s.window().Shown(), p.shown) << name;
    EXPECT_EQ(p.s.window().Title(), title);
  }
  // Later paints carry no leftover request and say nothing more.
  p.s.Click(180, TabY);  // FILTER
  p.s.Click(120, TabY);  // TOP
  EXPECT_EQ(FileBytes(p.s.PathIn("KEEP0.bmp")), p.keep);
  EXPECT_EQ(p.s.dialogs().MessageCount(), 0u);
}

// In English the same message is in English; the picture in hand stays.
TEST(NothingLost, ARefusedPictureIsExplainedInEnglishInEnglishMode) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("first.bmp"), 300, 200, Mixed);
  s.Start(s.PathIn("first.bmp"));
  s.Click(40, 552);  // the language key: English
  ASSERT_TRUE(WriteFileAtomically(s.PathIn("rle.bmp"), SmallRleFile()));
  s.dialogs().TakeShown();
  s.dialogs().QueueFile(s.PathIn("rle.bmp"));
  s.Click(GetTabX, TabY);
  const auto shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "\"rle.bmp\" could not be read as a picture:\nits 46 bytes of pixel data cannot code the "
                           "14000 rows it declares (at least 220 bytes are needed).");
  EXPECT_EQ(shown[1].title, "Open a Picture");
  EXPECT_EQ(PictureFile.path, s.PathIn("first.bmp"));
}

TEST(NothingLost, AGetWhoseKeepFileCannotBeWrittenTakesThePictureFromTheCanvas) {
  AfterPass p;
  // KEEP0.bmp replaced by a folder: the keep write fails.
  fs::remove(p.s.PathIn("KEEP0.bmp"));
  fs::create_directory(p.s.PathIn("KEEP0.bmp"));
  WriteTestPicture(p.s.PathIn("second.bmp"), 960, 672, Plain);
  p.s.dialogs().QueueFile(p.s.PathIn("second.bmp"));
  p.s.Click(GetTabX, TabY);
  EXPECT_EQ(p.s.dialogs().MessageCount(), 1u);  // the write failure, once
  EXPECT_TRUE(fs::is_directory(p.s.PathIn("KEEP0.bmp")));
  EXPECT_EQ(p.s.Pixel(500, 300), Plain(0, 0));  // the picture just opened, not the old one
  EXPECT_EQ(WorkPlanes[1][300 * 960 + 400], 160u);
}

TEST(NothingLost, BeforeAnyPictureTheWindowKeepsItsOpenPrompt) {
  ProgramSession s;
  ASSERT_TRUE(WriteFileAtomically(s.PathIn("bad.bmp"), Bytes{'B', 'M', 1, 2}));
  s.Start(s.PathIn("bad.bmp"));
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  EXPECT_TRUE(PictureFile.path.empty());
  // The prompt's text stands on the white background at (100, 470).
  int dark = 0;
  for (int x = 100; x < 300; ++x)
    for (int y = 470; y < 485; ++y) dark += s.Pixel(x, y).r < 128;
  EXPECT_GT(dark, 50);
  // A cancelled first dialog shows the same.
  ProgramSession t;
  t.Start("");
  EXPECT_EQ(t.window().Shown(), s.window().Shown());
}

// A picture larger than the canvas: saving its shown part over its own file,
// or over any larger picture, asks first naming both sizes, and over any
// other file that exists asks as every save does (No unless answered Yes);
// a new file is written without a word.
TEST(NothingLost, SavingTheShownPartOverALargerPictureAsksFirst) {
  ProgramSession s;
  const std::string picture = s.PathIn("large.bmp");
  WriteTestPicture(picture, 1200, 810, Mixed);
  WriteTestPicture(s.PathIn("other.bmp"), 1000, 500, Plain);
  WriteTestPicture(s.PathIn("small.bmp"), 300, 200, Plain);
  s.Start(picture);
  EXPECT_EQ(s.window().Title(), "large.bmp (1200 × 810) / ヴァントルゼフリンサンプル vazesample");
  const Bytes original = FileBytes(picture), other = FileBytes(s.PathIn("other.bmp"));
  s.dialogs().TakeShown();

  // Over its own file, unanswered: No, nothing written.
  s.dialogs().QueueFile(picture);
  s.Click(SaveTabX, TabY);
  std::vector<ScriptedDialogs::Shown> shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].kind, "message");
  EXPECT_EQ(shown[1].text, "表示されている 960 × 672 の部分だけが書き込まれ、画像の残り (1200 × 810) は失われます。"
                           "それでも保存しますか?");
  EXPECT_EQ(FileBytes(picture), original);

  // Over another larger picture, in English, answered No.
  LanguageId = EnglishLanguage;
  s.dialogs().QueueFile(s.PathIn("other.bmp"));
  s.dialogs().QueueAnswer(MessageAnswer::No);
  s.Click(SaveTabX, TabY);
  shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "Only the 960 × 672 part shown is written; the rest of the picture (1000 × 500) is lost. "
                           "Save anyway?");
  EXPECT_EQ(FileBytes(s.PathIn("other.bmp")), other);

  // Over a smaller picture: the question any file that exists gets, with
  // No as its default; into a new file: no question.
  s.dialogs().QueueFile(s.PathIn("small.bmp"));
  s.Click(SaveTabX, TabY);
  shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "\"small.bmp\" already exists. Replace it?");
  EXPECT_NE(FileBytes(s.PathIn("small.bmp")).size(), 54u + 960u * 672u * 3u);
  for (const char* name : {"small.bmp", "new.bmp"}) {
    const bool exists = fs::exists(s.PathIn(name));
    s.dialogs().QueueFile(s.PathIn(name));
    if (exists) s.dialogs().QueueAnswer(MessageAnswer::Yes);
    s.Click(SaveTabX, TabY);
    EXPECT_EQ(s.dialogs().TakeShown().size(), exists ? 2u : 1u) << name;
    EXPECT_EQ(FileBytes(s.PathIn(name)).size(), 54u + 960u * 672u * 3u) << name;
  }

  // Answered Yes: the shown part replaces the file.
  s.dialogs().QueueFile(picture);
  s.dialogs().QueueAnswer(MessageAnswer::Yes);
  s.Click(SaveTabX, TabY);
  EXPECT_EQ(FileBytes(picture), FileBytes(s.PathIn("new.bmp")));
}
