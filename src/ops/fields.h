// The settings of a step kind as a table: each row a setting's recipe name,
// the member it is kept in, what it takes (a range, words, a colour) and,
// where a recipe must give it, what to say when it does not. The recipe
// reader and writer walk these tables; nothing else spells a setting's name.
//
// Values come as RecipeValue, the recipe's text already read (a whole
// number, true or false, a word, a list), so that a step kind's file needs
// no TOML reader of its own.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A value as a recipe gives it, with the line it stood on.
struct RecipeValue {
  enum class Type { Integer, Boolean, Text, List, Other };
  Type type = Type::Other;
  long long integer = 0;
  bool boolean = false;
  std::string text;
  std::vector<RecipeValue> list;
  int line = 0;

  static RecipeValue Of(long long v) { return {Type::Integer, v, false, {}, {}, 0}; }
  static RecipeValue Of(bool v) { return {Type::Boolean, 0, v, {}, {}, 0}; }
  static RecipeValue Of(std::string v) { return {Type::Text, 0, false, std::move(v), {}, 0}; }
  static RecipeValue Of(std::vector<RecipeValue> v) { return {Type::List, 0, false, {}, std::move(v), 0}; }
};

// A setting's problem, with the line it is about.
struct FieldProblem {
  int line = 0;
  std::string setting, what;
};
using MaybeProblem = std::optional<FieldProblem>;

template <typename Step>
struct Field {
  const char* name;
  std::function<MaybeProblem(const RecipeValue&, Step&)> read;
  std::function<RecipeValue(const Step&)> write;
  const char* missing = nullptr;  // a recipe must give it: what to say when it does not
};
template <typename Step>
using FieldTable = std::vector<Field<Step>>;

// ---- The readers every table is made of.

MaybeProblem ReadInteger(const RecipeValue& value, const char* name, long long low, long long high, int& to);
MaybeProblem ReadFlag(const RecipeValue& value, const char* name, bool& to);
// One of `words`; `to` takes its index.
MaybeProblem ReadWord(const RecipeValue& value, const char* name, const std::vector<std::string>& words, int& to);
// A list of `count` whole numbers in low..high.
MaybeProblem ReadNumbers(const RecipeValue& value, const char* name, std::size_t count, long long low, long long high,
                         std::vector<int>& to);
RecipeValue NumbersValue(const std::vector<int>& numbers);

// ---- Rows of a table.

// A whole number in low..high, kept where `number` finds it in the step.
template <typename Step, typename Get>
Field<Step> IntegerField(const char* name, Get number, long long low, long long high, const char* missing = nullptr) {
  return {name, [=](const RecipeValue& v, Step& s) { return ReadInteger(v, name, low, high, number(s)); },
          [=](const Step& s) { return RecipeValue::Of(static_cast<long long>(number(const_cast<Step&>(s)))); },
          missing};
}
// true or false.
template <typename Step, typename Get>
Field<Step> FlagField(const char* name, Get flag) {
  return {name,
          [=](const RecipeValue& v, Step& s) -> MaybeProblem {
            bool on = false;
            if (MaybeProblem problem = ReadFlag(v, name, on)) return problem;
            flag(s) = on;
            return std::nullopt;
          },
          [=](const Step& s) { return RecipeValue::Of(static_cast<bool>(flag(const_cast<Step&>(s)))); }};
}
// One of a few words, kept as the value the word stands for.
template <typename Step, typename Get, typename Set>
Field<Step> WordField(const char* name, std::vector<std::string> words, std::vector<int> values, Get get, Set set) {
  return {name,
          [=](const RecipeValue& v, Step& s) -> MaybeProblem {
            int index = 0;
            if (MaybeProblem problem = ReadWord(v, name, words, index)) return problem;
            set(s, values[static_cast<std::size_t>(index)]);
            return std::nullopt;
          },
          [=](const Step& s) {
            const int value = get(s);
            for (std::size_t i = 0; i < values.size(); ++i) {
              if (values[i] == value) return RecipeValue::Of(words[i]);
            }
            return RecipeValue::Of(words.front());
          }};
}
// A colour as [red, green, blue], each 0..255, kept in a struct of red,
// green and blue members.
template <typename Step, typename Get>
Field<Step> ColourField(const char* name, Get colour) {
  return {name,
          [=](const RecipeValue& v, Step& s) -> MaybeProblem {
            std::vector<int> rgb;
            if (MaybeProblem problem = ReadNumbers(v, name, 3, 0, 255, rgb)) return problem;
            auto& c = colour(s);
            c.red = rgb[0];
            c.green = rgb[1];
            c.blue = rgb[2];
            return std::nullopt;
          },
          [=](const Step& s) {
            const auto& c = colour(const_cast<Step&>(s));
            return NumbersValue({static_cast<int>(c.red), static_cast<int>(c.green), static_cast<int>(c.blue)});
          }};
}
