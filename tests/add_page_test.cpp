// The ADD page: band edges and a pixel in each band worked by hand, the fast
// addition against the literal one over a corpus, and the page through the
// whole program ("hd", " add", "set KEEP6" byte by byte, the golden screen).

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "image/gray.h"
#include "pages/colour/add_page.h"
#include "pages/colour/nod_colours.h"
#include "pages/kit/page_state.h"
#include "reference/add_colour_literal.h"
#include "support/golden.h"
#include "support/program_session.h"
#include "support/view_corpus.h"

namespace {

const NodColumn& ColumnA() { return BuiltInNodColours.columns[0]; }

TEST(AddBands, EdgesOfTheSixBands) {
  EXPECT_EQ(GreyBandsOf(0, 255).bound, (std::array<int, 7>{0, 42, 84, 126, 168, 210, 255}));
  const GreyBands bands = GreyBandsOf(0, 255);
  const std::pair<int, int> cases[] = {{-1, -1}, {0, 0},   {41, 0},  {42, 1},  {83, 1},  {84, 2},   {125, 2},
                                       {126, 3}, {167, 3}, {168, 4}, {209, 4}, {210, 5}, {255, 5}, {256, -1}};
  for (const auto& [grey, band] : cases) EXPECT_EQ(BandOf(bands, grey), band) << "grey " << grey;
  // A range narrower than six greys: bands of no width, no division by zero.
  const GreyBands narrow = GreyBandsOf(100, 103);
  EXPECT_EQ(BandOf(narrow, 100), 5);
  EXPECT_EQ(RampColour(ColumnA(), narrow, 100), ColumnA()[5]);
}

TEST(AddBands, RampColourOfAPixelInEachBandWithColumnA) {
  const GreyBands bands = GreyBandsOf(0, 255);
  struct Case {
    int grey;
    NodColour want;
  };
  const Case cases[] = {
      {0, {0, 0, 0}},          // nod colour 1
      {21, {127, 127, 0}},     // halfway from black to yellow: 255 x 21 / 42 = 127
      {42, {255, 255, 0}},     // nod colour 2 at the start of band 1
      {63, {128, 128, 64}},    // yellow to navy: 255 - 255 x 21 / 42 truncates toward zero: 255 - 127
      {105, {0, 127, 191}},    // navy to cyan
      {147, {64, 128, 255}},   // cyan to violet
      {189, {191, 64, 255}},   // violet to pink
      {232, {255, 190, 255}},  // pink to white, s = 45: 128 + 127 x 22 / 45
      {255, {255, 255, 255}},  // nod colour 7
  };
  for (const Case& c : cases) EXPECT_EQ(RampColour(ColumnA(), bands, c.grey), c.want) << "grey " << c.grey;
}

TEST(AddBands, BlendWeights) {
  // 7 : 1 of 200 and 8: 1408 / 8; 3 : 1 of 201 and 0: 603 / 4, truncated.
  EXPECT_EQ(std::tuple(BlendNodChannel(200, 8, SoftWeights), BlendNodChannel(201, 0, MiddleWeights),
                       BlendNodChannel(201, 17, HardWeights)),
            std::tuple(176, 150, 17));
}

// The view corpus and noise with samples above 255.
std::vector<TestPlanes> Corpus() {
  std::vector<TestPlanes> corpus = ViewCorpus();
  TestPlanes& wide = corpus.emplace_back(NoisePlanes(3));
  wide.name = "noise with samples above 255";
  for (std::size_t i = 0; i < wide.plane[0].size(); ++i) {
    wide.plane[0][i] = wide.plane[0][i] * 1000 / 256;
    wide.plane[1][i] = wide.plane[1][i] * 270 / 256;
    wide.plane[2][i] = wide.plane[2][i] * 300 / 256;
  }
  return corpus;
}

TEST(AddBands, TheFastAdditionGivesTheLiteralBytes) {
  NodColumn odd = BuiltInNodColours.columns[1];
  odd[2] = {300, -20, 7};  // a ramp outside the bytes takes the rule's own path
  struct Case {
    const char* label;
    const NodColumn* column;
    BlendWeights weights;
  };
  const Case cases[] = {
      {"A 7:1", &ColumnA(), SoftWeights},
      {"A 3:1", &ColumnA(), MiddleWeights},
      {"A 0:1", &ColumnA(), HardWeights},
      {"B 7:1", &BuiltInNodColours.columns[1], SoftWeights},
      {"C 0:1", &BuiltInNodColours.columns[2], HardWeights},
      {"ramp outside the bytes, 7:1", &odd, SoftWeights},
      {"A 5:2", &ColumnA(), BlendWeights{5, 2}},
  };
  for (const TestPlanes& planes : Corpus()) {
    for (const Case& c : cases) {
      // The whole range, and a narrower one outside which nothing changes.
      for (const auto& [lo, hi] : {std::pair{0, 255}, std::pair{60, 200}}) {
        TestPlanes fast = planes, literal = planes;
        const AddColourSettings settings{*c.column, lo, hi, c.weights};
        AddNodColours(fast.View(), Stride, CanvasRows, settings);
        LiteralAddNodColours(literal.View(), Stride, CanvasRows, settings);
        ASSERT_EQ(fast.plane, literal.plane) << planes.name << ", " << c.label << " in " << lo << ".." << hi;
      }
    }
  }
}

// Through the whole program.

constexpr int AddTabX = 464, TabY = 15;

// Ten grey stripes 20 pixels wide, one per band edge and between, on a 200 x 40 picture.
constexpr std::array<int, 10> StripeGreys = {0, 21, 41, 42, 63, 105, 147, 189, 232, 255};
Rgb Stripes(int x, int) {
  const auto v = static_cast<std::uint8_t>(StripeGreys[static_cast<std::size_t>(x / 20)]);
  return Rgb{v, v, v};
}
Rgb AllBlack(int, int) { return Black; }
Rgb AllWhite(int, int) { return White; }

// The literal addition over a shown canvas.
std::vector<std::uint8_t> LiteralAdded(const std::vector<std::uint8_t>& canvas, const NodColumn& column,
                                       BlendWeights w) {
  TestPlanes planes = PlanesOfCanvas(canvas);
  LiteralAddNodColours(planes.View(), Stride, CanvasRows, AddColourSettings{column, 0, 255, w});
  return planes.Canvas();
}

TEST(AddPage, HardPaintsTheEnteredImageInTheRampAndSetKeepStoresIt) {
  ProgramSession s;
  s.StartOnPage(6, Stripes, 200, 40);
  const std::vector<std::uint8_t> entered = s.ShownCanvas();
  // Entering stores the image as it was in KEEP6.
  EXPECT_EQ(FileBytes(s.PathIn("KEEP6.bmp")), KeepFileOf(entered));
  EXPECT_EQ(AddMeterX(), 18);

  s.ClickControl(PageAdd, "hd");
  EXPECT_EQ(AddMeterX(), 92);
  const std::vector<std::uint8_t> hard = LiteralAdded(entered, ColumnA(), HardWeights);
  EXPECT_EQ(s.ShownCanvas(), hard);
  // Each stripe in its ramp colour, worked by hand.
  const std::array<Rgb, 10> want = {{{0, 0, 0}, {127, 127, 0}, {248, 248, 0}, {255, 255, 0}, {128, 128, 64},
                                     {0, 127, 191}, {64, 128, 255}, {191, 64, 255}, {255, 190, 255}, {255, 255, 255}}};
  for (std::size_t k = 0; k < want.size(); ++k) EXPECT_EQ(s.Pixel(110 + 20 * static_cast<int>(k), 50), want[k]) << k;

  // "hd" twice: again from KEEP6, so the same picture.
  s.ClickControl(PageAdd, "hd");
  EXPECT_EQ(s.ShownCanvas(), hard);

  s.ClickControl(PageAdd, "set KEEP6");
  EXPECT_EQ(FileBytes(s.PathIn("KEEP6.bmp")), KeepFileOf(hard));

  // After "hd" the weights stay 0 : 1: " add" paints the ramp of the new greys.
  s.ClickControl(PageAdd, "add");
  EXPECT_EQ(s.ShownCanvas(), LiteralAdded(hard, ColumnA(), HardWeights));
  EXPECT_EQ(AddMeterX(), 92);
}

TEST(AddPage, TheFirstAddBlendsOneEighthAndLeavesWhiteAndBlack) {
  for (Rgb (*colour)(int, int) : {AllWhite, AllBlack}) {
    ProgramSession s;
    s.StartOnPage(6, colour, 120, 80);
    const std::vector<std::uint8_t> entered = s.ShownCanvas();
    s.ClickControl(PageAdd, "add");
    EXPECT_EQ(s.ShownCanvas(), entered);
    EXPECT_EQ(AddMeterX(), 18);
  }
  ProgramSession s;
  s.StartOnPage(6, Stripes, 200, 40);
  const std::vector<std::uint8_t> entered = s.ShownCanvas();
  s.ClickControl(PageAdd, "add");
  const std::vector<std::uint8_t> once = LiteralAdded(entered, ColumnA(), SoftWeights);
  EXPECT_EQ(s.ShownCanvas(), once);
  EXPECT_EQ(s.Pixel(130, 50), (Rgb{(21 * 7 + 127) / 8, (21 * 7 + 127) / 8, 21 * 7 / 8}));
  s.ClickControl(PageAdd, "add");
  EXPECT_EQ(s.ShownCanvas(), LiteralAdded(once, ColumnA(), SoftWeights));
  // The reset mark brings back the image as entered.
  s.Click(20, 40);
  EXPECT_EQ(s.ShownCanvas(), entered);
}

TEST(AddPage, ColumnBAndTheUsersTableFromPalette) {
  ProgramSession s;
  s.StartOnPage(6, Stripes, 200, 40);
  const std::vector<std::uint8_t> entered = s.ShownCanvas();
  EXPECT_EQ(AddColumnChoice(), 1);
  s.ClickControl(PageAdd, "Ｂ");
  EXPECT_EQ(AddColumnChoice(), 2);
  s.ClickControl(PageAdd, "hd");
  EXPECT_EQ(s.ShownCanvas(), LiteralAdded(entered, BuiltInNodColours.columns[1], HardWeights));
  // The user's table (all zero until a file is loaded) when the source is 2:
  // everything in the range becomes black.
  NodColours.source = UserTableSource;
  s.ClickControl(PageAdd, "hd");
  ExpectShown(s, {{300, 50, {0, 0, 0}}, {110 + 20 * 9, 50, {0, 0, 0}}});
  // Leaving and entering again keeps column B.
  s.Click(128, TabY);
  s.Click(AddTabX, TabY);
  EXPECT_EQ(AddColumnChoice(), 2);
}

TEST(AddPage, RestoreAndGetReadKeep6AndSaveStoresTheShownImage) {
  ProgramSession s;
  s.StartOnPage(6, Stripes, 200, 40);
  const std::vector<std::uint8_t> entered = s.ShownCanvas();
  s.ClickControl(PageAdd, "add");
  const std::vector<std::uint8_t> added = s.ShownCanvas();
  ASSERT_NE(added, entered);
  // "Save" writes the picture as shown (the picture's own 200 x 40).
  s.dialogs().QueueFile(s.PathIn("added.bmp"));
  s.Click(912, TabY);
  const std::vector<std::uint8_t> saved = FileBytes(s.PathIn("added.bmp"));
  EXPECT_EQ(saved, SavedBmpOf(added, 200, 40));
  // "Restore": KEEP6, the image as entered.
  s.Click(968, TabY);
  EXPECT_EQ(s.ShownCanvas(), entered);
  // "Get": the chosen picture stored as KEEP6 and shown.
  WriteTestPicture(s.PathIn("black.bmp"), 50, 50, AllBlack);
  s.dialogs().QueueFile(s.PathIn("black.bmp"));
  s.Click(1024, TabY);
  ExpectShown(s, {{120, 40, Black}});
  EXPECT_EQ(FileBytes(s.PathIn("KEEP6.bmp")), KeepFileOf(s.ShownCanvas()));
}

TEST(AddPage, GoldenScreenAfterHard) {
  ProgramSession s;
  s.StartOnPage(6, Stripes, 200, 40);
  s.ClickControl(PageAdd, "Ｂ");
  s.ClickControl(PageAdd, "hd");
  EXPECT_GOLDEN("add_page_hard", s.window().Shown());
}

}  // namespace
