// Fuzz target: the recipe reader. Any text either gives one error line or
// steps; steps written back and read again give the same recipe.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ops/recipe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const RecipeResult read = ReadRecipe(text, "fuzz.toml");
  if (!read.ok()) {
    if (read.error.rfind("fuzz.toml", 0) != 0 || read.error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  const std::string written = WriteRecipe(read.steps, read.edges);
  const RecipeResult again = ReadRecipe(written, "again.toml");
  if (!again.ok() || again.edges != read.edges || WriteRecipe(again.steps, again.edges) != written) std::abort();
  return 0;
}
