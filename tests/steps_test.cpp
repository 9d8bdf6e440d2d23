// Steps as values: a step applied by ApplySteps to a picture gives, byte for
// byte, what the pages store after the same work; recipes are read and
// written exactly, every bad one refused with one line.
//
// [SECTION] The same bytes as the pages
// [SECTION] Band by band
// [SECTION] Recipes
// [SECTION] "Save" of the whole picture

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "pages/filter/filter_page.h"
#include "pages/kit/page_state.h"
#include "ops/picture_steps.h"
#include "ops/recipe.h"
#include "pages/kit/step_list.h"
#include "ops/streamed_steps.h"
#include "platform/picture_loader.h"
#include "support/program_session.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int TabY = 10, SaveTabX = 912;

// The picture file through `steps`, as on the canvas or at its own size.
Bytes BmpOf(const std::vector<PictureStep>& steps, const std::string& path, bool ownSize = false) {
  const std::optional<Picture> picture = LoadPicture(path);
  EXPECT_TRUE(picture.has_value()) << path;
  if (!picture) return {};
  return EncodePictureBmp(ownSize ? ApplyStepsAtOwnSize(steps, *picture) : ApplySteps(steps, *picture));
}

// The session started on a 451 x 300 picture; its file name.
std::string StartOnPicture(ProgramSession& s) {
  const std::string picture = s.PathIn("in.bmp");
  WriteTestPicture(picture, 451, 300, Varied);
  s.Start(picture);
  return picture;
}
// "Save" answered with a file name; its bytes.
Bytes Saved(ProgramSession& s, const std::string& name) {
  s.dialogs().QueueFile(s.PathIn(name));
  s.Click(SaveTabX, TabY);
  return FileBytes(s.PathIn(name));
}

const FilterStep ColourPower{.settings = {.colourPowerOn = true, .channelPower = {}}};

}  // namespace

// [SECTION] The same bytes as the pages
// (Every save of a test session checks that the steps recorded give what it
// wrote; these pin the steps themselves.)

TEST(Steps, TheFilterStepGivesWhatFilterSavesWithPowerLightCoreAndBalances) {
  ProgramSession s;
  const std::string picture = StartOnPicture(s);
  s.ClickTab(PageFilter);
  s.ClickControl(PageFilter, "action");  // the colour power
  FilterStep step = ColourPower;
  EXPECT_EQ(BmpOf({step}, picture), Saved(s, "saved.bmp"));
  // The light core and the balances have no active key on the page; its
  // paint runs them when they are on.
  FilterPage.lightCoreSelection = 1;
  FilterPage.values.lightCoreStart = 30;
  FilterPage.values.peachOn = FilterPage.values.berryOn = 1;
  step.lightCore = true;
  step.settings.lightCoreStart = 30;
  step.settings.peachOn = step.settings.berryOn = 1;
  EXPECT_EQ(BmpOf({step}, picture), Saved(s, "balanced.bmp"));
}

// CONTOUR, ADD, DEVELOP's swap and the outline one after the other, on a
// picture that fits on the canvas.
TEST(Steps, TheStepsOfTheColourPagesGiveWhatTheySave) {
  ProgramSession s;
  const std::string picture = StartOnPicture(s);
  s.ClickTab(PageContour);
  s.ClickControls(PageContour, {" limit area", "set KEEP5"});
  s.ClickTab(PageAdd);
  s.ClickControl(PageAdd, "add");
  s.ClickTab(PageDevelop);
  s.ClickControls(PageDevelop, {"swap color", "5 [B] R⇔G"});
  const Bytes swapped = Saved(s, "swapped.bmp");
  s.ClickTab(PageOutline);
  s.ClickControl(PageOutline, "fine");
  const Bytes saved = Saved(s, "saved.bmp");
  // The swap was saved, not set: it went with DEVELOP.
  const std::vector<PictureStep> steps = StepsSoFar();
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_TRUE(std::holds_alternative<ContourStep>(steps[0]));
  EXPECT_TRUE(std::holds_alternative<AddColourStep>(steps[1]));
  EXPECT_TRUE(std::holds_alternative<OutlineStep>(steps[2]));
  EXPECT_EQ(BmpOf({steps[0], steps[1], SwapStep{SwapSettings{5}}}, picture), swapped);
  EXPECT_EQ(BmpOf(steps, picture), saved);
}

// [SECTION] Band by band

namespace {

// The streamed result as a top-down picture.
Picture Streamed(const std::vector<PictureStep>& steps, const Picture& picture, int bandRows, int threads = 2,
                 Edges edges = Edges::Extend) {
  Picture out{picture.width, picture.height, std::vector<std::uint8_t>(picture.rgb.size())};
  const std::unique_ptr<RowSource> source = PictureRows(picture);
  const std::thread::id caller = std::this_thread::get_id();
  EXPECT_TRUE(StreamSteps(steps, *source, [&](int first, int count, const PlaneView& band) {
    EXPECT_EQ(std::this_thread::get_id(), caller);  // the sink may show a window: never from a helper thread
    for (int r = 0; r < count; ++r) {
      std::uint8_t* to = out.rgb.data() + static_cast<std::size_t>(picture.height - 1 - first - r) * picture.width * 3;
      for (int x = 0; x < picture.width; ++x)  // red, green, blue from the planes' blue, green, red
        for (int k = 0; k < 3; ++k) to[3 * x + k] = static_cast<std::uint8_t>(band.at(2 - k, r, x));
    }
    return true;
  }, bandRows, threads, edges));
  return out;
}

}  // namespace

// Any band size and number of threads sharing the bands, pictures smaller
// than the window included, and the steps that first look at the whole
// picture (levels, a levels pivot, a light core that lights nothing).
TEST(Steps, BandByBandEqualsTheWholePictureAtOnce) {
  const EyeStep eyeF{}, eyeLevels{.hornKey = 12, .settings = {.mode = 2}, .levelsPivot = true};  // L, n = 40
  const FilterStep balance{
      .settings = {.colourPower = 170, .colourPowerOn = true, .channelPower = {}, .peachOn = true, .berryOn = true}};
  const FilterStep core{.settings = {.channelPower = {}, .lightCoreStart = 40, .lightCoreEnd = 200}, .lightCore = true};
  // Nothing above 254 in the picture: every sample becomes 1.
  const FilterStep dark{.settings = {.channelPower = {}, .lightCoreStart = 254}, .lightCore = true};
  const ContourStep contourAll{.settings = {.operation = ContourAllLevels, .colourType = 4}};
  const ContourStep contourOne{.settings = {.ladder = {.step = 4}, .operation = ContourOneLevel, .scanIndex = 9,
                                            .colourType = 1}};
  GrayRangeStep range{GrayRangeSettings{60, 140, UniRgb{10, 200, 30}}}, none{GrayRangeSettings{200, 100, {}}};
  AddColourStep soft{AddColourSettings{BuiltInNodColours.columns[1], 0, 255, SoftWeights}};
  AddColourStep hard{AddColourSettings{BuiltInNodColours.columns[0], 40, 180, HardWeights}};
  const SwapStep swapNegative{SwapSettings{12}}, swapEel{SwapSettings{17}}, swapTurn{SwapSettings{1}};
  const OutlineStep fine{OutlineSettings{FineWidth, 16, JudgeByLuma, OutlineRgb{255, 0, 0}}};
  const OutlineStep middle{OutlineSettings{MiddleWidth, 8, JudgeByEveryChannel, OutlineRgb{0, 255, 255}}};
  const OutlineStep fat{OutlineSettings{FatWidth, 12, JudgeByLuma, OutlineRgb{1, 2, 3}}};
  const LocalContrastStep corner{1, 2}, inside{30, 60};  // the window cut by the edges, or outside a small picture
  const std::vector<std::vector<PictureStep>> chains = {
      {eyeF, eyeLevels}, {fine}, {middle}, {fat}, {fat, fine}, {eyeF, middle, eyeLevels}, {balance, fat, balance},
      {swapNegative}, {eyeF, swapEel, swapTurn}, {soft}, {hard, eyeLevels}, {balance, soft, contourAll}, {range},
      {none}, {balance, range, eyeF}, {eyeF}, {balance}, {core, eyeF}, {eyeLevels, balance, eyeF}, {dark},
      {balance, eyeLevels, core}, {contourAll}, {eyeF, contourOne, balance}, {balance, contourAll, eyeLevels},
      {corner}, {eyeF, inside, fine}, {balance, corner, eyeLevels}};
  for (const auto& [width, height] :
       {std::pair{1, 1}, std::pair{3, 2}, std::pair{7, 7}, std::pair{41, 41}, std::pair{97, 83}, std::pair{20, 140}}) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        picture.rgb.insert(picture.rgb.end(), {Varied(x, y).r, Varied(x, y).g, Varied(x, y).b});
    for (std::size_t c = 0; c < chains.size(); ++c)
      for (const Edges edges : {Edges::Extend, Edges::AsCanvas}) {
        const Picture whole = ApplyStepsAtOwnSize(chains[c], picture, 2, edges);
        for (const auto& [band, threads] : {std::pair{1, 2}, std::pair{7, 1}, std::pair{7, 3}, std::pair{64, 2}})
          EXPECT_EQ(Streamed(chains[c], picture, band, threads, edges).rgb, whole.rgb)
              << width << " x " << height << ", chain " << c << ", bands of " << band << ", threads " << threads
              << (edges == Edges::Extend ? ", extended" : ", as on the canvas");
      }
  }
}

namespace {

// Rows of samples beyond 0..255 too, as a step before may leave them.
class WideRows : public RowSource {
 public:
  int Width() const override { return 50; }
  int Height() const override { return 90; }
  bool Rows(int first, int count, const PlaneView& to) override {
    for (int k = 0; k < 3; ++k)
      for (int r = 0; r < count; ++r)
        for (int x = 0; x < Width(); ++x)
          to.at(k, r, x) = static_cast<std::uint32_t>((x * 37 + (first + r) * 11 + k * 101) % 700);
    return true;
  }
};

std::vector<std::uint32_t> StreamedSamples(const std::vector<PictureStep>& steps) {
  WideRows source;
  std::vector<std::uint32_t> samples;
  EXPECT_TRUE(StreamSteps(steps, source, [&](int, int count, const PlaneView& band) {
    for (int k = 0; k < 3; ++k)
      for (int r = 0; r < count; ++r)
        for (int x = 0; x < source.Width(); ++x) samples.push_back(band.at(k, r, x));
    return true;
  }, 16));
  return samples;
}

}  // namespace

// A step that needs the whole picture's levels after a slow one takes the
// rows that the pass for its levels kept in a scratch file; without one
// (no temporary folder) the slow step is worked again, to the same samples.
TEST(Steps, RowsKeptForALaterStepGiveWhatWorkingThemAgainGives) {
  const FilterStep peach{.settings = {.channelPower = {}, .peachOn = true}};
  const EyeStep eyeLevels{.settings = {}, .levelsPivot = true};
  const OutlineStep fine{OutlineSettings{FineWidth, 16, JudgeByLuma, OutlineRgb{255, 0, 0}}};
  const EyeStep noKey{.hornKey = 0, .settings = {}};  // passes its rows on as they come, wide samples too
  const std::vector<PictureStep> steps = {noKey, peach, EyeStep{}, peach, fine, eyeLevels};
  const std::vector<std::uint32_t> kept = StreamedSamples(steps);
  const char* folder = std::getenv("TMPDIR");
  const std::string before = folder != nullptr ? folder : "";
  ::setenv("TMPDIR", "/nonexistent/folder", 1);
  const std::vector<std::uint32_t> again = StreamedSamples(steps);
  if (folder != nullptr) ::setenv("TMPDIR", before.c_str(), 1); else ::unsetenv("TMPDIR");
  EXPECT_EQ(kept, again);
  // Samples beyond 0..255 are kept as they are: the balance reads them so.
  EXPECT_EQ(StreamedSamples({noKey, peach}), StreamedSamples({peach}));
}

// [SECTION] Recipes

// A step on the command line too.
TEST(Recipes, ReadWriteAndReadAgainGiveTheSameSteps) {
  const RecipeResult read = ReadRecipe(R"(version = 1
[[step]]
kind = "filter"
colour_power_on = true
colour_power = 140
channel_powers = [90, 100, 110]
light_core = true
light_core_from = 20
light_core_to = 230

[[step]]
kind = "eye"
horn_key = "H"
mode = 4
sun_glass = 3
pivot = [10, 20, 30]
appoint_on = true
appoint_kind = 1
appoint_box = [[0, 10], [20, 30], [40, 255]]

[[step]]
kind = "swap"
mode = 17

[[step]]
kind = "outline"
width = "fat"
judge = 40
judge_by = "every_channel"

[[step]]
kind = "add"
gray_from = 10
weights = [3, 1]

[[step]]
kind = "uni_c"
gray_from = 12
gray_to = 99
colour = [1, 2, 3]

[[step]]
kind = "contour"
operation = "one"
step = 16
scan = 3
colour_type = 5

[[step]]
kind = "local_contrast"
x = 950
y = 27
)",
                                       "r.toml");
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.steps.size(), 8u);
  // Settings a recipe leaves out keep their start values: the diamond step 8,
  // the outline black, ADD's column A, CONTOUR's ladder up to 255.
  const FilterStep& filter = std::get<FilterStep>(read.steps[0]);
  EXPECT_EQ(std::tuple(filter.lightCore, filter.settings.colourPower, filter.settings.channelPower.blue,
                       filter.settings.lightCoreStart, filter.settings.diamondStep), std::tuple(true, 140, 110, 20, 8));
  const EyeStep& eye = std::get<EyeStep>(read.steps[1]);
  EXPECT_EQ(std::tuple(eye.hornKey, eye.settings.mode, eye.settings.appointBox[0].low, eye.settings.appointBox[2].high),
            std::tuple(8, 4, 40, 10));  // the box's blue, its red
  EXPECT_EQ(eye.settings.reference, (std::array<int, 3>{30, 20, 10}));  // blue, green, red
  EXPECT_EQ(std::get<SwapStep>(read.steps[2]).settings.mode, 17);
  const OutlineSettings& outline = std::get<OutlineStep>(read.steps[3]).settings;
  EXPECT_EQ(std::tuple(outline.outlineWidth, outline.judgeValue, outline.judgeMode,
                       outline.colour.red + outline.colour.green + outline.colour.blue),
            std::tuple(FatWidth, 40, JudgeByEveryChannel, 0));
  const AddColourStep& add = std::get<AddColourStep>(read.steps[4]);
  EXPECT_EQ(add.settings.active, BuiltInNodColours.columns[0]);
  EXPECT_EQ(std::tuple(add.settings.lo, add.settings.hi, add.settings.weights.old, add.settings.weights.nod),
            std::tuple(10, 255, 3, 1));
  const GrayRangeStep& range = std::get<GrayRangeStep>(read.steps[5]);
  EXPECT_EQ(std::tuple(range.settings.lo, range.settings.hi, range.settings.colour),
            std::tuple(12, 99, UniRgb{1, 2, 3}));
  const ContourStep& contour = std::get<ContourStep>(read.steps[6]);
  EXPECT_EQ(std::tuple(contour.settings.operation, contour.settings.ladder.step, contour.settings.ladder.max,
                       contour.settings.scanIndex, contour.settings.colourType),
            std::tuple(ContourOneLevel, 16, 255, 3, 5));
  EXPECT_EQ(std::pair(std::get<LocalContrastStep>(read.steps[7]).x, std::get<LocalContrastStep>(read.steps[7]).y),
            std::pair(950, 27));
  const std::string written = WriteRecipe(read.steps);
  const RecipeResult again = ReadRecipe(written, "w.toml");
  ASSERT_TRUE(again.ok()) << again.error << "\n" << written;
  EXPECT_EQ(WriteRecipe(again.steps), written);
  const RecipeResult option = ReadStepOption("eye:horn_key=B,pivot=[1, 2, 3],mode=2");
  ASSERT_TRUE(option.ok()) << option.error;
  ASSERT_EQ(option.steps.size(), 1u);
  EXPECT_EQ(std::get<EyeStep>(option.steps[0]).hornKey, 2);
  EXPECT_EQ(std::get<EyeStep>(option.steps[0]).settings.reference, (std::array<int, 3>{3, 2, 1}));
}

TEST(Recipes, ABadRecipeGivesOneLineNamingFileLineAndSetting) {
  std::string DeepKey = "a";
  for (int k = 0; k < 200000; ++k) DeepKey += ".a";
  std::string many = "version = 1\n";
  for (std::size_t i = 0; i <= MostRecipeSteps; ++i) many += "[[step]]\nkind = \"filter\"\n";
  const struct { std::string text, error; } cases[] = {
      {"version = 1\n[[step]]\nkind = \"blur\"\n",
       "r.toml:3: kind: unknown step \"blur\" (\"eye\", \"filter\", \"contour\", \"uni_c\", \"add\", \"swap\", "
       "\"outline\" or \"local_contrast\")"},
      {"version = 1\n[[step]]\nkind = \"outline\"\njudge = 0\n", "r.toml:4: judge: 0 is outside 1..99"},
      {"version = 1\n[[step]]\nkind = \"outline\"\nwidth = \"thin\"\n",
       "r.toml:4: width: one of \"none\", \"fine\", \"middle\", \"fat\" is wanted"},
      {"version = 1\n[[step]]\nkind = \"swap\"\nmode = 22\n", "r.toml:4: mode: 22 is outside 0..21"},
      {"version = 1\n[[step]]\nkind = \"swap\"\n", "r.toml:2: mode: missing (a swap step needs its mode, 0 .. 21)"},
      {"version = 1\n[[step]]\nkind = \"add\"\nweights = [0, 0]\n",
       "r.toml:4: weights: the two weights must not both be 0"},
      {"version = 1\n[[step]]\nkind = \"add\"\nnod_colours = [[1, 2, 3]]\n",
       "r.toml:4: nod_colours: seven [red, green, blue] are wanted"},
      {"version = 1\n[[step]]\nkind = \"uni_c\"\ncolour = [1, 2]\n",
       "r.toml:4: colour: an array of 3 whole numbers is wanted"},
      {"version = 1\n[[step]]\nkind = \"uni_c\"\ngray_to = 256\n", "r.toml:4: gray_to: 256 is outside 0..255"},
      {"version = 1\n[[step]]\nkind = \"contour\"\ncolour_type = 8\n", "r.toml:4: colour_type: 8 is outside 0..7"},
      {"version = 1\n[[step]]\nkind = \"contour\"\noperation = \"some\"\n",
       "r.toml:4: operation: one of \"none\", \"all\", \"one\" is wanted"},
      {"version = 1\n[[step]]\nkind = \"eye\"\nmode = 2\n",
       "r.toml:2: horn_key: missing (an eye step needs its key, \"A\" .. \"L\")"},
      {"version = 1\n[[step]]\nkind = \"filter\"\ncolour_power = 5000\n",
       "r.toml:4: colour_power: 5000 is outside 1..1000"},
      {"version = 1\n[[step]]\nkind = \"filter\"\npeach = 1\n", "r.toml:4: peach: true or false is wanted"},
      {"version = 1\n[[step]]\nkind = \"filter\"\nsharpen = true\n", "r.toml:4: sharpen: unknown setting"},
      {"version = 1\n[[step]]\nkind = \"eye\"\nhorn_key = \"M\"\n",
       "r.toml:4: horn_key: one of the keys \"A\" .. \"L\" is wanted"},
      {"version = 1\n[[step]]\nkind = \"filter\"\nlight_core_from = 200\nlight_core_to = 100\n",
       "r.toml:2: light_core_to: must be above light_core_from"},
      {"version = 1\n[[step]]\nkind = \"local_contrast\"\nx = 10\n",
       "r.toml:2: y: missing (a local contrast step needs its centre, x and y)"},
      {"version = 1\n[[step]]\nkind = \"local_contrast\"\nx = -1\ny = 0\n", "r.toml:4: x: -1 is outside 0..29999"},
      {"version = 2\n", "r.toml:1: version: this program reads version 1 recipes"},
      {"[[step]]\nkind = \"eye\"\n", "r.toml:1: version: missing (version = 1)"},
      // Characters the TOML reader cannot take safely are refused first,
      // anywhere but in a comment as the reader sees it: a line starting
      // with '#' inside a multi-line string is no comment.
      {"version = 1\n[[step]]\nkind \xC3\xA9= \"eye\"\n",
       "r.toml:3: text: the character U+00E9 is read only in comments"},
      {"version = 1\nx = \"\"\"\n# \\ \xE3\x80\x81\n\"\"\"\n",
       "r.toml:3: text: the character U+3001 is read only in comments"},
      {"version = 1\nx = '#\xE3\x80\x81'\n", "r.toml:2: text: the character U+3001 is read only in comments"},
      // A key of more parts than the reader nests values, dotted or as a
      // table's name, is refused before it can take the reader's stack.
      {"version = 1\n" + DeepKey + " = 1\n", "r.toml:2: key: more than 256 parts in one key"},
      {"version = 1\n[" + DeepKey + "]\n", "r.toml:2: key: more than 256 parts in one key"},
      {std::string(LargestRecipeBytes + 1, '#'), "r.toml: larger than 1048576 bytes; not a recipe"},
      {many, "r.toml:2: step: more than 1000 steps"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadRecipe(c.text, "r.toml").error, c.error) << c.text;
  // No steps at all is a recipe too, and writes back as one.
  const RecipeResult empty =
      ReadRecipe("version = 1 # 、の後も\n# nothing yet、コメントは日本語でも。é\n", "r.toml");
  ASSERT_TRUE(empty.ok()) << empty.error;
  EXPECT_TRUE(empty.steps.empty());
  EXPECT_TRUE(ReadRecipe(WriteRecipe({}), "w.toml").ok());
  EXPECT_EQ(ReadRecipe("version = = 1\n", "r.toml").error.rfind("r.toml:1: not TOML: ", 0), 0u);
  EXPECT_EQ(ReadStepOption("filter:peach=yes").error, "--step filter:peach=yes: peach: true or false is wanted");
}

// [SECTION] "Save" of the whole picture

namespace {

const std::vector<std::string> EveryBoxTicked = {
    "[x] 画像全体 (1200 × 810)", "[x] 手順も NAME.toml として保存する",
    "[x] 画像の縁まで処理する（オフ：縁は画面と同じ、アイの白い枠など）"};

// A session on a 1200 x 810 picture, its file name in `picture`.
struct LargeSession {
  ProgramSession s;
  std::string picture = s.PathIn("large.bmp");
  LargeSession() {
    WriteTestPicture(picture, 1200, 810, Varied);
    s.Start(picture);
    s.dialogs().TakeShown();
  }
  // "Save" answered with `name`, every check box on.
  std::vector<ScriptedDialogs::Shown> SaveWhole(const std::string& name) {
    s.dialogs().QueueFile(s.PathIn(name), true);
    s.Click(SaveTabX, TabY);
    return s.dialogs().TakeShown();
  }
  Bytes AtOwnSize(const std::vector<PictureStep>& steps) const { return BmpOf(steps, picture, true); }
  // "Save" of the whole picture, every box ticked, writes `expected`.
  void ExpectWholeSave(const Bytes& expected) {
    const std::string name = "whole" + std::to_string(++saves) + ".bmp";
    const std::vector<ScriptedDialogs::Shown> shown = SaveWhole(name);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0].checks, EveryBoxTicked) << name;
    EXPECT_EQ(FileBytes(s.PathIn(name)), expected) << name;
  }
  int saves = 0;
};

}  // namespace

TEST(WholePictureSave, TheTopPassAndFilterAreRunAgainOnTheWholePictureWithTheirRecipe) {
  LargeSession l;
  EXPECT_EQ(l.SaveWhole("plain.bmp")[0].checks, EveryBoxTicked);
  EXPECT_EQ(FileBytes(l.s.PathIn("plain.bmp")), FileBytes(l.picture));  // no steps: the picture itself, whole

  l.s.ClickControl(PageTop, "F");
  l.s.ClickTab(PageFilter);
  l.s.ClickControl(PageFilter, "action");
  ASSERT_EQ(l.SaveWhole("whole.bmp").size(), 1u);  // the dialog only: nothing is lost, so nothing is asked
  const std::vector<PictureStep> steps = {EyeStep{}, ColourPower};
  EXPECT_EQ(FileBytes(l.s.PathIn("whole.bmp")), l.AtOwnSize(steps));
  EXPECT_GT(l.s.dialogs().ProgressReportsSeen(), 1);
  const RecipeResult recipe = ReadRecipeFile(l.s.PathIn("whole.toml"));
  ASSERT_TRUE(recipe.ok()) << recipe.error;
  EXPECT_EQ(WriteRecipe(recipe.steps), WriteRecipe(steps));
}

// CONTOUR draws over the picture at each paint: "Save" writes the whole
// picture through the same contour, the scan as well, and keeps neither.
// FILTER then starts again from the inner memory, which TOP's pass left: its
// whole picture has the eye pass and its own work.
TEST(WholePictureSave, TheContourIsDrawnOverTheWholePicture) {
  LargeSession l;
  l.s.ClickControl(PageTop, "F");
  l.s.ClickTab(PageContour);
  l.s.ClickControl(PageContour, " limit area");
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, ContourStep{.settings = {.operation = ContourAllLevels}}}));
  // Scan 6 is level 40, which 138 pixels of the eye-passed picture have; the
  // scans beside it, levels 32 and 48, have 1 and 537 (levels 0 and 8 none).
  for (int k = 0; k < 6; ++k) l.s.ClickControl(PageContour, " scan %3d");
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, ContourStep{.settings = {.operation = ContourOneLevel, .scanIndex = 6}}}));
  l.s.ClickControl(PageContour, " scan %3d");  // left without "set KEEP5": it goes with the page
  EXPECT_EQ(StepsSoFar().size(), 2u);
  l.s.ClickTab(PageFilter);
  l.s.ClickControl(PageFilter, "action");
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, ColourPower}));
}

// VANTOR EYE's pass over every row is a step with its own settings; Restore
// goes back to the picture as the page was entered, and its steps. A local
// contrast fixed by a right click near the canvas's right and top edges is a
// step around its point; the preview is one while it is shown.
TEST(WholePictureSave, TheVantorEyePagesPassAndAFixedLocalContrastAreRunOnTheWholePicture) {
  LargeSession l;
  l.s.ClickTab(PageEye);
  l.s.ClickControl(PageEye, "F");
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{.settings = EyeParameters{.eyeWindowShift = 16}}}));
  l.s.Click(960, TabY);
  l.ExpectWholeSave(FileBytes(l.picture));
  l.s.ClickTab(PageOutline);
  l.s.ClickControl(PageOutline, "2)L Contrast");
  l.s.Click(1050, 60);
  l.s.RightClick(1050, 60);
  const LocalContrastStep step{950, 27};
  l.ExpectWholeSave(l.AtOwnSize({step, step}));
  EXPECT_NE(l.AtOwnSize({step, step}), l.AtOwnSize({step}));
}

// ADD works the picture itself: each addition is a step; "hd" and the reset
// marks start again from KEEP6 (the picture as entered), and so do the steps.
// DEVELOP's swap at x1 draws over the picture: "Save" writes it, a mode
// chosen after the save is drawn over the picture as it was, and the swap
// goes with the page. The outline is found on the whole picture: also along
// the canvas's right and top edges, which lie inside the picture.
TEST(WholePictureSave, AddDevelopsSwapAndTheOutlineAreRunOnTheWholePicture) {
  LargeSession l;
  l.s.ClickControl(PageTop, "F");
  l.s.ClickTab(PageAdd);
  l.s.ClickControls(PageAdd, {"add", "add"});
  const AddColourStep soft{AddColourSettings{BuiltInNodColours.columns[0], 0, 255, SoftWeights}};
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, soft, soft}));
  l.s.ClickControl(PageAdd, "hd");
  const AddColourStep hard{AddColourSettings{BuiltInNodColours.columns[0], 0, 255, HardWeights}};
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, hard}));
  l.s.ClickTab(PageDevelop);
  l.s.ClickControls(PageDevelop, {"swap color", "12 (R)(G)(B)"});
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, hard, SwapStep{SwapSettings{12}}}));
  l.s.ClickControl(PageDevelop, "17 eel");
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, hard, SwapStep{SwapSettings{17}}}));
  l.s.ClickTab(PageOutline);
  l.s.ClickControl(PageOutline, "fine");
  const OutlineStep fine{OutlineSettings{FineWidth, 16, JudgeByLuma, OutlineRgb{0, 0, 0}}};
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}, hard, fine}));
  EXPECT_NE(l.AtOwnSize({EyeStep{}, hard, fine}), l.AtOwnSize({EyeStep{}, hard}));
}

TEST(WholePictureSave, RestoringAKeepFileBringsBackTheStepsItWasWrittenWith) {
  LargeSession l;
  l.s.ClickControls(PageTop, {"F", "save KEEP0"});
  l.s.ClickControl(PageTop, "F");  // a second pass, after the keep file
  l.s.Click(968, TabY);            // "Restore": KEEP0 back
  l.ExpectWholeSave(l.AtOwnSize({EyeStep{}}));
}

TEST(WholePictureSave, AStoppedSaveWritesNothingAndAfterWorkThatIsNoStepOnlyTheShownPartCanBeSaved) {
  LargeSession l;
  l.s.ClickControl(PageTop, "F");
  const Bytes before = FileBytes(l.picture);
  l.s.dialogs().StopProgressAfter(2);
  l.s.dialogs().QueueAnswer(MessageAnswer::Yes);  // the picture itself is to be replaced
  EXPECT_EQ(l.SaveWhole("large.bmp").size(), 2u);  // the question; stopped by the user: no message
  EXPECT_EQ(FileBytes(l.picture), before);
  EXPECT_FALSE(fs::exists(l.s.PathIn("large.toml")));
  for (const fs::directory_entry& entry : fs::directory_iterator(l.s.Folder()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  // The picture changed by something no step describes: a brush stroke, fixed.
  l.s.ClickTab(PageOutline);
  l.s.ClickControl(PageOutline, "4)Brush");
  l.s.Drag(300, 300, 500, 400);
  l.s.RightClick(400, 350);
  l.s.dialogs().QueueAnswer(MessageAnswer::Yes);
  const std::vector<ScriptedDialogs::Shown> shown = l.SaveWhole("part.bmp");
  ASSERT_GE(shown.size(), 1u);
  EXPECT_EQ(shown[0].checks,
            (std::vector<std::string>{"[-] 画像全体 (1200 × 810)", "[-] 手順も NAME.toml として保存する",
                                      "[-] 画像の縁まで処理する（オフ：縁は画面と同じ、アイの白い枠など）"}));
  EXPECT_NE(shown[0].note.find("表示されている部分だけを保存できます"), std::string::npos);
  EXPECT_EQ(FileBytes(l.s.PathIn("part.bmp")).size(), 54u + 960u * 672u * 3u);
  EXPECT_FALSE(fs::exists(l.s.PathIn("part.toml")));
}

// The driver's save-whole, after TOP's pass: the whole picture, and a recipe
// that gives it again through the batch tool.
TEST(WholePictureSave, TheDriverAnswerSaveWholeTicksBothBoxes) {
  ProgramSession s;
  WriteTestPicture(s.PathIn("large.bmp"), 1200, 810, Varied);
  const std::string report =
      ScriptReport(s.Folder(), "open large.bmp\n" + ClickLine(PageTop, "F") + "save-whole out.bmp\nclick 912 10\n");
  EXPECT_NE(report.find("dialog check: 画像全体 (1200 × 810)"), std::string::npos) << report;
  ASSERT_EQ(std::system((std::string(VZ_BINARY_DIR) + "/tools/batch/vazesample-batch --quiet --recipe " +
                         s.PathIn("out.toml") + " --out " + s.PathIn("batch") + " " + s.PathIn("large.bmp"))
                            .c_str()),
            0);
  EXPECT_EQ(FileBytes(s.PathIn("batch/large.bmp")), FileBytes(s.PathIn("out.bmp")));
}
