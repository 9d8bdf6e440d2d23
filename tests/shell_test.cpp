// The program's shell, run whole on the headless backend.
//
// [SECTION] Opening, the tab bar, keep slots (Set, Get, Restore), the close
//           sequence, the language switch, the Enter key, the rubber band
// [SECTION] Golden screens
// [SECTION] Nothing lost

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "pages/kit/gestures.h"
#include "pages/kit/page_state.h"
#include "platform/files.h"
#include "support/golden.h"
#include "support/program_session.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Rgb Stripes(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 7 % 256), static_cast<std::uint8_t>(y * 3 % 256),
             static_cast<std::uint8_t>((x + y) % 256)};
}
Rgb Flat(int, int) { return Rgb{10, 200, 90}; }
Rgb OtherFlat(int, int) { return Rgb{200, 30, 60}; }

// The tab centres, k = 0..16.
int TabCentre(int k) { return 128 + 56 * k; }

class ShellTest : public ::testing::Test {
 protected:
  ProgramSession s;
  std::string picture;
  void SetUp() override {
    picture = s.PathIn("stripes.bmp");
    WriteTestPicture(picture, 960, 672, Stripes);
  }
  // The stripes at (100, 32), every 5th column of every 7th row.
  bool ShowsStripes() {
    for (int y = 0; y < 671; y += 7)
      for (int x = 0; x < 959; x += 5)
        if (s.Pixel(100 + x, 32 + y) != Stripes(x, y)) return false;
    return true;
  }
  // A 960 x 672 picture of another flat colour, answering the next open dialog.
  void QueueOther() {
    WriteTestPicture(s.PathIn("other.bmp"), 960, 672, OtherFlat);
    s.dialogs().QueueFile(s.PathIn("other.bmp"));
  }
};

// [SECTION] Opening, the tab bar, keep slots (Set, Get, Restore), the close
//           sequence, the language switch, the Enter key, the rubber band

// The picture shows at its place with the title; the VANTOR EYE tab stores
// the current image; Restore of an empty slot reports once and keeps it.
TEST_F(ShellTest, OpeningShowsThePictureWithTheTitleAndTheTabsStoreAndRestore) {
  s.Start(picture);
  ASSERT_EQ(s.dialogs().shown().at(0).kind, "open");
  EXPECT_EQ(s.dialogs().shown().at(0).title, "画像ファイルを開く");
  EXPECT_EQ(s.window().Title(), "stripes.bmp / ヴァントルゼフリンサンプル vazesample");
  // Pixel for pixel at (100, 32); a full-size picture is whitened nowhere.
  for (int y = 0; y < 672; ++y)
    for (int x = 0; x < 960; ++x) ASSERT_EQ(s.Pixel(100 + x, 32 + y), Stripes(x, y)) << x << "," << y;
  s.Click(TabCentre(4), 15);
  const auto file = FileBytes(s.PathIn("KEEP4.bmp"));
  ASSERT_EQ(file.size(), static_cast<std::size_t>(KeepFileBytes));
  // Plane row 671 is the picture's top row: file bytes start at the bottom row.
  EXPECT_EQ(KeepFilePixel(file, 5, 671), Stripes(5, 0));
  EXPECT_EQ(KeepFilePixel(file, 5, 0), Stripes(5, 671));
  s.Click(TabCentre(2), 15);  // MAP: KEEP2 was never set
  const auto before = s.ShownCanvas();
  s.Click(TabCentre(15), 15);
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(s.dialogs().shown().back().text, "ピクセルデータの読み込みに失敗しました: KEEP2.bmp");
  EXPECT_EQ(s.ShownCanvas(), before);
  s.Paint();  // the request was served once
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
}

// A first picture the loader refuses shows the same as a cancelled dialog.
TEST_F(ShellTest, CancellingTheFirstDialogOrRefusingTheFirstPictureDrawsOnlyThePromptAndEnterAsksAgain) {
  s.Start("");
  s.window().Invalidate();  // a repaint draws the prompt again
  s.Paint();
  const Bytes cancelled = s.window().Shown();
  // Only the open prompt stays on the white.
  for (int y = 0; y < Surface::Height; y += 13) {
    for (int x = 100; x < Surface::Width; x += 11) {
      if (y >= 470 && y < 482 && x < 100 + Surface::TextWidth({12, true}, "[Enter] ⇒ ファイルを開く")) continue;
      ASSERT_EQ(s.Pixel(x, y), White) << x << "," << y;
    }
  }
  // The prompt's text stands on the white background at (100, 470).
  int dark = 0;
  for (int x = 100; x < 300; ++x)
    for (int y = 470; y < 485; ++y) dark += s.Pixel(x, y).r < 128;
  EXPECT_GT(dark, 50);
  EXPECT_EQ(Shell.imageWidth, 0);
  s.Click(TabCentre(1), 15);  // no tab before the first picture
  EXPECT_EQ(PageId, 0);
  s.dialogs().QueueFile(picture);
  s.KeyEnter();
  EXPECT_EQ(s.dialogs().shown().size(), 2u);
  EXPECT_TRUE(ShowsStripes());
  ProgramSession refused;
  ASSERT_TRUE(WriteFileAtomically(refused.PathIn("bad.bmp"), Bytes{'B', 'M', 1, 2}));
  refused.Start(refused.PathIn("bad.bmp"));
  EXPECT_EQ(refused.dialogs().MessageCount(), 1u);
  EXPECT_TRUE(PictureFile.path.empty());
  EXPECT_EQ(refused.window().Shown(), cancelled);
}

TEST_F(ShellTest, EveryTabIsHitAtItsCentreAndNoneOnItsBoundary) {
  for (int k = 0; k <= 16; ++k) EXPECT_EQ(TabAt(TabCentre(k), 15), k);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(TabAt(156 + 56 * k, 15), -1) << "boundary of tab " << k;
  EXPECT_EQ(TabAt(1059, 15), 16);
  for (const auto& [x, y] : {std::pair{1060, 15}, std::pair{TabCentre(3), 0}, std::pair{TabCentre(3), 32}})
    EXPECT_EQ(TabAt(x, y), -1) << x << ", " << y;
  s.Start(picture);
  for (int k = 0; k < 14; ++k) {
    s.Click(TabCentre(k), 15);
    EXPECT_EQ(PageId, k);
  }
  s.Click(156, 10);  // a boundary: no tab, the page stays
  EXPECT_EQ(PageId, 13);
}

// The tabs stay reachable over a narrow picture: Get is far right of it.
TEST_F(ShellTest, GetStoresTheOpenedPictureInThePageSlotAndShowsIt) {
  const std::string narrow = s.PathIn("narrow.bmp");
  WriteTestPicture(narrow, 300, 200, Flat);
  s.Start(narrow);
  s.Click(TabCentre(13), 15);  // GAMON
  EXPECT_EQ(PageId, 13);
  QueueOther();
  s.Click(TabCentre(16), 15);
  EXPECT_TRUE(fs::exists(s.PathIn("KEEP13.bmp")));
  ExpectShown(s, {{500, 300, OtherFlat(0, 0)}});
}

TEST_F(ShellTest, ASetThatCannotBeWrittenOrAPictureThatCannotBeLoadedKeepsThePictureAndRestoreBringsBackASet) {
  s.Start(picture);
  // A folder where the keep file should go: the write cannot replace it.
  fs::create_directory(s.PathIn("KEEP0.bmp"));
  const auto before = s.ShownCanvas();
  s.Click(30, 500);
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);
  EXPECT_EQ(s.dialogs().shown().back().text, "ピクセルデータの書き込みに失敗しました: KEEP0.bmp (普通のファイルではありません)");
  EXPECT_TRUE(fs::is_directory(s.PathIn("KEEP0.bmp")));
  EXPECT_EQ(s.ShownCanvas(), before);
  // Nothing half-written is left beside it: the picture and the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(s.Folder()), fs::directory_iterator()), 2);
  // A picture the loader refuses is not drawn; the planes keep the picture in hand.
  const std::string broken = s.PathIn("broken.bmp");
  fs::copy_file(picture, broken);
  fs::resize_file(broken, 100);  // a header and no pixels
  s.dialogs().QueueFile(broken);
  s.KeyEnter();
  EXPECT_EQ(WorkPlanes[2][5], Stripes(5, 671).r);
  s.dialogs().QueueFile(picture);
  s.KeyEnter();
  EXPECT_TRUE(ShowsStripes());
  // Enter on TOP takes a picture of the same size into the planes; Restore
  // then brings back what "save KEEP0" stored.
  fs::remove(s.PathIn("KEEP0.bmp"));
  s.Click(30, 500);
  const auto shownAtSet = s.ShownCanvas();
  ASSERT_TRUE(fs::is_regular_file(s.PathIn("KEEP0.bmp")));
  QueueOther();
  s.KeyEnter();
  ExpectShown(s, {{400, 300, OtherFlat(0, 0)}});
  EXPECT_EQ(WorkPlanes[2][100], OtherFlat(0, 0).r);
  s.Click(TabCentre(15), 15);
  EXPECT_EQ(s.ShownCanvas(), shownAtSet);
}

// A flat picture opened, and every keep slot stored.
void StartWithKeepFiles(ProgramSession& s) {
  WriteTestPicture(s.PathIn("p.bmp"), 960, 672, Flat);
  s.Start(s.PathIn("p.bmp"));
  for (int slot = 0; slot < 14; ++slot) WriteKeepFile(Canvas.data(), slot, PixelSource::FromCanvas);
}

// The two questions of the close sequence, answered each way.
class CloseSequence : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(CloseSequence, DeletesWhatTheAnswersSay) {
  const auto [deleteKeeps, close] = GetParam();
  ProgramSession s;
  StartWithKeepFiles(s);
  for (int file = 0; file < 5; ++file) WriteAppearFile(Canvas.data(), file, PixelSource::FromCanvas);
  s.dialogs().QueueAnswer(deleteKeeps ? MessageAnswer::Yes : MessageAnswer::No);
  s.dialogs().QueueAnswer(close ? MessageAnswer::Yes : MessageAnswer::No);
  s.Close();

  const auto& shown = s.dialogs().shown();
  ASSERT_EQ(s.dialogs().MessageCount(), 2u);
  EXPECT_EQ(shown[shown.size() - 2].title, "確認");
  EXPECT_EQ(shown.back().text, "終了してもよろしいですか");
  for (int slot = 0; slot < 14; ++slot) EXPECT_EQ(fs::exists(s.PathIn(KeepFileName(slot))), !deleteKeeps) << slot;
  EXPECT_TRUE(fs::exists(s.PathIn("0000start.bmp")));
  for (unsigned file = 1; file < 5; ++file) EXPECT_EQ(fs::exists(s.PathIn(AppearFileNames[file])), !close) << file;
  EXPECT_EQ(s.window().Destroyed(), close);
}

INSTANTIATE_TEST_SUITE_P(AnswerPairs, CloseSequence, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(CloseSequenceFailures, KeepFilesThatCannotBeDeletedAreNamedOnce) {
  ProgramSession s;
  StartWithKeepFiles(s);
  // A folder that holds a file cannot be deleted as a file, even by root.
  fs::remove(s.PathIn("KEEP3.bmp"));
  fs::create_directories(s.PathIn("KEEP3.bmp/inside"));
  s.dialogs().QueueAnswer(MessageAnswer::Yes);
  s.dialogs().QueueAnswer(MessageAnswer::No);
  s.Close();
  const auto& shown = s.dialogs().shown();
  ASSERT_EQ(s.dialogs().MessageCount(), 3u);  // delete?, the failure, close?
  EXPECT_EQ(shown[shown.size() - 2].text, "次のキープ画像ファイルは消せませんでした:\n    KEEP3.bmp");
  EXPECT_FALSE(fs::exists(s.PathIn("KEEP2.bmp")));
  EXPECT_FALSE(fs::exists(s.PathIn("KEEP4.bmp")));
}

TEST_F(ShellTest, TheLanguageSwitchChangesTheTitleAndTheQuestionsButNotThePicture) {
  s.Start(picture);
  s.Click(30, 552);
  EXPECT_EQ(s.window().Title(), "stripes.bmp / VANTOR ZEPHRIN SAMPLE vazesample");
  s.dialogs().QueueAnswer(MessageAnswer::No);
  s.Close();  // both questions, in English
  const auto& shown = s.dialogs().shown();
  EXPECT_EQ(shown[shown.size() - 2].text.rfind("May we delete next keeping image files\n", 0), 0u);
  EXPECT_EQ(shown.back().title, "Plese make sure");
  EXPECT_EQ(shown.back().text, "Close?");
  // The picture did not change (the labels in English: ShellGolden's top_english).
  EXPECT_TRUE(ShowsStripes());
}

TEST_F(ShellTest, AWhiteBorderedSmallPictureAndATallOne) {
  const std::string small = s.PathIn("small.bmp");
  WriteTestPicture(small, 800, 600, Flat);
  s.Start(small);
  // Its right-most column and the first column past it, its bottom row and the first row below.
  ExpectShown(s, {{100 + 799, 32 + 100, Flat(0, 0)}, {100 + 800, 32 + 100, White}, {100 + 100, 32 + 599, Flat(0, 0)},
                  {100 + 100, 32 + 600, White}});
  const std::string large = s.PathIn("large.bmp");
  WriteTestPicture(large, 1200, 900, Stripes);
  s.dialogs().QueueFile(large);
  s.KeyEnter();
  EXPECT_TRUE(ShowsStripes());
}

// The rubber band is drawn by inverting and handed over in drag order: the
// last rectangle handed, and how many have been.
std::tuple<int, int, int, int, int> LastRect;
void TakeRect(int x1, int y1, int x2, int y2) { LastRect = {x1, y1, x2, y2, std::get<4>(LastRect) + 1}; }

TEST_F(ShellTest, RectangleDragsFromRightToLeftAndOutOfTheImage) {
  s.Start(picture);
  const auto before = s.window().Shown();
  CurrentDragReceivers.rectangle = TakeRect;
  LastRect = {};
  MouseX = 600;
  MouseY = 400;
  StartRectDrag();
  s.window().Deliver({MessageKind::MouseMove, 300, 200, 0, true});
  EXPECT_NE(s.window().Shown(), before);  // the inverted outline shows at once
  s.window().Deliver({MessageKind::MouseMove, 250, 150, 0, true});
  s.window().Deliver({MessageKind::LeftUp, 250, 150, 0, false});
  EXPECT_EQ(LastRect, std::tuple(500, 400, 150, 150, 1));  // start first: x1 > x2 from right to left
  s.Paint();

  // Leaving the image abandons the drag; a release outside hands nothing.
  StartRectDrag();
  s.window().Deliver({MessageKind::MouseMove, 500, 300, 0, true});
  s.window().Deliver({MessageKind::MouseMove, 50, 300, 0, true});
  EXPECT_EQ(Dragging.rectActive, 0);
  s.window().Deliver({MessageKind::LeftUp, 50, 300, 0, false});
  EXPECT_EQ(std::get<4>(LastRect), 1);

  // A click without a move hands over a rectangle whose end is its start.
  MouseX = 300;
  MouseY = 300;
  StartRectDrag();
  s.window().Deliver({MessageKind::LeftUp, 300, 300, 0, false});
  EXPECT_EQ(LastRect, std::tuple(200, 300, 200, 300, 2));
  CurrentDragReceivers = {};
}

// [SECTION] Golden screens

TEST(ShellGolden, TopPageAfterOpeningTheSampleInEachLanguage) {
  ProgramSession s;
  s.Start(GoldenSamplePicture());
  EXPECT_GOLDEN("top_japanese", s.window().Shown());
  s.Click(30, 552);
  EXPECT_GOLDEN("top_english", s.window().Shown());
}
// A screen with no golden fails and leaves the source tree as it was, so a
// golden is never made by a plain test run.
TEST(GoldenScreens, AMissingGoldenFailsAndWritesNothingIntoTheSources) {
  if (MakingGoldens()) GTEST_SKIP() << "run with " << MakeGoldensVariable << " set";
  const std::string name = "no_such_screen_for_this_test";
  const std::string result = CompareWithGolden(name, Bytes(std::size_t{Surface::Width} * Surface::Height * 3, 200));
  EXPECT_NE(result.find("no golden screen"), std::string::npos) << result;
  EXPECT_FALSE(fs::exists(fs::path(VZ_SOURCE_DIR) / "tests/golden" / (name + ".png")));
  EXPECT_TRUE(fs::exists(fs::path(VZ_BINARY_DIR) / (name + ".actual.png")));
}

// [SECTION] Nothing lost

constexpr int TabY = 10, SaveTabX = 912, GetTabX = 1024;

TEST(NothingLost, OpenThenSaveGivesBackTheFileByteForByte) {
  for (const auto& [width, height] : {std::pair{451, 300}, std::pair{600, 400}, std::pair{960, 672}}) {
    ProgramSession s;
    const std::string picture = s.PathIn("in.bmp");
    WriteTestPicture(picture, width, height, Varied);
    s.Start(picture);
    s.dialogs().QueueFile(s.PathIn("out.bmp"));
    s.Click(SaveTabX, TabY);
    EXPECT_EQ(FileBytes(s.PathIn("out.bmp")), FileBytes(picture)) << width << " x " << height;
  }
}

// After TOP's pass stored in KEEP0. A file that is not a picture is refused
// once, the message naming it and giving the loader's reason in the language
// shown; a Get whose keep file cannot be written still shows what it opened.
TEST(NothingLost, AGetCancelledRefusedOrNotStoredLosesNothing) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("first.bmp"), 300, 200, Varied);
  s.Start(s.PathIn("first.bmp"));
  s.ClickControls(PageTop, {"F", "save KEEP0"});
  const Bytes keep = FileBytes(s.PathIn("KEEP0.bmp"));
  ASSERT_FALSE(keep.empty());
  // A plain repaint, so that the key just clicked no longer shows pressed.
  s.window().Invalidate();
  s.Paint();
  const Bytes shownAtStart = s.window().Shown();
  s.dialogs().TakeShown();
  s.dialogs().QueueFile(std::nullopt);
  s.Click(GetTabX, TabY);
  EXPECT_EQ(Requests.getSlot, 99);
  EXPECT_EQ(FileBytes(s.PathIn("KEEP0.bmp")), keep);
  EXPECT_EQ(s.window().Shown(), shownAtStart);
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);
  s.dialogs().TakeShown();

  const std::string title = s.window().Title();
  // The file, its bytes, and the whole message or only its start when the decoder words the reason.
  const std::tuple<const char*, Bytes, const char*> cases[] = {
      {"text.bmp", Bytes{'h', 'e', 'l', 'l', 'o', '\n'},
       "「text.bmp」は画像として読み込めませんでした：\nBMP・PNG・JPEG・GIF・TIFF・PNM のどの画像でもありません。"},
      {"cut.png", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0},
       "「cut.png」は画像として読み込めませんでした：\npng の復号器が読めませんでした"},
      {"rle.bmp", SmallRleBmp(),
       "「rle.bmp」は画像として読み込めませんでした：\n画素データの 46 バイトでは、宣言された 14000 行を符号化できません"
       "（少なくとも 220 バイト必要です）。"},
  };
  for (const auto& [name, bytes, message] : cases) {
    ASSERT_TRUE(WriteFileAtomically(s.PathIn(name), bytes));
    s.dialogs().QueueFile(s.PathIn(name));
    s.Click(GetTabX, TabY);
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u) << name;  // the open dialog, then one message naming the file
    EXPECT_EQ(shown[1].kind, "message");
    EXPECT_EQ(shown[1].text.rfind(message, 0), 0u) << shown[1].text;
    EXPECT_EQ(Requests.getSlot, 99);
    EXPECT_EQ(FileBytes(s.PathIn("KEEP0.bmp")), keep) << name;
    EXPECT_TRUE(s.window().Shown() == shownAtStart && s.window().Title() == title) << name;
  }
  // Later paints carry no leftover request and say nothing more.
  s.Click(180, TabY);  // FILTER
  s.Click(120, TabY);  // TOP
  EXPECT_EQ(FileBytes(s.PathIn("KEEP0.bmp")), keep);
  EXPECT_EQ(s.dialogs().MessageCount(), 0u);

  s.Click(40, 552);  // the language key: English
  const std::pair<const char*, const char*> english[] = {
      {"text.bmp",
       "\"text.bmp\" could not be read as a picture:\nit is not a BMP, PNG, JPEG, GIF, TIFF or PNM picture."},
      {"rle.bmp",
       "\"rle.bmp\" could not be read as a picture:\nits 46 bytes of pixel data cannot code the 14000 rows it declares "
       "(at least 220 bytes are needed)."},
  };
  for (const auto& [name, message] : english) {
    s.dialogs().QueueFile(s.PathIn(name));
    s.Click(GetTabX, TabY);
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, message);
    EXPECT_EQ(shown[1].title, "Open a Picture");
    EXPECT_EQ(PictureFile.path, s.PathIn("first.bmp"));
  }

  // KEEP0.bmp replaced by a folder: the keep write fails.
  fs::remove(s.PathIn("KEEP0.bmp"));
  fs::create_directory(s.PathIn("KEEP0.bmp"));
  WriteTestPicture(s.PathIn("second.bmp"), 960, 672, Flat);
  s.dialogs().QueueFile(s.PathIn("second.bmp"));
  s.Click(GetTabX, TabY);
  EXPECT_EQ(s.dialogs().MessageCount(), 1u);  // the write failure, once
  EXPECT_TRUE(fs::is_directory(s.PathIn("KEEP0.bmp")));
  ExpectShown(s, {{500, 300, Flat(0, 0)}});  // the picture just opened, not the old one
  EXPECT_EQ(WorkPlanes[1][300 * 960 + 400], 200u);
}

// A picture larger than the canvas: saving its shown part over its own file,
// or over any larger picture, asks first naming both sizes, and over any
// other file that exists asks as every save does (No unless answered Yes);
// a new file is written without a word.
TEST(NothingLost, SavingTheShownPartOverALargerPictureAsksFirst) {
  ProgramSession s;
  const std::string picture = s.PathIn("large.bmp");
  WriteTestPicture(picture, 1200, 810, Varied);
  WriteTestPicture(s.PathIn("other.bmp"), 1000, 500, Flat);
  WriteTestPicture(s.PathIn("small.bmp"), 300, 200, Flat);
  s.Start(picture);
  EXPECT_EQ(s.window().Title(), "large.bmp (x 0–960, y 0–672、全体 1200 × 810) / ヴァントルゼフリンサンプル vazesample");
  s.dialogs().TakeShown();

  // The file, whether asked in English, whether answered No, the question.
  // Each question unanswered or answered No writes nothing.
  const std::tuple<std::string, bool, bool, const char*> asked[] = {
      {picture, false, false,
       "表示されている 960 × 672 の部分だけが書き込まれ、画像の残り (1200 × 810) は失われます。それでも保存しますか?"},
      {s.PathIn("other.bmp"), true, true,
       "Only the 960 × 672 part shown is written; the rest of the picture (1000 × 500) is lost. Save anyway?"},
      {s.PathIn("small.bmp"), true, false, "\"small.bmp\" already exists. Replace it?"},
  };
  for (const auto& [file, english, answeredNo, question] : asked) {
    if (english) LanguageId = EnglishLanguage;
    const Bytes before = FileBytes(file);
    s.dialogs().QueueFile(file);
    if (answeredNo) s.dialogs().QueueAnswer(MessageAnswer::No);
    s.Click(SaveTabX, TabY);
    const auto shown = s.dialogs().TakeShown();
    ASSERT_EQ(shown.size(), 2u) << file;
    EXPECT_EQ(shown[1].kind, "message");
    EXPECT_EQ(shown[1].text, question);
    EXPECT_EQ(FileBytes(file), before) << file;
  }
  // Answered Yes over the smaller picture and over its own file, and into a new
  // file with no question: the shown part each time.
  for (const char* name : {"small.bmp", "new.bmp", "large.bmp"}) {
    const bool exists = fs::exists(s.PathIn(name));
    s.dialogs().QueueFile(s.PathIn(name));
    if (exists) s.dialogs().QueueAnswer(MessageAnswer::Yes);
    s.Click(SaveTabX, TabY);
    EXPECT_EQ(s.dialogs().TakeShown().size(), exists ? 2u : 1u) << name;
    EXPECT_EQ(FileBytes(s.PathIn(name)).size(), 54u + 960u * 672u * 3u) << name;
  }
  EXPECT_EQ(FileBytes(picture), FileBytes(s.PathIn("new.bmp")));
}

}  // namespace
