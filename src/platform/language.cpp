#include "platform/language.h"

#include <string_view>

int LanguageId = JapaneseLanguage;
int StartLanguageId = JapaneseLanguage;

int LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  std::string_view locale;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && *value != '\0') {
      locale = value;
      break;
    }
  }
  // The language part: what stands before the territory, the code set and
  // the modifier ("ja" of "ja_JP.UTF-8@x").
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  if (language.empty() || language == "C" || language == "POSIX" || language == "ja") return JapaneseLanguage;
  return EnglishLanguage;
}
