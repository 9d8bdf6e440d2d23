#include "platform/language.h"

int LanguageId = JapaneseLanguage;
