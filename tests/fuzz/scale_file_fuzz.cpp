// Fuzz target: the reader of the window's remembered scale. Whatever the
// bytes, it names no step (0) or one of the steps the window offers, and the
// line it writes for that step reads back as the same step.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int tenths = ScaleStepOfText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (tenths == 0) return 0;
  if (std::find(ScaleSteps.begin(), ScaleSteps.end(), tenths) == ScaleSteps.end()) std::abort();
  const std::string line = "scale = " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "\n";
  if (ScaleStepOfText(line) != tenths) std::abort();
  return 0;
}
