#include "ops/stage.h"

#include <algorithm>

PlaneView StepPlanes::View() {
  PlaneView view;
  for (std::size_t k = 0; k < 3; ++k) view.plane[k] = plane[k].data();
  view.stride = width;
  view.rows = height;
  return view;
}

std::vector<std::uint8_t> CanvasBytesOf(const PlaneView& planes, int width, int height) {
  std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * height * 3);
  for (int row = 0; row < height; ++row) {
    std::uint8_t* to = canvas.data() + static_cast<std::size_t>(row) * width * 3;
    for (int column = 0; column < width; ++column) {
      for (int k = 0; k < 3; ++k) to[3 * column + k] = static_cast<std::uint8_t>(planes.at(k, row, column));
    }
  }
  return canvas;
}

void PlanesFromCanvasBytes(const std::uint8_t* canvas, int width, int height, const PlaneView& planes) {
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* from = canvas + static_cast<std::size_t>(row) * width * 3;
    for (int column = 0; column < width; ++column) {
      for (int k = 0; k < 3; ++k) planes.at(k, row, column) = from[3 * column + k];
    }
  }
}

Stage CanvasPainterStage(CanvasPainter paint) {
  Stage stage;
  stage.canvas = [paint](const PlaneView& planes, std::uint8_t* canvas, int stride, int width, int height,
                         const CanvasArea&) { paint(planes, canvas, stride, width, height); };
  stage.pixels = [paint = std::move(paint)](const PlaneView& rows, int count, const StageFrame& frame, const WholeValues&) {
    // The planes' low bytes into a canvas, the painting over it, and the
    // canvas back into the planes: as a page paints the canvas from the
    // planes and "Set" takes the canvas into them.
    std::vector<std::uint8_t> canvas = CanvasBytesOf(rows, frame.width, count);
    paint(rows, canvas.data(), frame.width, frame.width, count);
    PlanesFromCanvasBytes(canvas.data(), frame.width, count, rows);
  };
  return stage;
}

Stage PixelStage(std::function<void(const PlaneView& rows, int width, int count, const WholeValues&)> work,
                 WholeNeed need) {
  Stage stage;
  stage.need = need;
  stage.pixels = [work = std::move(work)](const PlaneView& rows, int count, const StageFrame& frame,
                                          const WholeValues& values) {
    // The routines walk stride x rows: rows further apart (a window's, kept
    // with samples beyond their ends) are worked one at a time.
    if (rows.stride == frame.width) {
      PlaneView band = rows;
      band.rows = count;
      work(band, frame.width, count, values);
      return;
    }
    for (int row = 0; row < count; ++row) {
      PlaneView one = rows;
      for (auto& plane : one.plane) plane += static_cast<std::size_t>(row) * rows.stride;
      one.stride = frame.width;
      one.rows = 1;
      work(one, frame.width, 1, values);
    }
  };
  return stage;
}

WholeValues WholeValuesOf(const Stage& stage, const PlaneView& planes, int width, int height) {
  WholeValues values;
  if (stage.need == WholeNeed::Levels) values.levels = ChannelLevelsOf(planes, width, height);
  if (stage.need == WholeNeed::AnyLit) {
    values.anyLit = false;
    for (int k = 0; k < 3 && !values.anyLit; ++k) {
      for (int row = 0; row < height && !values.anyLit; ++row) {
        for (int column = 0; column < width && !values.anyLit; ++column) values.anyLit = stage.lit[planes.at(k, row, column) & 0xFFu];
      }
    }
  }
  return values;
}

std::optional<WholeValues> RunStages(std::span<const Stage> stages, const PlaneView& planes, const StageFrame& frame) {
  std::optional<WholeValues> levels;
  const int width = frame.width, height = frame.height;
  if (width <= 0 || height <= 0) return levels;
  for (const Stage& stage : stages) {
    const WholeValues values = WholeValuesOf(stage, planes, width, height);
    if (stage.need == WholeNeed::Levels) levels = values;
    switch (stage.reads) {
      case Stage::Reads::Pixels: {
        PlaneView rows = planes;
        rows.rows = height;
        stage.pixels(rows, height, frame, values);
        break;
      }
      case Stage::Reads::Window: {
        // Every row from the planes as they were before the stage: a copy,
        // grown by the reach when the edges are extended.
        const int pad = stage.reach;
        if (frame.edges == Edges::Extend) {
          EdgeExtendedPlanes source = EdgeExtended(planes, width, height, pad);
          PlaneView inside = source.Inside();
          for (auto& plane : inside.plane) plane -= static_cast<std::size_t>(pad) * inside.stride;
          stage.window(inside, -pad, height + 2 * pad, planes, 0, height, frame, values);
        } else {
          EdgeExtendedPlanes source = EdgeExtended(planes, width, height, 0);
          stage.window(source.Inside(), 0, height, planes, 0, height, frame, values);
        }
        break;
      }
      case Stage::Reads::Region: {
        const RowSpan span = stage.region(frame);
        const int first = std::clamp(span.first, 0, height), end = std::clamp(span.end, first, height);
        if (first >= end) break;
        PlaneView rows = planes;
        for (auto& plane : rows.plane) plane += static_cast<std::size_t>(first) * planes.stride;
        rows.rows = end - first;
        stage.regionWork(rows, RowSpan{first, end}, frame);
        break;
      }
    }
  }
  return levels;
}
