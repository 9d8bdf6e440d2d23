// Languages, comment pages, explanations and the shared notes.
//
// [SECTION] Shared globals
// [SECTION] Drawing lines
// [SECTION] Shared notes
// [SECTION] Notation legend
// [SECTION] Request mechanism

#include "panel/comments.h"

#include <string>

#include "panel/calculator.h"

// [SECTION] Shared globals

CommentState CommentPanel;

void StartPanelState() {
  LanguageId = StartLanguageId;
  CommentPanel = {};
  ResetCalculator();
}

bool Japanese() { return LanguageId != EnglishLanguage; }

std::string_view TextFor(const CommentLine& line) {
  const char* text = Japanese() ? line.japanese : line.english;
  return text == nullptr ? std::string_view{} : std::string_view{text};
}

// [SECTION] Drawing lines

namespace {

// The notation "<>" of the comment lines ("[<>]"): drawn glyph by glyph, the
// two angles NotationGap pixels apart and from what stands beside them, since
// in the panel face they would otherwise touch and read as one diamond.
constexpr std::string_view Notation = "<>";
constexpr int NotationGap = 2;

void DrawCommentLine(Surface& surface, const Font& font, Rgb colour, int x, int y, std::string_view line) {
  while (!line.empty()) {
    const std::size_t at = line.find(Notation);
    const std::string_view before = line.substr(0, at);
    surface.Text(font, colour, TextBackground::Opaque, White, x, y, before);
    if (at == std::string_view::npos) return;
    x += Surface::TextWidth(font, before) + NotationGap;
    for (const std::string_view angle : {std::string_view{"<"}, std::string_view{">"}}) {
      surface.Text(font, colour, TextBackground::Opaque, White, x, y, angle);
      x += Surface::TextWidth(font, angle) + NotationGap;
    }
    line.remove_prefix(at + Notation.size());
  }
}

}  // namespace

void DrawCommentLines(Surface& surface, Rgb colour, std::span<const std::string_view> lines, int x, int y) {
  const Font font = MakePanelFont(CommentFontHeight);
  const std::size_t count = std::min<std::size_t>(lines.size(), CommentLineY.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (lines[i].empty()) continue;
    const int lineY = y + (CommentLineY[i] - CommentLineY[0]);
    DrawCommentLine(surface, font, colour, x, lineY, lines[i]);
  }
}

void DrawComment(Surface& surface, const CommentText& text) {
  std::array<std::string_view, 5> lines{};
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = TextFor(text.lines[i]);
  DrawCommentLines(surface, text.colour, lines, text.x, text.y);
}

// [SECTION] Shared notes

namespace {

// The restore note; "%d" is the slot the page's Restore reads.
constexpr std::array<CommentLine, 2> RestoreNote = {{
    {"Restore← [<>] call KEEP%d.bmp image;", "復元← [<>] KEEP%d画像を呼び出す;"},
    {"       All black image [←] no KEEP%d.bmp image;", "　　　 黒い画面 [←] KEEP%d画像が存在していない;"},
}};

constexpr CommentText CalculatorNote = {
    .selector = 0,
    .colour = NoteColour,
    .lines = {{
        {"calculator [<>] When a switch of a value box is on, it makes the value change;",
         "電卓 [<>] 数値枠のスイッチがオンのとき、その値を変える;"},
        {" (1)digit keys [→] a number of up to four digits; a fifth digit clears the number;",
         " (1)数字キー [→] ４桁までの数; ５桁目で数は消える;"},
        {" (2)[＋] or [－] [→] add the number to the value or subtract it from the value;",
         " (2)[＋] または [－] [→] 数を値に足す、または値から引く;"},
        {" [ＡＣ] [→] the value becomes 0; [Ｃ] [→] clear the number;",
         " [ＡＣ] [→] 値を０にする; [Ｃ] [→] 数を消す;"},
        {" other limit condition may affect the result;", " 他の制限条件が結果に影響することがある;"},
    }},
};

}  // namespace

void DrawRestoreNote(Surface& surface, int slot) {
  std::array<std::string, 2> texts;
  std::array<std::string_view, 2> lines;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i] = FormatPanelText(TextFor(RestoreNote[i]), slot);
    lines[i] = texts[i];
  }
  DrawCommentLines(surface, NoteColour, lines);
}

void DrawCalculatorNote(Surface& surface) { DrawComment(surface, CalculatorNote); }

// [SECTION] Notation legend

namespace {
constexpr Rgb NotationLeft{200, 100, 100};   // the "[<>]", "[→]", "(+)" lines
constexpr Rgb NotationRight{100, 100, 200};  // their readings
constexpr PanelKey NotationLine(int code, int y, Rgb colour, const char* english, const char* japanese) {
  return PanelKey{.code = code, .x = 4, .y = y, .width = 88, .keyColour = White, .textColour = colour,
                  .english = english, .japanese = japanese, .kind = KeyKind::Label,
                  .fontHeight = LargeFontHeight};
}
}  // namespace

const std::array<PanelKey, 7> NotationLegend = {{
    PanelKey{.code = 200, .x = 2, .y = 574, .width = 88, .keyColour = White, .english = "note code",
             .japanese = "コメント記号", .kind = KeyKind::Label, .fontHeight = LargeFontHeight},
    NotationLine(210, 594, NotationLeft, "A [<>] B;", "Ａ [<>] Ｂ;"),
    NotationLine(220, 612, NotationRight, " A is B;", " ＡはＢ;"),
    NotationLine(230, 630, NotationLeft, "A [→] B;", "Ａ [→] Ｂ;"),
    NotationLine(240, 648, NotationRight, " if A then B;", " ＡならばＢ;"),
    NotationLine(250, 666, NotationLeft, "A (+) B;", "Ａ(+)Ｂ;"),
    NotationLine(260, 684, NotationRight, " A and B;", " ＡかつＢ;"),
}};

void DrawNotationLegend(Surface& surface) { DrawPanel(surface, NotationLegend); }

// [SECTION] Request mechanism

const CommentText* FindExplanation(std::span<const CommentText> explanations, int selector) {
  if (selector == 0) return nullptr;
  for (const CommentText& text : explanations) {
    if (text.selector == selector) return &text;
  }
  return nullptr;
}

int ServeComments(Surface& surface, const PageComments& page, int& selector) {
  if (page.onlyWhileCommentOn && !CommentPanel.on) return NoCommentRequest;
  int served = NoCommentRequest;
  if (CommentPanel.request == page.commentCode) {
    if (page.comment != nullptr) DrawComment(surface, *page.comment);
    served = page.commentCode;
  } else if (CommentPanel.request == RestoreNoteRequest) {
    DrawRestoreNote(surface, page.slot);
    served = RestoreNoteRequest;
  } else if (CommentPanel.request == CalculatorNoteRequest && page.hasCalculator) {
    DrawCalculatorNote(surface);
    served = CalculatorNoteRequest;
  }
  if (served != NoCommentRequest) {
    selector = 0;
    CommentPanel.request = NoCommentRequest;
  }
  if (const CommentText* explanation = FindExplanation(page.explanations, selector)) DrawComment(surface, *explanation);
  selector = 0;
  return served;
}
