#include "pages/kit/step_list.h"

#include "pages/kit/page_state.h"

#include <algorithm>
#include <array>
#include <vector>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "ops/recipe.h"
#include "platform/files.h"

namespace {

// The steps of a picture, and the last work it was given that is not a step.
struct History {
  std::vector<PictureStep> steps;
  std::optional<BilingualText> notAStep;
};

History Kept;
std::optional<PictureStep> PageStep;
std::optional<PictureStep> ShownStep;
std::optional<BilingualText> ShownNotAStep;
History InnerSteps;

// What each keep slot was written with in this run, and where the canvas
// lay in the picture then.
struct WrittenKeep {
  std::string picture;
  std::optional<FileStamp> stamp;
  History history;
  PictureWindow window;
};

constexpr BilingualText KeepReadWork{"←復元 / ←呼出 (KEEP)", "Restore / Get (KEEP)"};

History HistorySoFar() { return History{StepsSoFar(), Kept.notAStep}; }
std::array<std::optional<WrittenKeep>, 14> Keeps;

constexpr std::array<StateBlock, 6> StepListBlocks{StateBlockOf<Kept>(),          StateBlockOf<PageStep>(),
                                                   StateBlockOf<ShownStep>(),     StateBlockOf<ShownNotAStep>(),
                                                   StateBlockOf<InnerSteps>(),    StateBlockOf<Keeps>()};

// A step of a page, made on the canvas, as the picture keeps it.
PictureStep InPicture(const PictureStep& step) {
  const PictureWindow window = WindowOfPictureInHand();
  return StepInPictureFrom(step, window.left, window.top);
}
std::optional<PictureStep> InPicture(const std::optional<PictureStep>& step) {
  if (!step) return std::nullopt;
  return InPicture(*step);
}

// The step of the page shown becomes part of the list.
void KeepPageStep() {
  if (PageStep) Kept.steps.push_back(*PageStep);
  PageStep.reset();
}

// The picture in hand given as `history`; the inner memory stays as it is.
void StepsAre(const History& history) {
  Kept = history;
  PageStep.reset();
  ShownStep.reset();
  ShownNotAStep.reset();
}

}  // namespace

void StartStepList() {
  StepsAre({});
  InnerSteps = {};
}

void AddStep(const PictureStep& step) {
  KeepPageStep();
  Kept.steps.push_back(InPicture(step));
}

void SetPageStep(const std::optional<PictureStep>& step) { PageStep = InPicture(step); }

void SetShownStep(const std::optional<PictureStep>& step) { ShownStep = InPicture(step); }

void KeepShownStep() {
  if (ShownNotAStep) Kept.notAStep = ShownNotAStep;
  ShownNotAStep.reset();
  if (!ShownStep) return;
  KeepPageStep();
  Kept.steps.push_back(*ShownStep);
  ShownStep.reset();
}

void DropShownStep() {
  ShownStep.reset();
  ShownNotAStep.reset();
}

void NoteNotAStep(const BilingualText& work) { Kept.notAStep = work; }

void NoteInnerNotAStep(const BilingualText& work) { InnerSteps.notAStep = work; }

void SetShownNotAStep(const std::optional<BilingualText>& work) { ShownNotAStep = work; }

std::optional<BilingualText> WorkThatIsNotAStep() { return ShownNotAStep ? ShownNotAStep : Kept.notAStep; }

bool SomethingShown() { return ShownStep.has_value() || ShownNotAStep.has_value(); }

std::vector<PictureStep> StepsOfThePlanes() {
  std::vector<PictureStep> steps = Kept.steps;
  if (PageStep) steps.push_back(*PageStep);
  return steps;
}

std::vector<PictureStep> StepsOfTheInnerMemory() { return InnerSteps.steps; }

std::optional<BilingualText> WorkAMoveDrops() { return WorkThatIsNotAStep() ? WorkThatIsNotAStep() : InnerSteps.notAStep; }

void ForgetWorkThatIsNotAStep() {
  Kept.notAStep.reset();
  ShownNotAStep.reset();
  InnerSteps.notAStep.reset();
}

std::string StepListDigest() {
  const auto text = [](const std::optional<BilingualText>& work) { return std::string(work ? work->english : "-"); };
  return WriteRecipe(StepsSoFar()) + "|" + text(Kept.notAStep) + "|" + text(ShownNotAStep) + "|" +
         WriteRecipe(InnerSteps.steps) + "|" + text(InnerSteps.notAStep);
}

std::span<const StateBlock> StepListStates() { return StepListBlocks; }

std::vector<PictureStep> StepsSoFar() {
  std::vector<PictureStep> steps = Kept.steps;
  if (PageStep) steps.push_back(*PageStep);
  if (ShownStep) steps.push_back(*ShownStep);
  return steps;
}

void NoteInnerSet() { InnerSteps = HistorySoFar(); }

void StartFromInner() { StepsAre(InnerSteps); }

void NoteKeepWritten(int slot, const std::string& picture, const std::string& file) {
  if (slot < 0 || slot >= static_cast<int>(Keeps.size())) return;
  Keeps[static_cast<std::size_t>(slot)] = WrittenKeep{picture, StampOfFile(file), HistorySoFar(), WindowOfPictureInHand()};
}

void NoteKeepRead(int slot, const std::string& picture, const std::string& file) {
  // A keep file this run did not write from this picture holds a picture
  // that no steps of the picture in hand give.
  StepsAre({{}, KeepReadWork});
  if (slot < 0 || slot >= static_cast<int>(Keeps.size())) return;
  const std::optional<WrittenKeep>& keep = Keeps[static_cast<std::size_t>(slot)];
  const std::optional<FileStamp> stamp = StampOfFile(file);
  if (keep && keep->picture == picture && stamp && keep->stamp == stamp && keep->window == WindowOfPictureInHand()) {
    Kept = keep->history;
  }
}

bool StepsGiveThePicture() {
  const ShownPart part = ShownPartToWrite();
  return ViewScale == 1 && !WorkThatIsNotAStep() && part.columns == std::min(PictureInHandWidth(), Stride) &&
         part.rows == std::min(PictureInHandHeight(), CanvasRows);
}

namespace {
std::function<void(const std::string&)> StepsCheckFailed;
}

void CheckStepsAtSaves(std::function<void(const std::string& why)> failed) { StepsCheckFailed = std::move(failed); }

void CheckStepsAtSave(const std::uint8_t* canvas) {
  if (!StepsCheckFailed || !StepsGiveThePicture() || StepsGiveTheShownPart(canvas)) return;
  std::string kinds;
  for (const PictureStep& step : StepsSoFar()) kinds += std::string(kinds.empty() ? "" : " ") + KindOf(step);
  StepsCheckFailed("on page " + std::to_string(PageId) + " the steps (" + kinds +
                   ") do not give the shown part, and no page said why");
}

bool StepsGiveTheShownPart(const std::uint8_t* canvas) {
  if (ViewScale != 1) return false;
  const int width = std::min(PictureInHandWidth(), Stride);
  const int height = std::min(PictureInHandHeight(), CanvasRows);
  const ShownPart part = ShownPartToWrite();
  if (width <= 0 || height <= 0 || part.columns != width || part.rows != height) return false;
  // The part of the picture the canvas holds, as a picture of its own.
  std::vector<std::uint8_t> held(static_cast<std::size_t>(CanvasByteCount), 255);
  CopyPictureInHand(held.data());
  Picture corner{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    CopySwappingRedAndBlue(held.data() + static_cast<std::size_t>(CanvasRows - 1 - y) * Stride * 3,
                           corner.rgb.data() + static_cast<std::size_t>(y) * width * 3, static_cast<std::size_t>(width));
  }
  const PictureWindow window = WindowOfPictureInHand();
  const Picture result = ApplySteps(StepsOnCanvasAt(StepsSoFar(), window.left, window.top), corner);
  for (int y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    CopySwappingRedAndBlue(canvas + static_cast<std::size_t>(CanvasRows - 1 - y) * Stride * 3, row.data(),
                           static_cast<std::size_t>(width));
    if (!std::equal(row.begin(), row.end(), result.rgb.begin() + static_cast<long>(y) * width * 3)) return false;
  }
  return true;
}
