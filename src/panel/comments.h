// Languages, comment pages, key-word explanations and the shared notes.
//
// Every page explains itself in up to five lines under the image. A page
// keeps its comment and its explanations as data (both languages side by side
// in each line) and calls ServeComments at the end of its paint section; that
// one call draws what CommentRequest and the page's explanation selector ask
// for and resets them, so a text shows for exactly one paint.
//
// Routines:
//   StartPanelState        the start values of the shared panel globals
//   Japanese / TextFor     the current language, the text of a line in it
//   DrawCommentLines       up to five lines in a colour, height-12 font, opaque
//   DrawComment            a comment or explanation in the current language
//   DrawRestoreNote        the two-line restore note of a slot
//   DrawCalculatorNote     the calculator note
//   DrawNotationLegend     TOP's "note code" legend (codes 200 .. 260)
//   FindExplanation        the explanation of a selector in a page's table
//   ServeComments          the request mechanism of a page's paint section
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "panel/widgets.h"
#include "platform/language.h"
#include "platform/surface.h"

// What the comment lines show, shared by every page (LanguageId lives in
// platform/language.h).
struct CommentState {
  bool on = true;    // comments and explanations shown on TOP
  int request = 0;   // comment the next paint draws: a page code, 10, 11, or 99 none
  int helpItem = 0;  // TOP's explanation selector, 0 none
};
extern CommentState CommentPanel;

inline constexpr int RestoreNoteRequest = 10;
inline constexpr int CalculatorNoteRequest = 11;
inline constexpr int NoCommentRequest = 99;

// The text area under the image.
inline constexpr int CommentLineX = 120;
inline constexpr std::array<int, 5> CommentLineY = {708, 722, 736, 750, 764};
inline constexpr int CommentFontHeight = 12;
inline constexpr Rgb CommentColour = Black;        // page comments
inline constexpr Rgb NoteColour{50, 100, 200};     // restore and calculator notes

// The colours explanations are drawn in.
inline constexpr Rgb ExplainBlue{50, 50, 150};
inline constexpr Rgb ExplainGreen{50, 150, 50};
inline constexpr Rgb ExplainRed{150, 50, 50};
inline constexpr Rgb ExplainPurple{150, 50, 150};
inline constexpr Rgb ExplainTeal{50, 150, 150};
inline constexpr Rgb ExplainOlive{150, 150, 50};
inline constexpr Rgb ExplainGrey{150, 150, 150};
inline constexpr Rgb ExplainDark{50, 50, 50};
inline constexpr Rgb ExplainDeepBlue{20, 40, 155};
inline constexpr Rgb ExplainBrown{100, 40, 40};
inline constexpr Rgb ExplainCrimson{155, 20, 40};

// One line in both languages. A null text draws nothing.
struct CommentLine {
  const char* english = nullptr;
  const char* japanese = nullptr;
};

// A comment page or an explanation: up to five lines, a colour, and where the
// first line stands (the text area by default; some GAMON explanations stand
// beside its graphs). `selector` is the explanation's number (unused for a
// page comment).
struct CommentText {
  int selector = 0;
  Rgb colour = CommentColour;
  std::array<CommentLine, 5> lines{};
  int x = CommentLineX;
  int y = 708;
};

// Puts LanguageId, CommentOn, CommentRequest, HelpItem and the calculator
// state back to their start values (a new run).
void StartPanelState();

// True while the panels are in Japanese.
bool Japanese();
// A line's text in the current language ("" for a missing text).
std::string_view TextFor(const CommentLine& line);

// Up to five lines from (x, y), 14 pixels apart, font MakePanelFont(12),
// opaque on white. Empty lines are skipped but keep their place.
void DrawCommentLines(Surface& surface, Rgb colour, std::span<const std::string_view> lines,
                      int x = CommentLineX, int y = 708);
// A comment or explanation in the current language.
void DrawComment(Surface& surface, const CommentText& text);

// "Restore← [<>] call KEEP%d.bmp image;" and its second line, for a slot, in (50, 100, 200).
void DrawRestoreNote(Surface& surface, int slot);
// The calculator note, in (50, 100, 200).
void DrawCalculatorNote(Surface& surface);

// TOP's legend of the notation: "note code" at (2, 574), then the six
// notation lines at x 4, y 594 .. 684, height-12 font.
extern const std::array<PanelKey, 7> NotationLegend;
void DrawNotationLegend(Surface& surface);

// The explanation of a selector in a page's table, null when none.
const CommentText* FindExplanation(std::span<const CommentText> explanations, int selector);

// What a page hands to ServeComments.
struct PageComments {
  int commentCode = 0;               // the page's own comment code (0 TOP, 1 .. 9, 13, 15, 16, 17)
  int slot = 0;                      // keep slot named in the restore note
  bool hasCalculator = false;        // the page serves the calculator note (request 11)
  bool onlyWhileCommentOn = false;   // TOP: nothing is served while CommentOn = 0
  const CommentText* comment = nullptr;  // the page comment (null: draws nothing but still resets)
  std::span<const CommentText> explanations{};
};

// The comment step of a page section, in order:
//  1. CommentRequest = the page's code: its comment; 10: the restore note of
//     its slot; 11 on a calculator page: the calculator note. In each case the
//     selector is reset to 0 and CommentRequest = 99.
//  2. Then the explanation of `selector` (if the table has it) is drawn and
//     the selector is set to 0.
// On a page with onlyWhileCommentOn, both steps run only while CommentOn = 1.
// Returns the request served in step 1 (the page code, 10 or 11), or 99.
int ServeComments(Surface& surface, const PageComments& page, int& selector);
