// Recipes: a list of steps as a small, versioned TOML file, read and written
// with toml++. One [[step]] table per step, its kind and its settings by
// name; a setting left out takes its start value, except the horn key of an
// eye step, which has none.
//
//   version = 1
//   edges = "extend"        # or "white"; left out: extend
//
//   [[step]]
//   kind = "filter"
//   colour_power_on = true
//   colour_power = 140
//
//   [[step]]
//   kind = "eye"
//   horn_key = "F"
//   pivot = "levels"        # or [red, green, blue]
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/step_kinds.h"

inline constexpr int RecipeVersion = 1;
inline constexpr std::size_t LargestRecipeBytes = 1 << 20;  // 1 MB
inline constexpr std::size_t MostRecipeSteps = 1000;

struct RecipeResult {
  std::vector<PictureStep> steps;
  std::optional<Edges> edges;  // as the recipe gives them: "extend" or "white" (as on the canvas)
  std::string error;  // empty when read; else "FILE:LINE: SETTING: what is wrong"
  bool ok() const { return error.empty(); }
};

// The steps of a recipe's text; `name` is the file named in an error.
RecipeResult ReadRecipe(std::string_view text, const std::string& name);
// The same from a file (missing, unreadable or too large: an error line).
RecipeResult ReadRecipeFile(const std::string& path);

// One step from the command line: "KIND" or "KIND:SETTING=VALUE,...", the
// settings as in a recipe (values in TOML: 140, true, "F", [1, 2, 3]).
RecipeResult ReadStepOption(std::string_view option);

// The recipe text of the steps, every setting written out, and the edges
// when given.
std::string WriteRecipe(const std::vector<PictureStep>& steps, std::optional<Edges> edges = std::nullopt);

// The recipe words of the edges: "extend" and "white".
const char* EdgesWord(Edges edges);
std::optional<Edges> EdgesOfWord(std::string_view word);
