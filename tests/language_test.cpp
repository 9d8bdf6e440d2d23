// The user's language: the start language from the locale or the command
// line, and every dialog and message following the current language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/language.h"
#include "support/program_session.h"

namespace {

// -----------------------------------------------------------------------------
// The start language from the locale
// -----------------------------------------------------------------------------

TEST(LanguageFromLocale, JapaneseForJapaneseAndForNoLanguageEnglishOtherwise) {
  constexpr int Ja = JapaneseLanguage, En = EnglishLanguage;
  struct Row {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    int expected;
  };
  const Row rows[] = {
      {nullptr, nullptr, "en_US.UTF-8", En},
      {nullptr, nullptr, "ja_JP.UTF-8", Ja},
      {nullptr, nullptr, "C", Ja},
      {nullptr, nullptr, nullptr, Ja},  // nothing set
      {"", "", "", Ja},                 // set, but empty: as unset
      {nullptr, nullptr, "POSIX", Ja},
      {nullptr, nullptr, "C.UTF-8", Ja},
      {nullptr, nullptr, "ja", Ja},
      {nullptr, nullptr, "ja_JP.eucJP@cjknarrow", Ja},
      {nullptr, nullptr, "de_DE@euro", En},
      {nullptr, nullptr, "jv_ID", En},         // Javanese is not Japanese
      {nullptr, nullptr, "fr_JP.UTF-8", En},   // French spoken in Japan: French
      {"en_GB.UTF-8", nullptr, "ja_JP.UTF-8", En},  // LC_ALL first
      {"ja_JP.UTF-8", "en_US.UTF-8", "en_US.UTF-8", Ja},
      {"", "en_US.UTF-8", "ja_JP.UTF-8", En},  // an empty LC_ALL is passed over
      {nullptr, "ja_JP.UTF-8", "en_US.UTF-8", Ja},  // LC_MESSAGES before LANG
      {nullptr, "C", "en_US.UTF-8", Ja},       // the first set one counts, even C
      {nullptr, "", "en_US.UTF-8", En},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LanguageFromLocale(row.lcAll, row.lcMessages, row.lang), row.expected)
        << (row.lcAll ? row.lcAll : "-") << " / " << (row.lcMessages ? row.lcMessages : "-") << " / "
        << (row.lang ? row.lang : "-");
  }
}

// -----------------------------------------------------------------------------
// The whole program in each language
// -----------------------------------------------------------------------------

constexpr int TabY = 15, TopTabX = 128, PaletteTabX = 520, SaveTabX = 912, GetTabX = 1024;
constexpr int LanguageKeyX = 48, LanguageKeyY = 552;
constexpr int NewColourX = 40, NewColourY = 122, SaveColourX = 40, SaveColourY = 640;

Rgb Flat(int, int) { return Rgb{90, 140, 200}; }

class InEachLanguage : public ::testing::Test {
 protected:
  void TearDown() override {
    StartLanguageId = JapaneseLanguage;
    LanguageId = JapaneseLanguage;
  }
  // Starts a new run in `language` with a picture in hand.
  void StartIn(int language) {
    StartLanguageId = language;
    StartProgram();
    WriteTestPicture(s.PathIn("first.bmp"), 200, 100, Flat);
    s.Start(s.PathIn("first.bmp"));
    s.dialogs().TakeShown();
  }
  // The one dialog or message the last action showed.
  ScriptedDialogs::Shown Only() {
    const auto shown = s.dialogs().TakeShown();
    EXPECT_EQ(shown.size(), 1u);
    return shown.empty() ? ScriptedDialogs::Shown{} : shown.front();
  }
  ProgramSession s;
};

TEST_F(InEachLanguage, ARunStartsInTheStartLanguage) {
  StartIn(EnglishLanguage);
  EXPECT_EQ(LanguageId, EnglishLanguage);
  EXPECT_EQ(s.window().Title(), "first.bmp / VANTOR ZEPHRIN SAMPLE vazesample");
  // The language key word still switches, and the title follows.
  s.Click(LanguageKeyX, LanguageKeyY);
  EXPECT_EQ(LanguageId, JapaneseLanguage);
  EXPECT_EQ(s.window().Title(), "first.bmp / ヴァントルゼフリンサンプル vazesample");
}

TEST_F(InEachLanguage, TheDialogsFilterNamesAndTitlesAreInTheCurrentLanguage) {
  StartIn(JapaneseLanguage);
  s.Click(SaveTabX, TabY);  // cancelled: nothing queued
  ScriptedDialogs::Shown save = Only();
  EXPECT_EQ(save.title, "名前をつけて保存する");
  EXPECT_EQ(save.filters, (std::vector<std::string>{"ビットマップファイル(*.bmp)", "すべてのファイル(*.*)"}));

  // Switched to English at run time: every name follows.
  s.Click(LanguageKeyX, LanguageKeyY);
  ASSERT_EQ(LanguageId, EnglishLanguage);
  s.Click(SaveTabX, TabY);
  save = Only();
  EXPECT_EQ(save.title, "SAVE WITH A NAME");
  EXPECT_EQ(save.filters, (std::vector<std::string>{"Bitmap files (*.bmp)", "All files (*.*)"}));
  s.Click(GetTabX, TabY);
  const ScriptedDialogs::Shown open = Only();
  EXPECT_EQ(open.kind, "open");
  EXPECT_EQ(open.title, "Open a Picture");  // named for pictures, in the language shown
  EXPECT_EQ(open.filters, (std::vector<std::string>{"Bitmap files (*.bmp)", "All files (*.*)"}));

  // The nod colour files of the PALETTE page.
  s.Click(PaletteTabX, TabY);
  s.dialogs().TakeShown();
  s.Click(SaveColourX, SaveColourY);
  const ScriptedDialogs::Shown colours = Only();
  EXPECT_EQ(colours.title, "SAVE NOD COLORS WITH A NAME");
  EXPECT_EQ(colours.filters, (std::vector<std::string>{"Text files (*.txt)", "All files (*.*)"}));
  s.Click(NewColourX, NewColourY);
  const auto shown = s.dialogs().TakeShown();  // the open dialog, then "cancelled"
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].filters, (std::vector<std::string>{"Text files (*.txt)", "All files (*.*)"}));
  EXPECT_EQ(shown[1].text, "Cancelled: no nod colour file was read");
}

TEST_F(InEachLanguage, AFileThatIsNoPictureIsReportedInTheCurrentLanguageOnly) {
  StartIn(EnglishLanguage);
  const std::string text = s.PathIn("text.bmp");
  const std::vector<std::uint8_t> hello{'h', 'e', 'l', 'l', 'o', '\n'};
  ASSERT_TRUE(WriteFileAtomically(text, hello));
  s.dialogs().QueueFile(text);
  s.Click(GetTabX, TabY);
  auto shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "\"text.bmp\" could not be read as a picture:\nit is not a BMP, PNG, JPEG, GIF, TIFF or PNM picture.");

  s.Click(TopTabX, TabY);
  s.Click(LanguageKeyX, LanguageKeyY);
  ASSERT_EQ(LanguageId, JapaneseLanguage);
  s.dialogs().TakeShown();
  s.dialogs().QueueFile(text);
  s.Click(GetTabX, TabY);
  shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].text, "「text.bmp」は画像として読み込めませんでした：\nBMP・PNG・JPEG・GIF・TIFF・PNM のどの画像でもありません。");
}

TEST_F(InEachLanguage, TheClosingQuestionsAreInTheCurrentLanguage) {
  StartIn(EnglishLanguage);
  s.Close();  // both questions answered No
  const auto shown = s.dialogs().TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].title, "Plese make sure");
  EXPECT_EQ(shown[0].text.rfind("May we delete next keeping image files\n", 0), 0u);
  EXPECT_EQ(shown[1].text, "Close?");
}

}  // namespace
