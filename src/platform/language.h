// The language every text of the program is shown in. It sits at the bottom
// of the program, beside the dialogs, because the file routines' messages
// and the dialogs' own words follow it as well as the panels do.
#pragma once

inline constexpr int JapaneseLanguage = 1;
inline constexpr int EnglishLanguage = 2;

// 1 Japanese, 2 English; the TOP page's language key word switches it.
extern int LanguageId;

// The language a run starts in: Japanese unless the command line
// (`--language`) or the locale (LanguageFromLocale) chose English.
extern int StartLanguageId;

// The start language the locale asks for. The locale is the first non-empty
// of LC_ALL, LC_MESSAGES and LANG (nullptr: not set). Japanese when it names
// Japanese ("ja", "ja_JP.UTF-8", "ja_JP@...") or says nothing of a language
// (none set, "C", "C.UTF-8", "POSIX"), as the program always started;
// English for every other language.
int LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

// A text in both languages, Japanese first as the design writes them.
struct BilingualText {
  const char* japanese;
  const char* english;
  const char* InCurrentLanguage() const { return LanguageId == EnglishLanguage ? english : japanese; }
};
