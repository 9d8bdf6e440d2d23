#include "ops/outline_step.h"

OutlineStep OutlineStep::RecipeStart() {
  OutlineStep step;
  step.settings.outlineWidth = FineWidth;  // the colour black, as the page starts
  return step;
}

const FieldTable<OutlineStep>& OutlineStep::Fields() {
  using S = OutlineStep;
  static const FieldTable<S> fields = {
      WordField<S>("width", {"none", "fine", "middle", "fat"}, {NoOutline, FineWidth, MiddleWidth, FatWidth},
                   [](const S& s) { return s.settings.outlineWidth; }, [](S& s, int v) { s.settings.outlineWidth = v; }),
      IntegerField<S>("judge", [](S& s) -> int& { return s.settings.judgeValue; }, LowestJudgeValue, HighestJudgeValue),
      WordField<S>("judge_by", {"every_channel", "luma"}, {JudgeByEveryChannel, JudgeByLuma},
                   [](const S& s) { return s.settings.judgeMode; }, [](S& s, int v) { s.settings.judgeMode = v; }),
      ColourField<S>("colour", [](S& s) -> OutlineRgb& { return s.settings.colour; }),
  };
  return fields;
}

void OutlineRowsInto(const OutlineSettings& settings, const PlaneView& planes, int width, int height, int firstRow,
                     int rows, int firstColumn, int columns, const PlaneView& to) {
  // The detector reads the planes as they are and paints a canvas of their
  // low bytes, as the page paints the canvas it made from the planes.
  std::vector<std::uint8_t> canvas = CanvasBytesOf(planes, width, height);
  PaintOutlinePixels(planes, canvas.data(), width, width, height, settings);
  for (int row = 0; row < rows; ++row) {
    const std::uint8_t* line = canvas.data() + (static_cast<std::size_t>(firstRow + row) * width + firstColumn) * 3;
    for (int column = 0; column < columns; ++column) {
      for (int k = 0; k < 3; ++k) to.at(k, row, column) = line[3 * column + k];
    }
  }
}

std::vector<Stage> OutlineStep::Stages() const {
  Stage stage;
  stage.reads = Stage::Reads::Window;
  stage.reach = OutlineBorder(settings.outlineWidth);
  stage.slow = true;
  stage.window = [settings = settings, reach = stage.reach](const PlaneView& window, int windowFirst, int windowRows,
                                                            const PlaneView& band, int first, int count,
                                                            const StageFrame& frame, const WholeValues&) {
    // With the edges extended the rows reach beyond the picture by the
    // detector's border, so that every pixel of the picture is judged.
    const int pad = frame.edges == Edges::Extend ? reach : 0;
    PlaneView padded = window;
    for (auto& plane : padded.plane) plane -= pad;
    OutlineRowsInto(settings, padded, frame.width + 2 * pad, windowRows, first - windowFirst, count, pad, frame.width,
                    band);
  };
  stage.canvas = [settings = settings](const PlaneView& planes, std::uint8_t* canvas, int stride, int width, int height,
                                       const CanvasArea&) {
    PaintOutlinePixels(planes, canvas, stride, width, height, settings);
  };
  return {stage};
}
