#include "ops/fields.h"

MaybeProblem ReadInteger(const RecipeValue& value, const char* name, long long low, long long high, int& to) {
  if (value.type != RecipeValue::Type::Integer) return FieldProblem{value.line, name, "a whole number is wanted"};
  if (value.integer < low || value.integer > high) {
    return FieldProblem{value.line, name,
                        std::to_string(value.integer) + " is outside " + std::to_string(low) + ".." + std::to_string(high)};
  }
  to = static_cast<int>(value.integer);
  return std::nullopt;
}

MaybeProblem ReadFlag(const RecipeValue& value, const char* name, bool& to) {
  if (value.type != RecipeValue::Type::Boolean) return FieldProblem{value.line, name, "true or false is wanted"};
  to = value.boolean;
  return std::nullopt;
}

MaybeProblem ReadWord(const RecipeValue& value, const char* name, const std::vector<std::string>& words, int& to) {
  for (std::size_t i = 0; value.type == RecipeValue::Type::Text && i < words.size(); ++i) {
    if (words[i] == value.text) {
      to = static_cast<int>(i);
      return std::nullopt;
    }
  }
  std::string wanted;
  for (const std::string& word : words) wanted += (wanted.empty() ? "\"" : ", \"") + word + "\"";
  return FieldProblem{value.line, name, "one of " + wanted + " is wanted"};
}

MaybeProblem ReadNumbers(const RecipeValue& value, const char* name, std::size_t count, long long low, long long high,
                         std::vector<int>& to) {
  if (value.type != RecipeValue::Type::List || value.list.size() != count) {
    return FieldProblem{value.line, name, "an array of " + std::to_string(count) + " whole numbers is wanted"};
  }
  to.assign(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    if (MaybeProblem problem = ReadInteger(value.list[i], name, low, high, to[i])) return problem;
  }
  return std::nullopt;
}

RecipeValue NumbersValue(const std::vector<int>& numbers) {
  std::vector<RecipeValue> list;
  for (const int n : numbers) list.push_back(RecipeValue::Of(static_cast<long long>(n)));
  return RecipeValue::Of(std::move(list));
}
