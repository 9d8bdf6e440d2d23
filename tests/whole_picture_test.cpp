// The whole picture as the user gets it: a save writes what is shown and
// records nothing, however often and in whichever form it is repeated; a tab
// round trip keeps the whole save on offer; and where work that is no step
// ends the offer, the save dialog names it.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/bmp_files.h"
#include "pages/kit/page_state.h"
#include "ops/picture_steps.h"
#include "ops/recipe.h"
#include "platform/picture_loader.h"
#include "support/program_session.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int SaveTabX = 912, TabY = 10;

std::string Click(int x, int y) { return "click " + std::to_string(x) + " " + std::to_string(y) + "\n"; }
std::string Tab(int page) { return Click(128 + 56 * page, TabY); }

// One operation of a page that records a step, as a user reaches it.
struct RecordingOperation {
  const char* name;
  std::string script;  // from the TOP page of a picture just opened
  const char* kind;    // the one step it records
  bool perPixel;       // the canvas is then exactly the whole picture's corner
};

}  // namespace

// Three saves of the shown part, then three of the whole picture: every
// canvas save the same, every whole save the same, one step in each recipe,
// which gives the whole picture again, and for a step that works each pixel
// by itself the canvas save is the whole picture's top-left corner.
TEST(Saves, RecordNothingHoweverOftenTheyComeAndInEitherForm) {
  const RecordingOperation operations[] = {
      {"TOP F", ClickLine(PageTop, "F"), "eye", false},
      {"VANTOR EYE F", Tab(PageEye) + ClickLine(PageEye, "F"), "eye", false},
      {"FILTER colour power", Tab(PageFilter) + ClickLine(PageFilter, "action"), "filter", true},
      {"CONTOUR limit area", Tab(PageContour) + ClickLine(PageContour, " limit area"), "contour", true},
      {"UNI C. conversion",
       Tab(PageUniC) + ClickLine(PageUniC, "1)target") + Click(300, 300) + Click(420, 200) +
           ClickLine(PageUniC, "2)convert") + Click(700, 500) + ClickLine(PageUniC, "set KEEP8"),
       "uni_c", true},
      {"ADD add", Tab(PageAdd) + ClickLine(PageAdd, "add"), "add", true},
      {"DEVELOP swap", Tab(PageDevelop) + ClickLine(PageDevelop, "swap color") + ClickLine(PageDevelop, "5 [B] R⇔G"),
       "swap", true},
      {"Outline fine", Tab(PageOutline) + ClickLine(PageOutline, "fine"), "outline", false},
      {"Outline local contrast", Tab(PageOutline) + ClickLine(PageOutline, "2)L Contrast") + Click(600, 300),
       "local_contrast", false},
  };
  for (const RecordingOperation& operation : operations) {
    SCOPED_TRACE(operation.name);
    ProgramSession s;
    WriteTestPicture(s.PathIn("photo.bmp"), 1200, 810, Varied);
    std::string script = "open photo.bmp\n" + operation.script;
    for (int k = 1; k <= 3; ++k) script += "save-as canvas" + std::to_string(k) + ".bmp\n" + Click(SaveTabX, TabY);
    for (int k = 1; k <= 3; ++k) script += "save-whole whole" + std::to_string(k) + ".bmp\n" + Click(SaveTabX, TabY);
    const std::string report = ScriptReport(s.Folder(), script);
    EXPECT_EQ(report.find("(greyed)"), std::string::npos) << report;
    const Bytes canvas = FileBytes(s.PathIn("canvas1.bmp")), whole = FileBytes(s.PathIn("whole1.bmp"));
    ASSERT_FALSE(canvas.empty());
    ASSERT_EQ(whole.size(), 54u + 1200u * 810u * 3u);
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(FileBytes(s.PathIn("canvas" + std::to_string(k) + ".bmp")), canvas) << k;
      EXPECT_EQ(FileBytes(s.PathIn("whole" + std::to_string(k) + ".bmp")), whole) << k;
      EXPECT_EQ(KindsOf(s.PathIn("whole" + std::to_string(k) + ".toml")), operation.kind) << k;
    }
    const RecipeResult recipe = ReadRecipeFile(s.PathIn("whole1.toml"));
    ASSERT_TRUE(recipe.ok()) << recipe.error;
    EXPECT_EQ(EncodePictureBmp(ApplyStepsAtOwnSize(recipe.steps, *LoadPicture(s.PathIn("photo.bmp")))), whole);
    if (operation.perPixel) {  // the canvas save is the whole save's top-left corner
      const Picture part = *LoadPicture(s.PathIn("canvas1.bmp")), all = *LoadPicture(s.PathIn("whole1.bmp"));
      ASSERT_TRUE(part.width <= all.width && part.height <= all.height) << part.width << " x " << part.height;
      for (int y = 0; y < part.height; ++y) {
        const auto row = part.rgb.begin() + static_cast<long>(y) * part.width * 3;
        ASSERT_TRUE(std::equal(row, row + part.width * 3, all.rgb.begin() + static_cast<long>(y) * all.width * 3)) << y;
      }
    }
    EXPECT_NE(whole, FileBytes(s.PathIn("photo.bmp")));  // the operation did something
  }
}

// A page, another page, the first page again: moving between tabs is no
// step, and the whole picture stays on offer with the steps the picture has.
// FILTER starts again from the inner memory, with its values at their
// start, and TOP from the file: neither has steps after a visit.
TEST(Saves, ATabRoundTripKeepsTheWholePictureOnOffer) {
  const std::pair<int, std::string> starts[] = {
      {PageFilter, ClickLine(PageFilter, "action")},
      {PageContour, ClickLine(PageContour, " limit area") + ClickLine(PageContour, "set KEEP5")},
  };
  for (const auto& [first, operation] : starts)
    for (int page = PageTop; page <= PageGamon; ++page) {
      SCOPED_TRACE(std::to_string(first) + " through " + std::to_string(page));
      ProgramSession s;
      WriteTestPicture(s.PathIn("photo.bmp"), 1200, 810, Varied);
      const std::string report =
          ScriptReport(s.Folder(), "open photo.bmp\n" + Tab(first) + operation + Tab(page) + Tab(first) +
                                       "save-whole whole.bmp\n" + Click(SaveTabX, TabY));
      EXPECT_EQ(report.find("(greyed)"), std::string::npos) << report;
      const bool stepsKept = first == PageContour && page != PageTop && page != PageFilter;
      EXPECT_EQ(KindsOf(s.PathIn("whole.toml")), stepsKept ? "contour" : "");
    }
}

// Where work that is no step ends the offer, the note names its page and
// key word, in the language shown.
TEST(Saves, TheNoteNamesTheWorkThatIsNoStep) {
  // The script, and the note's words in Japanese and in English.
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {Tab(PageOutline) + ClickLine(PageOutline, "4)Brush") + "drag 300 300 500 400\n" + "rclick 400 350\n",
       "「輪郭線 4)筆」", "\"Outline 4)Brush\""},
      {Tab(PagePattern) + ClickLine(PagePattern, "6)Pattern") + "answer no\n", "「型紙化 6)型紙化」", "\"Pattern 6)Pattern\""},
      {Tab(PageMap) + ClickLine(PageMap, "× 4"), "「マップ × 4」", "\"MAP × 4\""},
  };
  for (const auto& [script, japanese, english] : cases)
    for (const bool inEnglish : {false, true}) {
      SCOPED_TRACE(english);
      ProgramSession s;
      WriteTestPicture(s.PathIn("photo.bmp"), 1200, 810, Varied);
      const std::string language = inEnglish ? ClickLine(PageTop, "ENGLISH") : "";
      const std::string report = ScriptReport(
          s.Folder(), "open photo.bmp\n" + language + script + "save-as part.bmp\n" + Click(SaveTabX, TabY));
      EXPECT_NE(report.find("(greyed)"), std::string::npos) << report;
      EXPECT_NE(report.find(inEnglish ? english : japanese), std::string::npos) << report;
    }
}

// The whole save over the picture's own file asks first, No by default, in
// the language shown; the save dialog starts in the picture's folder.
TEST(Saves, AWholeSaveOverThePicturesOwnFileAsksFirst) {
  ProgramSession s;
  fs::create_directories(s.PathIn("photos"));
  const std::string picture = s.PathIn("photos/photo.bmp");
  WriteTestPicture(picture, 1200, 810, Varied);
  const Bytes original = FileBytes(picture);
  s.Start(picture);
  s.ClickControl(PageTop, "F");
  s.dialogs().TakeShown();
  s.dialogs().QueueFile(picture, true);
  s.Click(SaveTabX, TabY);
  std::vector<ScriptedDialogs::Shown> shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].startFolder, s.PathIn("photos"));
  EXPECT_EQ(shown[1].kind, "message");
  EXPECT_EQ(shown[1].text, "「photo.bmp」は開いている画像のファイルです。置き換えますか?");
  EXPECT_EQ(FileBytes(picture), original);  // unanswered: No
  EXPECT_FALSE(fs::exists(s.PathIn("photos/photo.toml")));
  // Answered Yes: the whole picture through its steps replaces it.
  LanguageId = EnglishLanguage;
  s.dialogs().QueueFile(picture, true);
  s.dialogs().QueueAnswer(MessageAnswer::Yes);
  s.Click(SaveTabX, TabY);
  shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "\"photo.bmp\" is the file of the picture in hand. Replace it?");
  EXPECT_EQ(FileBytes(picture).size(), original.size());
  EXPECT_NE(FileBytes(picture), original);
  EXPECT_EQ(KindsOf(s.PathIn("photos/photo.toml")), "eye");
  LanguageId = JapaneseLanguage;
}
