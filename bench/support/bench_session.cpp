#include "support/bench_session.h"

#include <unistd.h>

#include <system_error>

#include "app/program.h"
#include "image/bmp_files.h"
#include "image/planes.h"
#include "image/sample_scene.h"
#include "platform/files.h"
#include "platform/window.h"

std::vector<std::uint8_t> SampleSceneBmp() { return EncodePictureBmp(MakeSampleScene(Stride, CanvasRows)); }

BenchSession::BenchSession(const std::vector<std::uint8_t>& pictureFile)
    : window(ProgramHandlers(), ProgramTitleAtStart) {
  previous = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "vazesample-bench-XXXXXX").string();
  folder = ::mkdtemp(pattern.data());
  std::filesystem::current_path(folder);
  StartProgram();
  UseDialogs(&dialogs);
  UseWindow(&window);
  WriteFileAtomically("picture.bmp", pictureFile);
  dialogs.QueueFile(std::string("picture.bmp"));
  window.Invalidate();
  window.RunPendingPaints();
}

BenchSession::~BenchSession() {
  UseDialogs(nullptr);
  UseWindow(nullptr);
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

void BenchSession::Click(int x, int y) {
  window.Deliver({MessageKind::LeftDown, x, y, 0, true});
  window.Deliver({MessageKind::LeftUp, x, y, 0, false});
  window.RunPendingPaints();
}

void BenchSession::Drag(int x1, int y1, int x2, int y2) {
  window.Deliver({MessageKind::LeftDown, x1, y1, 0, true});
  for (int k = 1; k <= 16; ++k) {
    window.Deliver({MessageKind::MouseMove, x1 + (x2 - x1) * k / 16, y1 + (y2 - y1) * k / 16, 0, true});
  }
  window.Deliver({MessageKind::LeftUp, x2, y2, 0, false});
  window.RunPendingPaints();
}

void BenchSession::Repaint() {
  window.Invalidate();
  window.RunPendingPaints();
}

void BenchSession::Key(int key, bool control, bool shift) {
  window.Deliver({.kind = MessageKind::KeyDown, .key = key, .control = control, .shift = shift});
  window.RunPendingPaints();
}

void BenchSession::Wheel(int notches, bool shift) {
  window.Deliver({.kind = MessageKind::Wheel, .shift = shift, .wheel = notches});
  window.RunPendingPaints();
}
