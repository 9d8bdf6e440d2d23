#include "support/program_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/pages.h"
#include "app/program.h"
#include "pages/kit/step_list.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "ops/recipe.h"
#include "platform/files.h"

ProgramSession::ProgramSession() : window_(ProgramHandlers(), ProgramTitleAtStart) {
  previousFolder_ = std::filesystem::current_path().string();
  std::string pattern = (std::filesystem::temp_directory_path() / "vazesample-test-XXXXXX").string();
  folder_ = ::mkdtemp(pattern.data());
  std::filesystem::current_path(folder_);
  StartProgram();
  UseDialogs(&dialogs_);
  UseWindow(&window_);
  // Every save in a test that offers the whole picture checks that the
  // steps give what the canvas shows.
  CheckStepsAtSaves([](const std::string& why) { ADD_FAILURE() << "at a save: " << why; });
}

ProgramSession::~ProgramSession() {
  CheckStepsAtSaves(nullptr);
  UseDialogs(nullptr);
  UseWindow(nullptr);
  std::filesystem::current_path(previousFolder_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void ProgramSession::Start(const std::string& picture) {
  dialogs_.QueueFile(picture.empty() ? std::nullopt : std::optional<std::string>(picture));
  window_.Invalidate();
  Paint();
}

void ProgramSession::StartOnPage(int page, Rgb (*colour)(int x, int y), int width, int height) {
  const std::string picture = PathIn("picture.bmp");
  WriteTestPicture(picture, width, height, colour);
  Start(picture);
  Click(TabLeft(page) + TabWidth / 2, 15);  // the page's tab
}

void ProgramSession::Paint() { window_.RunPendingPaints(); }

void ProgramSession::Click(int x, int y) {
  window_.Deliver({MessageKind::LeftDown, x, y, 0, true});
  window_.Deliver({MessageKind::LeftUp, x, y, 0, false});
  Paint();
}

void ProgramSession::ClickControl(int page, const std::string& label) {
  const ControlPoint point = ControlOf(page, label);
  ASSERT_GE(point.x, 0) << "page " << page << " has no control \"" << label << "\"";
  Click(point.x, point.y);
}

void ProgramSession::ClickControls(int page, std::initializer_list<const char*> labels) {
  for (const char* label : labels) ClickControl(page, label);
}

void ProgramSession::ClickControlWithFile(int page, const std::string& label, const std::optional<std::string>& file) {
  dialogs_.QueueFile(file);
  ClickControl(page, label);
}

ControlPoint ControlOf(int page, const std::string& label) {
  if (page < 0 || page >= PageCount) return {};
  for (const std::span<const PanelKey> panel : PageTable[static_cast<std::size_t>(page)]->panels) {
    if (const PanelKey* key = FindPanelKeyByText(panel, label)) {
      const PanelPoint centre = PanelKeyCentre(*key);
      return {centre.x, centre.y};
    }
  }
  return {};
}

std::string ClickLine(int page, const std::string& label) {
  const ControlPoint point = ControlOf(page, label);
  EXPECT_GE(point.x, 0) << "page " << page << " has no control \"" << label << "\"";
  return "click " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
}

void ProgramSession::RightClick(int x, int y) {
  window_.Deliver({MessageKind::RightDown, x, y, 0, false});
  Paint();
}

void ProgramSession::Drag(int x1, int y1, int x2, int y2, int steps) {
  window_.Deliver({MessageKind::LeftDown, x1, y1, 0, true});
  for (int k = 1; k <= steps; ++k) {
    window_.Deliver({MessageKind::MouseMove, x1 + (x2 - x1) * k / steps, y1 + (y2 - y1) * k / steps, 0, true});
  }
  window_.Deliver({MessageKind::LeftUp, x2, y2, 0, false});
  Paint();
}

void ProgramSession::Move(int x, int y) {
  window_.Deliver({MessageKind::MouseMove, x, y, 0, false});
  Paint();
}

void ProgramSession::KeyEnter() { Key(13); }

void ProgramSession::Key(int key, bool control, bool shift) {
  window_.Deliver({.kind = MessageKind::KeyDown, .key = key, .control = control, .shift = shift});
  Paint();
}

void ProgramSession::Wheel(int notches, bool shift) {
  window_.Deliver({.kind = MessageKind::Wheel, .shift = shift, .wheel = notches});
  Paint();
}

void ProgramSession::Close() {
  window_.Deliver({MessageKind::Close, 0, 0, 0, false});
  Paint();
}

Rgb ProgramSession::Pixel(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * Surface::Width + static_cast<std::size_t>(x)) * 3;
  const auto& shown = window_.Shown();
  return Rgb{shown[i], shown[i + 1], shown[i + 2]};
}

void ExpectShown(const ProgramSession& s, std::initializer_list<ShownPixel> pixels) {
  for (const ShownPixel& p : pixels) {
    EXPECT_EQ(s.Pixel(p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
  }
}

std::vector<std::uint8_t> ProgramSession::ShownCanvas() const {
  std::vector<std::uint8_t> canvas(960 * 672 * 3);
  for (int row = 0; row < 672; ++row) {
    for (int column = 0; column < 960; ++column) {
      const Rgb p = Pixel(100 + column, 32 + 671 - row);
      const std::size_t i = (static_cast<std::size_t>(row) * 960 + static_cast<std::size_t>(column)) * 3;
      canvas[i] = p.b;
      canvas[i + 1] = p.g;
      canvas[i + 2] = p.r;
    }
  }
  return canvas;
}

void WriteTestPicture(const std::string& path, int width, int height, Rgb (*colour)(int x, int y)) {
  const auto file = EncodeBmp(width, height, 0, [&](int row, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, height - 1 - row);
      out[3 * x] = c.b;
      out[3 * x + 1] = c.g;
      out[3 * x + 2] = c.r;
    }
  });
  WriteFileAtomically(path, file);
}

std::vector<std::uint8_t> KeepFileOf(const std::vector<std::uint8_t>& canvas, std::uint16_t scale) {
  return EncodeBmp(960, 672, scale, [&](int row, std::uint8_t* out) {
    std::copy_n(canvas.begin() + static_cast<std::ptrdiff_t>(row) * 960 * 3, 960 * 3, out);
  });
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  auto bytes = ReadWholeFile(path, 1u << 30);
  return bytes ? *bytes : std::vector<std::uint8_t>{};
}

std::string CanvasDifference(const std::vector<std::uint8_t>& shown, const std::vector<std::uint8_t>& expected) {
  if (shown.size() != expected.size()) {
    return "sizes " + std::to_string(shown.size()) + " and " + std::to_string(expected.size());
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != expected[i]) {
      const std::size_t pixel = i / 3;
      return "byte " + std::to_string(i) + " (plane row " + std::to_string(pixel / Stride) + ", column " +
             std::to_string(pixel % Stride) + ", channel " + std::to_string(i % 3) + "): " +
             std::to_string(shown[i]) + " instead of " + std::to_string(expected[i]);
    }
  }
  return "";
}

DriverRun RunDriverScript(const std::string& folder, const std::string& script) {
  DriverRun run;
  std::vector<DriveCommand> commands;
  if (!ParseDriveScript(script, "script.txt", commands, &run.error)) return run;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const DriveSetup setup{.scriptName = "script.txt",
                         .scriptFolder = folder,
                         .workFolder = folder,
                         .startTitle = ProgramTitleAtStart,
                         .startProgram = StartProgram,
                         .handlers = ProgramHandlers,
                         .writeShot = {},
                         .afterInput = {}};
  std::ostringstream out, err;
  run.ok = RunDriveScript(commands, setup, out, err) == 0;
  std::filesystem::current_path(previous);
  run.report = out.str();
  run.error = err.str();
  return run;
}

std::string ScriptReport(const std::string& folder, const std::string& script) {
  const DriverRun run = RunDriverScript(folder, script);
  EXPECT_TRUE(run.ok) << run.error;
  return run.report;
}

Rgb KeepFilePixel(const std::vector<std::uint8_t>& file, int column, int row) {
  const std::size_t at = BmpHeaderBytes + (static_cast<std::size_t>(row) * Stride + column) * 3;
  if (file.size() < at + 3) return Rgb{1, 2, 3};
  return Rgb{file[at + 2], file[at + 1], file[at]};
}

std::string KindsOf(const std::string& recipe) {
  const RecipeResult read = ReadRecipeFile(recipe);
  if (!read.ok()) return "(" + read.error + ")";
  std::string kinds;
  for (const PictureStep& step : read.steps) {
    if (!kinds.empty()) kinds += ' ';
    kinds += KindOf(step);
  }
  return kinds;
}
