// Golden screens: tests/golden/NAME.png, made once (written only when the test
// runs with VZ_MAKE_GOLDEN=1, then looked at by a person before it is
// committed) and compared exactly after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the panel face in use is the IPA Gothic file the goldens were
// made with; golden checks skip otherwise.
bool GoldenFontPresent();

inline constexpr const char* MakeGoldensVariable = "VZ_MAKE_GOLDEN";

// True when the environment asks for missing goldens to be made.
bool MakingGoldens();

// Compares a 1100 x 840 top-down RGB screen with tests/golden/NAME.png. A
// missing golden fails the check and writes NAME.actual.png into the build
// tree, unless MakingGoldens(): then it is written and the check passes. A
// difference fails and writes NAME.actual.png and NAME.diff.png.
// Returns an empty string on success, else what differs.
std::string CompareWithGolden(const std::string& name, const std::vector<std::uint8_t>& rgb);

// The sample picture most golden screens open, made by the sample tool in
// the build tree; its path.
std::string GoldenSamplePicture();

#define EXPECT_GOLDEN(name, rgb)                                                          \
  do {                                                                                   \
    if (!GoldenFontPresent()) {                                                          \
      GTEST_SKIP() << "golden screens are made with IPA Gothic (ipag.ttf), not installed"; \
    }                                                                                    \
    const std::string goldenResult = CompareWithGolden(name, rgb);                       \
    EXPECT_TRUE(goldenResult.empty()) << goldenResult;                                   \
  } while (0)
