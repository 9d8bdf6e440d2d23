#include "ops/recipe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>

#include <sys/stat.h>

#include <toml++/toml.h>

#include "platform/files.h"

namespace {

// A setting's problem, with the line of the node it is about.
struct Problem {
  int line = 0;
  std::string setting, what;
};

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

std::optional<Problem> IntegerIn(const toml::node& node, const std::string& name, long long low, long long high,
                                 int& to) {
  const std::optional<std::int64_t> value = node.value_exact<std::int64_t>();
  if (!value) return Problem{LineOf(node), name, "a whole number is wanted"};
  if (*value < low || *value > high) {
    return Problem{LineOf(node), name,
                   std::to_string(*value) + " is outside " + std::to_string(low) + ".." + std::to_string(high)};
  }
  to = static_cast<int>(*value);
  return std::nullopt;
}

std::optional<Problem> Flag(const toml::node& node, const std::string& name, int& to) {
  const std::optional<bool> value = node.value_exact<bool>();
  if (!value) return Problem{LineOf(node), name, "true or false is wanted"};
  to = *value ? 1 : 0;
  return std::nullopt;
}

// An array of `count` whole numbers in low..high.
std::optional<Problem> Numbers(const toml::node& node, const std::string& name, std::size_t count, long long low,
                               long long high, std::vector<int>& to) {
  const toml::array* array = node.as_array();
  if (array == nullptr || array->size() != count) {
    return Problem{LineOf(node), name, "an array of " + std::to_string(count) + " whole numbers is wanted"};
  }
  to.assign(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    if (auto problem = IntegerIn(*array->get(i), name, low, high, to[i])) return problem;
  }
  return std::nullopt;
}

using Setter = std::function<std::optional<Problem>(const toml::node&, const std::string&)>;
struct Setting {
  const char* name;
  Setter set;
};

std::optional<Problem> ReadSettings(const toml::table& table, const std::vector<Setting>& settings) {
  for (auto&& [key, node] : table) {
    const std::string name(key.str());
    if (name == "kind") continue;
    const auto found = std::find_if(settings.begin(), settings.end(), [&](const Setting& s) { return name == s.name; });
    if (found == settings.end()) return Problem{static_cast<int>(key.source().begin.line), name, "unknown setting"};
    if (auto problem = found->set(node, name)) return problem;
  }
  return std::nullopt;
}

std::optional<Problem> ReadEye(const toml::table& table, EyeStep& step) {
  EyeParameters& e = step.settings;
  bool key = false;
  const std::vector<Setting> settings = {
      {"horn_key",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         const std::optional<std::string> letter = node.value_exact<std::string>();
         const auto at = letter && letter->size() == 1
                             ? std::find(HornKeyLetters.begin(), HornKeyLetters.end(), (*letter)[0])
                             : HornKeyLetters.end();
         if (at == HornKeyLetters.end()) return Problem{LineOf(node), name, "one of the keys \"A\" .. \"L\" is wanted"};
         step.hornKey = static_cast<int>(at - HornKeyLetters.begin()) + 1;
         key = true;
         return std::nullopt;
       }},
      {"mode", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 1, 6, e.mode); }},
      {"sun_glass", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 1, 3, e.sunGlassLevel); }},
      {"pivot",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         if (node.value_exact<std::string>() == "levels") {
           step.levelsPivot = true;
           return std::nullopt;
         }
         std::vector<int> rgb;
         if (node.is_string()) return Problem{LineOf(node), name, "\"levels\" or [red, green, blue] is wanted"};
         if (auto problem = Numbers(node, name, 3, 0, 255, rgb)) return problem;
         e.reference = {rgb[2], rgb[1], rgb[0]};
         step.levelsPivot = false;
         return std::nullopt;
       }},
      {"appoint_on", [&](const toml::node& n, const std::string& s) { return Flag(n, s, e.appointOn); }},
      {"appoint_kind", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 1, 5, e.appointKind); }},
      {"appoint_source",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 2, e.appointSource); }},
      {"appoint_gray", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, e.appointGray); }},
      {"appoint_half_width",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, e.appointHalfWidth); }},
      {"appoint_min", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, e.appointMin); }},
      {"appoint_max", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, e.appointMax); }},
      {"appoint_box",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         std::vector<int> bounds;  // red low, high, green low, high, blue low, high
         const toml::array* array = node.as_array();
         if (array == nullptr || array->size() != 3) {
           return Problem{LineOf(node), name, "[[low, high] of red, green, blue] is wanted"};
         }
         for (std::size_t c = 0; c < 3; ++c) {
           std::vector<int> pair;
           if (auto problem = Numbers(*array->get(c), name, 2, 0, 255, pair)) return problem;
           e.appointBox[2 - c] = AppointRange{pair[0], pair[1]};
         }
         return std::nullopt;
       }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  if (!key) return Problem{LineOf(table), "horn_key", "missing (an eye step needs its key, \"A\" .. \"L\")"};
  return std::nullopt;
}

std::optional<Problem> ReadFilter(const toml::table& table, FilterStep& step) {
  FilterSettings& f = step.settings;
  int lightCore = 0;
  std::vector<int> powers;
  const std::vector<Setting> settings = {
      {"light_core", [&](const toml::node& n, const std::string& s) { return Flag(n, s, lightCore); }},
      {"light_core_from",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 254, f.LightCoreStart); }},
      {"light_core_to",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 1, 255, f.LightCoreEnd); }},
      {"colour_power_on", [&](const toml::node& n, const std::string& s) { return Flag(n, s, f.ColourPowerOn); }},
      {"colour_power",
       [&](const toml::node& n, const std::string& s) {
         return IntegerIn(n, s, LowestColourPower, HighestColourPower, f.ColourPower);
       }},
      {"channel_power_mode",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 3, f.ChannelPowerMode); }},
      {"channel_powers",
       [&](const toml::node& n, const std::string& s) { return Numbers(n, s, 3, 0, HighestColourPower, powers); }},
      {"peach", [&](const toml::node& n, const std::string& s) { return Flag(n, s, f.PeachOn); }},
      {"berry", [&](const toml::node& n, const std::string& s) { return Flag(n, s, f.BerryOn); }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  step.lightCore = lightCore == 1;
  if (!powers.empty()) f.ChannelPower = ChannelPowers{powers[0], powers[1], powers[2]};
  if (f.LightCoreEnd <= f.LightCoreStart) {
    return Problem{LineOf(table), "light_core_to", "must be above light_core_from"};
  }
  return std::nullopt;
}

// A setting that is one of a few words; `to` takes the word's index.
std::optional<Problem> Word(const toml::node& node, const std::string& name, const std::vector<std::string>& words,
                            int& to) {
  const std::optional<std::string> value = node.value_exact<std::string>();
  const auto at = value ? std::find(words.begin(), words.end(), *value) : words.end();
  if (at == words.end()) {
    std::string wanted;
    for (const std::string& word : words) wanted += (wanted.empty() ? "\"" : ", \"") + word + "\"";
    return Problem{LineOf(node), name, "one of " + wanted + " is wanted"};
  }
  to = static_cast<int>(at - words.begin());
  return std::nullopt;
}

const std::vector<std::string> ContourOperationWords = {"none", "all", "one"};

std::optional<Problem> ReadContour(const toml::table& table, ContourStep& step) {
  ContourDrawSettings& c = step.settings;
  c.operation = ContourAllLevels;
  const std::vector<Setting> settings = {
      {"operation", [&](const toml::node& n, const std::string& s) { return Word(n, s, ContourOperationWords, c.operation); }},
      {"min", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, c.ladder.min); }},
      {"max", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, c.ladder.max); }},
      {"step", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 1, 255, c.ladder.step); }},
      {"scan", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 256, c.scanIndex); }},
      {"colour_type",
       [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, ContourColourTypes - 1, c.colourType); }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  if (c.ladder.max < c.ladder.min) return Problem{LineOf(table), "max", "must not be below min"};
  return std::nullopt;
}

std::optional<Problem> ReadGrayRange(const toml::table& table, GrayRangeStep& step) {
  GrayRangeSettings& g = step.settings;
  const std::vector<Setting> settings = {
      {"gray_from", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, g.lo); }},
      {"gray_to", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, g.hi); }},
      {"colour",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         std::vector<int> rgb;
         if (auto problem = Numbers(node, name, 3, 0, 255, rgb)) return problem;
         g.colour = UniRgb{rgb[0], rgb[1], rgb[2]};
         return std::nullopt;
       }},
  };
  return ReadSettings(table, settings);
}

std::optional<Problem> ReadAddColour(const toml::table& table, AddColourStep& step) {
  AddColourSettings& a = step.settings;
  a.active = BuiltInNodColours.columns[0];
  const std::vector<Setting> settings = {
      {"nod_colours",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         const toml::array* array = node.as_array();
         if (array == nullptr || array->size() != a.active.size()) {
           return Problem{LineOf(node), name, "seven [red, green, blue] are wanted"};
         }
         for (std::size_t k = 0; k < a.active.size(); ++k) {
           std::vector<int> rgb;
           if (auto problem = Numbers(*array->get(k), name, 3, 0, 255, rgb)) return problem;
           a.active[k] = NodColour{rgb[0], rgb[1], rgb[2]};
         }
         return std::nullopt;
       }},
      {"gray_from", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, a.lo); }},
      {"gray_to", [&](const toml::node& n, const std::string& s) { return IntegerIn(n, s, 0, 255, a.hi); }},
      {"weights",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         std::vector<int> weights;
         if (auto problem = Numbers(node, name, 2, 0, 255, weights)) return problem;
         if (weights[0] + weights[1] == 0) return Problem{LineOf(node), name, "the two weights must not both be 0"};
         a.weights = BlendWeights{weights[0], weights[1]};
         return std::nullopt;
       }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  if (a.hi < a.lo) return Problem{LineOf(table), "gray_to", "must not be below gray_from"};
  return std::nullopt;
}

std::optional<Problem> ReadSwap(const toml::table& table, SwapStep& step) {
  bool mode = false;
  const std::vector<Setting> settings = {
      {"mode",
       [&](const toml::node& n, const std::string& s) {
         mode = true;
         return IntegerIn(n, s, 0, SwapModeCount - 1, step.settings.mode);
       }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  if (!mode) return Problem{LineOf(table), "mode", "missing (a swap step needs its mode, 0 .. 21)"};
  return std::nullopt;
}

const std::vector<std::string> OutlineWidthWords = {"none", "fine", "middle", "fat"};
const std::vector<std::string> JudgeModeWords = {"", "every_channel", "luma"};

std::optional<Problem> ReadOutline(const toml::table& table, OutlineStep& step) {
  OutlineSettings& o = step.settings;
  o.outlineWidth = FineWidth;  // the colour black, as the page starts
  const std::vector<Setting> settings = {
      {"width", [&](const toml::node& n, const std::string& s) { return Word(n, s, OutlineWidthWords, o.outlineWidth); }},
      {"judge",
       [&](const toml::node& n, const std::string& s) {
         return IntegerIn(n, s, LowestJudgeValue, HighestJudgeValue, o.judgeValue);
       }},
      {"judge_by",
       [&](const toml::node& n, const std::string& s) {
         int index = 0;
         std::optional<Problem> problem = Word(n, s, {JudgeModeWords[1], JudgeModeWords[2]}, index);
         if (!problem) o.judgeMode = index == 0 ? JudgeByEveryChannel : JudgeByLuma;
         return problem;
       }},
      {"colour",
       [&](const toml::node& node, const std::string& name) -> std::optional<Problem> {
         std::vector<int> rgb;
         if (auto problem = Numbers(node, name, 3, 0, 255, rgb)) return problem;
         o.colour = OutlineRgb{rgb[0], rgb[1], rgb[2]};
         return std::nullopt;
       }},
  };
  return ReadSettings(table, settings);
}

// The centre of a local contrast, as far out as a picture can reach.
std::optional<Problem> ReadLocalContrast(const toml::table& table, LocalContrastStep& step) {
  bool x = false, y = false;
  const std::vector<Setting> settings = {
      {"x",
       [&](const toml::node& n, const std::string& s) {
         x = true;
         return IntegerIn(n, s, 0, PictureSideLimit - 1, step.x);
       }},
      {"y",
       [&](const toml::node& n, const std::string& s) {
         y = true;
         return IntegerIn(n, s, 0, PictureSideLimit - 1, step.y);
       }},
  };
  if (auto problem = ReadSettings(table, settings)) return problem;
  if (!x || !y) return Problem{LineOf(table), x ? "y" : "x", "missing (a local contrast step needs its centre, x and y)"};
  return std::nullopt;
}

const std::string KindWords =
    "\"eye\", \"filter\", \"contour\", \"uni_c\", \"add\", \"swap\", \"outline\" or \"local_contrast\"";

std::optional<Problem> ReadStep(const toml::table& table, PictureStep& step) {
  const toml::node* kind = table.get("kind");
  if (kind == nullptr) return Problem{LineOf(table), "kind", "missing (" + KindWords + ")"};
  const std::optional<std::string> name = kind->value_exact<std::string>();
  if (name == "eye") {
    step = EyeStep{};
    return ReadEye(table, std::get<EyeStep>(step));
  }
  if (name == "filter") {
    step = FilterStep{};
    return ReadFilter(table, std::get<FilterStep>(step));
  }
  if (name == "contour") {
    step = ContourStep{};
    return ReadContour(table, std::get<ContourStep>(step));
  }
  if (name == "uni_c") {
    step = GrayRangeStep{};
    return ReadGrayRange(table, std::get<GrayRangeStep>(step));
  }
  if (name == "add") {
    step = AddColourStep{};
    return ReadAddColour(table, std::get<AddColourStep>(step));
  }
  if (name == "swap") {
    step = SwapStep{};
    return ReadSwap(table, std::get<SwapStep>(step));
  }
  if (name == "outline") {
    step = OutlineStep{};
    return ReadOutline(table, std::get<OutlineStep>(step));
  }
  if (name == "local_contrast") {
    step = LocalContrastStep{};
    return ReadLocalContrast(table, std::get<LocalContrastStep>(step));
  }
  return Problem{LineOf(*kind), "kind", "unknown step" + (name ? " \"" + *name + "\"" : std::string()) +
                                            " (" + KindWords + ")"};
}

// "horn_key=F" as TOML: a bare word (not true or false) becomes a string.
std::string QuotedIfBare(const std::string& setting) {
  const std::size_t equals = setting.find('=');
  if (equals == std::string::npos) return setting;
  const std::string value = setting.substr(equals + 1);
  const bool bare = !value.empty() && std::isalpha(static_cast<unsigned char>(value[0])) && value != "true" &&
                    value != "false" && value.find_first_of("\"'\\") == std::string::npos;
  return bare ? setting.substr(0, equals + 1) + "\"" + value + "\"" : setting;
}

// The TOML reader of Debian's toml++ 3.3 runs into undefined behaviour when
// it asks whether a character is a blank and the character lies in
// U+00A1..U+0499, U+2C5E..U+3057 (but U+3000) or U+FB26..U+FEFE, which it
// may do wherever a value or key can end, and inside a multi-line string
// after a backslash. So a recipe holding one is refused before it is read,
// except in comments, which the reader passes over whole: those may hold
// any text, Japanese included. Every setting a recipe needs is ASCII.
bool TroublesomeCharacter(unsigned code) {
  return (code >= 0xA1 && code <= 0x499) || (code >= 0x2C5E && code <= 0x3057 && code != 0x3000) ||
         (code >= 0xFB26 && code <= 0xFEFE);
}

// The reader also follows a dotted key (a.b.c = 1, or [a.b.c]) one level
// deeper for each part, on the stack: a key of 200,000 parts overflows it.
// Keys of more parts than the reader lets values nest are refused first.
constexpr int MostKeyParts = TOML_MAX_NESTED_VALUES;

// The text as the reader will see it, followed through comments and the
// four kinds of string (so that a '#' inside a string is no comment, and a
// quote inside a comment starts no string): the first character outside a
// comment that the reader cannot be trusted with, or the first key of too
// many parts.
std::optional<Problem> UnsafeText(std::string_view text) {
  enum class In { Text, Comment, Basic, Literal, MultiBasic, MultiLiteral };
  In in = In::Text;
  int line = 1, dots = 0;
  const auto at = [&](std::size_t i, std::string_view what) { return text.substr(i, what.size()) == what; };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      if (in == In::Comment || in == In::Basic || in == In::Literal) in = In::Text;  // a single-line string ends too (the reader refuses it)
      if (in == In::Text) dots = 0;
      continue;
    }
    switch (in) {
      case In::Comment: continue;  // any text at all
      case In::Text:
        if (c == '#') {
          in = In::Comment;
          continue;
        }
        if (at(i, "\"\"\"")) {
          in = In::MultiBasic;
          i += 2;
        } else if (at(i, "\'\'\'")) {
          in = In::MultiLiteral;
          i += 2;
        } else if (c == '"') {
          in = In::Basic;
        } else if (c == '\'') {
          in = In::Literal;
        } else if (c == '.') {
          if (++dots >= MostKeyParts) {
            return Problem{line, "key", "more than " + std::to_string(MostKeyParts) + " parts in one key"};
          }
        } else if (c == '=' || c == ',' || c == '{' || c == '}') {
          dots = 0;
        }
        break;
      case In::Basic:
      case In::MultiBasic:
        if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
          ++i;  // an escaped character (a line-ending backslash is left to the loop)
          if (static_cast<unsigned char>(text[i]) < 0x80) continue;
          --i;  // a character the reader will look at: checked below
          break;
        }
        if (in == In::Basic && c == '"') in = In::Text;
        if (in == In::MultiBasic && at(i, "\"\"\"")) {
          in = In::Text;
          i += 2;
        }
        break;
      case In::Literal:
      case In::MultiLiteral:
        if (in == In::Literal && c == '\'') in = In::Text;
        if (in == In::MultiLiteral && at(i, "\'\'\'")) {
          in = In::Text;
          i += 2;
        }
        break;
    }
    if (c < 0x80) continue;
    // A two- or three-byte sequence; anything else is left to the reader.
    unsigned code = 0;
    if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
      code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
    } else if ((c & 0xF0) == 0xE0 && i + 2 < text.size()) {
      code = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
             (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
    }
    if (TroublesomeCharacter(code)) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "U+%04X", code);
      return Problem{line, "text", std::string("the character ") + hex + " is read only in comments"};
    }
  }
  return std::nullopt;
}

// One line, whatever a key or value held: control characters become '?'.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

std::string Line(const std::string& name, const Problem& problem) {
  return OneLine(name + ":" + std::to_string(problem.line) + ": " + problem.setting + ": " + problem.what);
}

}  // namespace

RecipeResult ReadRecipe(std::string_view text, const std::string& name) {
  RecipeResult result;
  if (text.size() > LargestRecipeBytes) {
    result.error = name + ": larger than " + std::to_string(LargestRecipeBytes) + " bytes; not a recipe";
    return result;
  }
  if (const std::optional<Problem> problem = UnsafeText(text)) {
    result.error = Line(name, *problem);
    return result;
  }
  toml::table root;
  try {
    root = toml::parse(text, name);
  } catch (const toml::parse_error& error) {
    result.error = OneLine(name + ":" + std::to_string(error.source().begin.line) + ": not TOML: " +
                           std::string(error.description()));
    return result;
  }
  const toml::node* version = root.get("version");
  if (version == nullptr) {
    result.error = Line(name, Problem{1, "version", "missing (version = " + std::to_string(RecipeVersion) + ")"});
    return result;
  }
  if (version->value_exact<std::int64_t>() != RecipeVersion) {
    result.error = Line(name, Problem{LineOf(*version), "version",
                                      "this program reads version " + std::to_string(RecipeVersion) + " recipes"});
    return result;
  }
  for (auto&& [key, node] : root) {
    if (key.str() != "version" && key.str() != "edges" && key.str() != "step") {
      result.error = Line(name, Problem{static_cast<int>(key.source().begin.line), std::string(key.str()),
                                        "unknown setting (a recipe holds version, edges and [[step]] tables)"});
      return result;
    }
  }
  if (const toml::node* edges = root.get("edges")) {
    const std::optional<std::string> word = edges->value_exact<std::string>();
    result.edges = word ? EdgesOfWord(*word) : std::nullopt;
    if (!result.edges) {
      result.error = Line(name, Problem{LineOf(*edges), "edges", "\"extend\" or \"white\" is wanted"});
      return result;
    }
  }
  const toml::node* steps = root.get("step");
  const toml::array* array = steps != nullptr ? steps->as_array() : nullptr;
  if (steps != nullptr && (array == nullptr || (!array->empty() && !array->is_array_of_tables()))) {
    result.error = Line(name, Problem{LineOf(*steps), "step", "[[step]] tables are wanted"});
    return result;
  }
  if (array != nullptr && array->size() > MostRecipeSteps) {
    result.error = Line(name, Problem{LineOf(*steps), "step", "more than " + std::to_string(MostRecipeSteps) +
                                                                  " steps"});
    return result;
  }
  if (array != nullptr) {
    for (const toml::node& node : *array) {
      PictureStep step;
      if (const std::optional<Problem> problem = ReadStep(*node.as_table(), step)) {
        result.error = Line(name, *problem);
        result.steps.clear();
        return result;
      }
      result.steps.push_back(step);
    }
  }
  return result;
}

RecipeResult ReadRecipeFile(const std::string& path) {
  // Read as the picture loader reads a file: only a regular file, never
  // waiting on a pipe or a device, and never more than a recipe can be.
  RecipeResult result;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    result.error = path + ": cannot be read";
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.error = path + ": not a regular file; not a recipe";
    return result;
  }
  if (static_cast<unsigned long long>(info.st_size) > LargestRecipeBytes) {
    result.error = path + ": larger than " + std::to_string(LargestRecipeBytes) + " bytes; not a recipe";
    return result;
  }
  const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, LargestRecipeBytes);
  if (!bytes) {
    result.error = path + ": cannot be read";
    return result;
  }
  return ReadRecipe(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path);
}

RecipeResult ReadStepOption(std::string_view option) {
  // "eye:horn_key=F,mode=2" becomes one [[step]] table; commas inside [ ]
  // belong to an array.
  const std::size_t colon = option.find(':');
  std::string text = "version = " + std::to_string(RecipeVersion) + "\n[[step]]\nkind = \"" +
                     std::string(option.substr(0, colon)) + "\"\n";
  if (colon != std::string_view::npos) {
    int depth = 0;
    std::string setting;
    for (const char c : option.substr(colon + 1)) {
      if (c == '[') ++depth;
      if (c == ']') --depth;
      if (c == ',' && depth == 0) {
        text += QuotedIfBare(setting) + "\n";
        setting.clear();
      } else if (c == '\n') {
        setting += ' ';
      } else {
        setting += c;
      }
    }
    text += QuotedIfBare(setting) + "\n";
  }
  RecipeResult result = ReadRecipe(text, "--step " + std::string(option));
  // The line numbers of the made-up text mean nothing on a command line.
  const std::string prefix = "--step " + std::string(option) + ":";
  if (!result.ok() && result.error.rfind(prefix, 0) == 0) {
    const std::size_t next = result.error.find(": ", prefix.size());
    if (next != std::string::npos) result.error = "--step " + std::string(option) + result.error.substr(next);
  }
  return result;
}

const char* EdgesWord(Edges edges) { return edges == Edges::Extend ? "extend" : "white"; }

std::optional<Edges> EdgesOfWord(std::string_view word) {
  if (word == "extend") return Edges::Extend;
  if (word == "white") return Edges::AsCanvas;
  return std::nullopt;
}

std::string WriteRecipe(const std::vector<PictureStep>& steps, std::optional<Edges> edges) {
  toml::array tables;
  for (const PictureStep& step : steps) {
    toml::table t;
    if (const EyeStep* eye = std::get_if<EyeStep>(&step)) {
      const EyeParameters& e = eye->settings;
      t.insert("kind", "eye");
      t.insert("horn_key", std::string(1, HornKeyLetters[static_cast<std::size_t>(std::clamp(eye->hornKey, 1, 12) - 1)]));
      t.insert("mode", e.mode);
      t.insert("sun_glass", e.sunGlassLevel);
      if (eye->levelsPivot) {
        t.insert("pivot", "levels");
      } else {
        t.insert("pivot", toml::array{e.reference[2], e.reference[1], e.reference[0]});
      }
      t.insert("appoint_on", e.appointOn != 0);
      t.insert("appoint_kind", e.appointKind);
      t.insert("appoint_source", e.appointSource);
      t.insert("appoint_gray", e.appointGray);
      t.insert("appoint_half_width", e.appointHalfWidth);
      t.insert("appoint_min", e.appointMin);
      t.insert("appoint_max", e.appointMax);
      toml::array box;
      for (int c = 2; c >= 0; --c) {
        box.push_back(toml::array{e.appointBox[static_cast<std::size_t>(c)].low,
                                  e.appointBox[static_cast<std::size_t>(c)].high});
      }
      t.insert("appoint_box", box);
    }
    if (const FilterStep* filter = std::get_if<FilterStep>(&step)) {
      const FilterSettings& f = filter->settings;
      t.insert("kind", "filter");
      t.insert("light_core", filter->lightCore);
      t.insert("light_core_from", f.LightCoreStart);
      t.insert("light_core_to", f.LightCoreEnd);
      t.insert("colour_power_on", f.ColourPowerOn != 0);
      t.insert("colour_power", f.ColourPower);
      t.insert("channel_power_mode", f.ChannelPowerMode);
      t.insert("channel_powers", toml::array{f.ChannelPower.red, f.ChannelPower.green, f.ChannelPower.blue});
      t.insert("peach", f.PeachOn != 0);
      t.insert("berry", f.BerryOn != 0);
    }
    if (const ContourStep* contour = std::get_if<ContourStep>(&step)) {
      const ContourDrawSettings& c = contour->settings;
      t.insert("kind", "contour");
      t.insert("operation", ContourOperationWords[static_cast<std::size_t>(std::clamp(c.operation, 0, 2))]);
      t.insert("min", c.ladder.min);
      t.insert("max", c.ladder.max);
      t.insert("step", c.ladder.step);
      t.insert("scan", c.scanIndex);
      t.insert("colour_type", c.colourType);
    }
    if (const GrayRangeStep* range = std::get_if<GrayRangeStep>(&step)) {
      const GrayRangeSettings& g = range->settings;
      t.insert("kind", "uni_c");
      t.insert("gray_from", g.lo);
      t.insert("gray_to", g.hi);
      t.insert("colour", toml::array{g.colour.red, g.colour.green, g.colour.blue});
    }
    if (const AddColourStep* add = std::get_if<AddColourStep>(&step)) {
      const AddColourSettings& a = add->settings;
      t.insert("kind", "add");
      toml::array colours;
      for (const NodColour& c : a.active) colours.push_back(toml::array{c.red, c.green, c.blue});
      t.insert("nod_colours", colours);
      t.insert("gray_from", a.lo);
      t.insert("gray_to", a.hi);
      t.insert("weights", toml::array{a.weights.old, a.weights.nod});
    }
    if (const SwapStep* swap = std::get_if<SwapStep>(&step)) {
      t.insert("kind", "swap");
      t.insert("mode", swap->settings.mode);
    }
    if (const OutlineStep* outline = std::get_if<OutlineStep>(&step)) {
      const OutlineSettings& o = outline->settings;
      t.insert("kind", "outline");
      t.insert("width", OutlineWidthWords[static_cast<std::size_t>(std::clamp(o.outlineWidth, 0, 3))]);
      t.insert("judge", o.judgeValue);
      t.insert("judge_by", JudgeModeWords[o.judgeMode == JudgeByEveryChannel ? 1 : 2]);
      t.insert("colour", toml::array{o.colour.red, o.colour.green, o.colour.blue});
    }
    if (const LocalContrastStep* contrast = std::get_if<LocalContrastStep>(&step)) {
      t.insert("kind", "local_contrast");
      t.insert("x", contrast->x);
      t.insert("y", contrast->y);
    }
    tables.push_back(std::move(t));
  }
  toml::table root;
  root.insert("version", RecipeVersion);
  if (edges) root.insert("edges", EdgesWord(*edges));
  if (!tables.empty()) root.insert("step", std::move(tables));
  std::ostringstream out;
  out << "# vazesample recipe: the steps in order, each [[step]] with its settings\n" << root << "\n";
  return out.str();
}
