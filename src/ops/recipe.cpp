// Recipes: TOML text of steps, read and written by walking the step kinds'
// field tables (ops/step_kinds.h), with the guards the TOML reader needs.
//
// [SECTION] Values between the TOML reader and the field tables
// [SECTION] Steps by their field tables
// [SECTION] What the reader is not given
// [SECTION] Reading and writing recipes

#include "ops/recipe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include <sys/stat.h>

#include <toml++/toml.h>

#include "platform/files.h"

namespace {

using Problem = FieldProblem;

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

// [SECTION] Values between the TOML reader and the field tables

RecipeValue ValueOf(const toml::node& node) {
  RecipeValue value;
  if (const std::optional<std::int64_t> integer = node.value_exact<std::int64_t>()) {
    value = RecipeValue::Of(static_cast<long long>(*integer));
  } else if (const std::optional<bool> flag = node.value_exact<bool>()) {
    value = RecipeValue::Of(*flag);
  } else if (const std::optional<std::string> text = node.value_exact<std::string>()) {
    value = RecipeValue::Of(*text);
  } else if (const toml::array* array = node.as_array()) {
    std::vector<RecipeValue> list;
    for (const toml::node& element : *array) list.push_back(ValueOf(element));
    value = RecipeValue::Of(std::move(list));
  }
  value.line = LineOf(node);
  return value;
}

void Insert(toml::array& array, const RecipeValue& value);

void Insert(toml::table& table, const std::string& name, const RecipeValue& value) {
  switch (value.type) {
    case RecipeValue::Type::Integer: table.insert(name, static_cast<std::int64_t>(value.integer)); break;
    case RecipeValue::Type::Boolean: table.insert(name, value.boolean); break;
    case RecipeValue::Type::Text: table.insert(name, value.text); break;
    case RecipeValue::Type::List: {
      toml::array array;
      for (const RecipeValue& element : value.list) Insert(array, element);
      table.insert(name, std::move(array));
      break;
    }
    case RecipeValue::Type::Other: break;
  }
}

void Insert(toml::array& array, const RecipeValue& value) {
  switch (value.type) {
    case RecipeValue::Type::Integer: array.push_back(static_cast<std::int64_t>(value.integer)); break;
    case RecipeValue::Type::Boolean: array.push_back(value.boolean); break;
    case RecipeValue::Type::Text: array.push_back(value.text); break;
    case RecipeValue::Type::List: {
      toml::array inner;
      for (const RecipeValue& element : value.list) Insert(inner, element);
      array.push_back(std::move(inner));
      break;
    }
    case RecipeValue::Type::Other: break;
  }
}

// [SECTION] Steps by their field tables

// A kind's [[step]] table: its settings by name, in the order the table
// holds them; then the settings a recipe must give, then what the kind
// checks of its settings together.
template <typename Kind>
std::optional<Problem> ReadKind(const toml::table& table, PictureStep& out) {
  Kind step{};
  if constexpr (requires { Kind::RecipeStart(); }) step = Kind::RecipeStart();
  const FieldTable<Kind>& fields = Kind::Fields();
  std::vector<bool> given(fields.size(), false);
  for (auto&& [key, node] : table) {
    const std::string name(key.str());
    if (name == "kind") continue;
    const auto found = std::find_if(fields.begin(), fields.end(), [&](const Field<Kind>& f) { return name == f.name; });
    if (found == fields.end()) return Problem{static_cast<int>(key.source().begin.line), name, "unknown setting"};
    given[static_cast<std::size_t>(found - fields.begin())] = true;
    if (std::optional<Problem> problem = found->read(ValueOf(node), step)) return problem;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].missing != nullptr && !given[i]) return Problem{LineOf(table), fields[i].name, fields[i].missing};
  }
  if constexpr (requires { step.Check(); }) {
    if (std::optional<Problem> problem = step.Check()) {
      problem->line = LineOf(table);
      return problem;
    }
  }
  out = step;
  return std::nullopt;
}

// "\"eye\", \"filter\", ... or \"local_contrast\"".
std::string KindWords() {
  std::vector<std::string> kinds;
  ForEachStepKind([&]<typename Kind>(std::type_identity<Kind>) { kinds.push_back(Kind::Kind); });
  std::string words;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    words += (i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ") + ("\"" + kinds[i] + "\"");
  }
  return words;
}

std::optional<Problem> ReadStep(const toml::table& table, PictureStep& step) {
  const toml::node* kind = table.get("kind");
  if (kind == nullptr) return Problem{LineOf(table), "kind", "missing (" + KindWords() + ")"};
  const std::optional<std::string> name = kind->value_exact<std::string>();
  std::optional<Problem> problem;
  bool known = false;
  ForEachStepKind([&]<typename Kind>(std::type_identity<Kind>) {
    if (known || name != Kind::Kind) return;
    known = true;
    problem = ReadKind<Kind>(table, step);
  });
  if (known) return problem;
  return Problem{LineOf(*kind), "kind", "unknown step" + (name ? " \"" + *name + "\"" : std::string()) + " (" +
                                            KindWords() + ")"};
}

// [SECTION] What the reader is not given

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

// [SECTION] Reading and writing recipes

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
    std::visit(
        [&]<typename Kind>(const Kind& s) {
          t.insert("kind", Kind::Kind);
          for (const Field<Kind>& field : Kind::Fields()) Insert(t, field.name, field.write(s));
        },
        step);
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
