#include "support/golden.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/picture_loader.h"
#include "platform/surface.h"
#include "platform/text.h"

bool GoldenFontPresent() {
  const std::string file = PanelFontFile();
  return file.size() >= 8 && file.compare(file.size() - 8, 8, "ipag.ttf") == 0;
}

bool MakingGoldens() {
  const char* value = std::getenv(MakeGoldensVariable);
  return value != nullptr && std::string(value) == "1";
}

std::string CompareWithGolden(const std::string& name, const std::vector<std::uint8_t>& rgb) {
  const std::string golden = std::string(VZ_SOURCE_DIR) + "/tests/golden/" + name + ".png";
  constexpr int W = Surface::Width;
  constexpr int H = Surface::Height;
  if (!std::filesystem::exists(golden)) {
    std::string error;
    if (MakingGoldens()) {
      if (!SavePng(golden, W, H, rgb.data(), &error)) return "cannot write the new golden " + golden + ": " + error;
      return {};  // made now: look at it before committing
    }
    const std::string out = std::string(VZ_BINARY_DIR) + "/" + name + ".actual.png";
    SavePng(out, W, H, rgb.data());
    return "no golden screen " + golden + "; the screen drawn is " + out +
           "; look at it, then run the test with " + MakeGoldensVariable + "=1 to make the golden";
  }
  std::string error;
  const auto expected = LoadPicture(golden, &error);
  if (!expected) return "cannot read " + golden + ": " + error;
  if (expected->width != W || expected->height != H) return golden + " is not 1100 x 840";
  std::vector<std::uint8_t> diff(rgb.size(), 255);
  long differing = 0;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] != expected->rgb[i] || rgb[i + 1] != expected->rgb[i + 1] || rgb[i + 2] != expected->rgb[i + 2]) {
      ++differing;
      diff[i] = 255;
      diff[i + 1] = diff[i + 2] = 0;
    }
  }
  if (differing == 0) return {};
  const std::string out = std::string(VZ_BINARY_DIR) + "/" + name;
  SavePng(out + ".actual.png", W, H, rgb.data());
  SavePng(out + ".diff.png", W, H, diff.data());
  return std::to_string(differing) + " pixels differ from " + golden + "; see " + out + ".actual.png and .diff.png";
}

std::string GoldenSamplePicture() {
  const std::string sample = std::string(VZ_BINARY_DIR) + "/tools/sample/golden-sample.bmp";
  EXPECT_EQ(std::system((std::string(VZ_BINARY_DIR) + "/tools/sample/vazesample-sample " + sample).c_str()), 0);
  return sample;
}
