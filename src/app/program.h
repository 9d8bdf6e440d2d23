// The program as a backend runs it: its window procedure and paint handler,
// and the start-up of its global state.
#pragma once

#include "platform/window.h"

// The window title at start.
inline constexpr const char* ProgramTitleAtStart = "ヴァントルゼフリンサンプル VANTOR ZEPHRIN SAMPLE vazesample";

// Puts every global back to its start value (a new run).
void StartProgram();

// The handlers a backend's message loop calls.
WindowHandlers ProgramHandlers();
