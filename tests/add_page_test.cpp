// The ADD page: band edges and a pixel in each band worked by hand, the fast
// addition against the literal one over a corpus, and the page through the
// whole program ("hd", " add", "set KEEP6" byte by byte, the golden screen).

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/gray.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "pages/colour/add_page.h"
#include "pages/colour/nod_colours.h"
#include "pages/kit/page_state.h"
#include "reference/add_colour_literal.h"
#include "support/golden.h"
#include "support/program_session.h"

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
  EXPECT_EQ(BlendNodChannel(200, 8, SoftWeights), (200 * 7 + 8) / 8);
  EXPECT_EQ(BlendNodChannel(201, 0, MiddleWeights), 150);
  EXPECT_EQ(BlendNodChannel(201, 17, HardWeights), 17);
}

// A 960 x 672 plane set filled by a rule.
struct TestPlanes {
  std::array<std::vector<std::uint32_t>, 3> samples;
  TestPlanes() {
    for (auto& s : samples) s.assign(static_cast<std::size_t>(Stride) * CanvasRows, 0);
  }
  PlaneView View() { return PlaneView{{samples[0].data(), samples[1].data(), samples[2].data()}, Stride, CanvasRows}; }
  void Set(int row, int x, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    const std::size_t i = static_cast<std::size_t>(row) * Stride + static_cast<std::size_t>(x);
    samples[0][i] = b;
    samples[1][i] = g;
    samples[2][i] = r;
  }
};

std::vector<std::pair<std::string, TestPlanes>> Corpus() {
  std::vector<std::pair<std::string, TestPlanes>> corpus(5);
  corpus[0].first = "flat";
  corpus[1].first = "gradient";
  corpus[2].first = "noise";
  corpus[3].first = "sample scene";
  corpus[4].first = "noise with samples above 255";
  const Picture scene = MakeSampleScene(Stride, CanvasRows);
  unsigned seed = 7;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0xffffu;
  };
  for (int row = 0; row < CanvasRows; ++row) {
    for (int x = 0; x < Stride; ++x) {
      corpus[0].second.Set(row, x, 90, 160, 30);
      corpus[1].second.Set(row, x, static_cast<std::uint32_t>(x * 255 / 959), static_cast<std::uint32_t>(row * 255 / 671),
                           static_cast<std::uint32_t>((x + row) % 256));
      corpus[2].second.Set(row, x, next() % 256, next() % 256, next() % 256);
      const std::size_t i = (static_cast<std::size_t>(CanvasRows - 1 - row) * Stride + static_cast<std::size_t>(x)) * 3;
      corpus[3].second.Set(row, x, scene.rgb[i], scene.rgb[i + 1], scene.rgb[i + 2]);
      corpus[4].second.Set(row, x, next() % 300, next() % 270, next() % 1000);
    }
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
  for (auto& [name, planes] : Corpus()) {
    for (const Case& c : cases) {
      TestPlanes fast = planes, literal = planes;
      const AddColourSettings settings{*c.column, 0, 255, c.weights};
      AddNodColours(fast.View(), Stride, CanvasRows, settings);
      LiteralAddNodColours(literal.View(), Stride, CanvasRows, settings);
      ASSERT_EQ(fast.samples, literal.samples) << name << ", " << c.label;
    }
    // Only pixels inside a narrower range change.
    TestPlanes fast = planes, literal = planes;
    const AddColourSettings narrow{ColumnA(), 60, 200, HardWeights};
    AddNodColours(fast.View(), Stride, CanvasRows, narrow);
    LiteralAddNodColours(literal.View(), Stride, CanvasRows, narrow);
    ASSERT_EQ(fast.samples, literal.samples) << name << " in 60..200";
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
Rgb Black(int, int) { return Rgb{0, 0, 0}; }
Rgb White(int, int) { return Rgb{255, 255, 255}; }

// The literal addition over a shown canvas (bottom-up blue, green, red).
std::vector<std::uint8_t> LiteralAdded(const std::vector<std::uint8_t>& canvas, const NodColumn& column,
                                       BlendWeights w) {
  TestPlanes planes;
  for (std::size_t k = 0; k < 3; ++k)
    for (std::size_t i = 0; i < planes.samples[k].size(); ++i) planes.samples[k][i] = canvas[3 * i + k];
  LiteralAddNodColours(planes.View(), Stride, CanvasRows, AddColourSettings{column, 0, 255, w});
  std::vector<std::uint8_t> out(canvas.size());
  for (std::size_t k = 0; k < 3; ++k)
    for (std::size_t i = 0; i < planes.samples[k].size(); ++i) out[3 * i + k] = static_cast<std::uint8_t>(planes.samples[k][i]);
  return out;
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
  const std::array<Rgb, 10> want = {{{0, 0, 0},
                                     {127, 127, 0},
                                     {248, 248, 0},
                                     {255, 255, 0},
                                     {128, 128, 64},
                                     {0, 127, 191},
                                     {64, 128, 255},
                                     {191, 64, 255},
                                     {255, 190, 255},
                                     {255, 255, 255}}};
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
  for (Rgb (*colour)(int, int) : {White, Black}) {
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
  EXPECT_EQ(s.Pixel(300, 50), (Rgb{0, 0, 0}));
  EXPECT_EQ(s.Pixel(110 + 20 * 9, 50), (Rgb{0, 0, 0}));
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
  ASSERT_EQ(saved.size(), 54u + 200u * 40u * 3u);
  const std::size_t top = 54 + (39u * 200u + 30u) * 3u;  // file row 39 is the picture's top row
  const std::size_t shown = ((671u * 960u) + 30u) * 3u;
  EXPECT_EQ((std::array{saved[top], saved[top + 1], saved[top + 2]}),
            (std::array{added[shown], added[shown + 1], added[shown + 2]}));
  // "Restore": KEEP6, the image as entered.
  s.Click(968, TabY);
  EXPECT_EQ(s.ShownCanvas(), entered);
  // "Get": the chosen picture stored as KEEP6 and shown.
  WriteTestPicture(s.PathIn("black.bmp"), 50, 50, Black);
  s.dialogs().QueueFile(s.PathIn("black.bmp"));
  s.Click(1024, TabY);
  EXPECT_EQ(s.Pixel(120, 40), (Rgb{0, 0, 0}));
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
