// Golden screens: tests/golden/NAME.png, made once (written when missing, then
// looked at by a person before it is committed) and compared exactly after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the panel face in use is the IPA Gothic file the goldens were
// made with; golden checks skip otherwise.
bool GoldenFontPresent();

// Compares a 1100 x 840 top-down RGB screen with tests/golden/NAME.png. A
// missing golden is written and the check passes with a note; a difference
// fails and writes NAME.actual.png and NAME.diff.png into the build tree.
// Returns an empty string on success, else what differs.
std::string CompareWithGolden(const std::string& name, const std::vector<std::uint8_t>& rgb);

#define EXPECT_GOLDEN(name, rgb)                                                          \
  do {                                                                                   \
    if (!GoldenFontPresent()) {                                                          \
      GTEST_SKIP() << "golden screens are made with IPA Gothic (ipag.ttf), not installed"; \
    }                                                                                    \
    const std::string goldenResult = CompareWithGolden(name, rgb);                       \
    EXPECT_TRUE(goldenResult.empty()) << goldenResult;                                   \
  } while (0)
