// The language every text of the program is shown in. It sits at the bottom
// of the program, beside the dialogs, because the file routines' messages
// and the dialogs' own words follow it as well as the panels do.
#pragma once

inline constexpr int JapaneseLanguage = 1;
inline constexpr int EnglishLanguage = 2;

// 1 Japanese (start), 2 English; the TOP page's language key word switches it.
extern int LanguageId;

// A text in both languages, Japanese first as the design writes them.
struct BilingualText {
  const char* japanese;
  const char* english;
  const char* InCurrentLanguage() const { return LanguageId == EnglishLanguage ? english : japanese; }
};
