// The headless driver: its script parser and its runner, against a small
// fake program that records the messages it gets and asks for dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/surface.h"

namespace {

TEST(DriveScript, ParsesEveryCommandAndReportsAMalformedLineWithItsNumber) {
  std::vector<DriveCommand> c;
  std::string error;
  ASSERT_TRUE(ParseDriveScript("# a comment\n"
                               "open pictures/a b.bmp   # trailing comment\n"
                               "\n"
                               "cancel\r\n"
                               "save-as out\nanswer yes\nanswer no\nclick 130 15\nrclick 0 839\n"
                               "drag 200 100 300 50\nmove 1099 0\nkey enter\nwheel shift -3\nclose\nshot take#2.png",
                               "s.txt", c, &error))
      << error;
  std::vector<DriveOp> ops;
  for (const DriveCommand& command : c) ops.push_back(command.op);
  using enum DriveOp;
  ASSERT_EQ(ops, (std::vector{Open, Cancel, SaveAs, AnswerYes, AnswerNo, Click, RightClick, Drag, Move, Key,
                              Wheel, Close, Shot}));
  EXPECT_EQ(c[0].file, "pictures/a b.bmp");
  EXPECT_EQ(std::pair(c[0].line, c[1].line), std::pair(2, 4));
  EXPECT_EQ(c[5].xy, (std::array<int, 4>{130, 15, 0, 0}));
  EXPECT_EQ(c[7].xy, (std::array<int, 4>{200, 100, 300, 50}));
  EXPECT_EQ(std::pair(c[10].shift, c[10].wheel), std::pair(true, -3));
  EXPECT_EQ(c[12].file, "take#2.png");
  const std::string wheel = "wheel takes a whole number of notches, -100..100 but not 0 (away from the user "
                            "positive): write 'wheel [shift] N'";
  const std::string saveAs = "save-as needs a file name, not a folder: write 'save-as FILE'";
  const std::pair<const char*, std::string> cases[] = {
      {"click 1 2\nclik 3 4\n",
       "s.txt:2: unknown command 'clik' (commands: open, cancel, save-as, save-whole, answer, click, rclick, drag, "
       "move, key, wheel, close, shot)"},
      {"wheel 0\n", "s.txt:1: " + wheel}, {"wheel up 2\n", "s.txt:1: " + wheel},
      {"\n\nclick 10\n", "s.txt:3: click needs two whole numbers: write 'click X Y'"},
      {"click 10 x\n", "s.txt:1: 'x' is not a whole number: write 'click X Y'"},
      {"drag 1 2 1100 4\n", "s.txt:1: x 1100 lies outside the client area (0..1099)"},
      {"answer maybe\n", "s.txt:1: answer is 'answer yes' or 'answer no'"},
      {"key space\n", "s.txt:1: the keys a script presses are enter, ctrl+z, ctrl+shift+z, ctrl+y and ctrl+0: write 'key NAME'"},
      {"shot screen.bmp\n", "s.txt:1: a shot is a PNG file: the name must end in .png: write 'shot FILE.png'"},
      {"open\n", "s.txt:1: open needs a file name: write 'open FILE'"},
      {"close now\n", "s.txt:1: close takes nothing after it: write 'close'"},
      {"save-as .\n", "s.txt:1: " + saveAs}, {"save-as /\n", "s.txt:1: " + saveAs},
      {"save-as out/..\n", "s.txt:1: " + saveAs},
  };
  for (const auto& [script, message] : cases) {
    std::vector<DriveCommand> commands;
    EXPECT_FALSE(ParseDriveScript(script, "s.txt", commands, &error)) << script;
    EXPECT_EQ(error, message);
  }
}

// A fake program run by the driver: its first paint asks for a picture, a
// click at y < 32 asks for a save name, a right click shows an OK box, close
// asks Yes/No and destroys the window on Yes. Each paint fills the corner
// with red = the paint count and titles the window "first", then "later".
// What it gets, and every shot written, goes to one log in order.
struct FakeProgram {
  std::vector<std::string> log;
  bool wantOpen = true, wantSave = false;
  int paints = 0;
  std::string out, err;  // the driver's reports and errors
  std::vector<std::uint8_t> lastShot;

  void Message(const WindowMessage& m) {
    static const char* names[] = {"down", "up", "move", "rdown", "key", "close", "wheel"};
    log.push_back(std::string(names[static_cast<int>(m.kind)]) + " " + std::to_string(m.x) + "," +
                  std::to_string(m.y) + (m.leftHeld ? " held" : "") +
                  (m.kind == MessageKind::KeyDown ? " key " + std::to_string(m.key) : ""));
    if (m.kind == MessageKind::LeftDown && m.y < 32) wantSave = true;
    if (m.kind == MessageKind::RightDown)
      CurrentDialogs().ShowMessage("line one\nline two", "Note", MessageButtons::Ok, MessageIcon::None);
    if (m.kind == MessageKind::Close &&
        CurrentDialogs().ShowMessage("Close?", "Sure", MessageButtons::YesNo, MessageIcon::Question) ==
            MessageAnswer::Yes)
      MainWindow().Destroy();
    if (m.kind != MessageKind::MouseMove) MainWindow().Invalidate();
  }
  // Asks for a file once when wanted and logs the answer after `verb`.
  void AskOnce(bool& want, FileDialogKind kind, const char* title, const std::string& verb) {
    if (!want) return;
    want = false;
    FileDialogRequest request;
    request.kind = kind;
    request.title = title;
    if (kind == FileDialogKind::Save) request.defaultExtension = "bmp";
    log.push_back(verb + " " + CurrentDialogs().AskFile(request).value_or("(cancel)"));
  }
  void Paint() {
    Screen().FillRect({static_cast<std::uint8_t>(++paints), 0, 0}, 0, 0, 10, 10);
    AskOnce(wantOpen, FileDialogKind::Open, "Open", "opened");
    AskOnce(wantSave, FileDialogKind::Save, "Save", "saved");
    MainWindow().SetTitle(paints == 1 ? "first" : "later");
  }
  bool Logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

  // Runs a script as s.txt in /pictures, working in /work: the driver's exit status.
  int Drive(const std::string& script) {
    std::vector<DriveCommand> commands;
    std::string error;
    EXPECT_TRUE(ParseDriveScript(script, "s.txt", commands, &error)) << error;
    const DriveSetup setup{
        .scriptName = "s.txt", .scriptFolder = "/pictures", .workFolder = "/work", .startTitle = "start",
        .startProgram = [this] { log.push_back("start"); },
        .handlers =
            [this] {
              return WindowHandlers{[this](const WindowMessage& m) { Message(m); }, [this] { Paint(); }};
            },
        .writeShot = [this](const std::string& path, const std::vector<std::uint8_t>& rgb, std::string*) {
          log.push_back("shot " + path);
          lastShot = rgb;
          return true;
        },
        .afterInput = {}};
    std::ostringstream o, e;
    const int status = RunDriveScript(commands, setup, o, e);
    out = o.str();
    err = e.str();
    return status;
  }
};

TEST(DriveRun, AnswersBeforeTheFirstInputAnswerTheFirstPaintInOrder) {
  // Each click asks for a save name, painted between down and up: the first gets /tmp/x.bmp, the second
  // the queued cancel, the third nothing queued, so it is cancelled too.
  FakeProgram program;
  const int status =
      program.Drive("open a.bmp\nsave-as /tmp/x\ncancel\nclick 500 10\nclick 500 10\nclick 500 10\nshot s.png\n");
  EXPECT_EQ(status, 0) << program.err;
  EXPECT_EQ(program.log, (std::vector<std::string>{"start", "opened /pictures/a.bmp",
                                                    "down 500,10 held", "saved /tmp/x.bmp", "up 500,10",
                                                    "down 500,10 held", "saved (cancel)", "up 500,10",
                                                    "down 500,10 held", "saved (cancel)", "up 500,10",
                                                    "shot /work/s.png"}));
  EXPECT_EQ(program.out,
            "dialog: open Open\ntitle: first\ndialog: save Save\ntitle: later\ndialog: save Save\n"
            "dialog: save Save\n");
  // The shot is the client area as shown after the last paint.
  ASSERT_EQ(program.lastShot.size(), 1100u * 840u * 3u);
  EXPECT_EQ(program.lastShot[0], 7);  // seven paints: the first and two per click
}

TEST(DriveRun, AnOpenAnswerIsNeverGivenToASaveDialog) {
  FakeProgram program;
  program.wantOpen = false;
  EXPECT_EQ(program.Drive("click 500 10\nopen b.bmp\nkey enter\n"), 0);
  EXPECT_TRUE(program.Logged("saved (cancel)"));
  EXPECT_TRUE(program.Logged("key 0,0 key 13"));
}

TEST(DriveRun, DragMovesWithTheButtonHeldAndEndsOnTheSecondPoint) {
  FakeProgram program;
  EXPECT_EQ(program.Drive("cancel\ndrag 200 100 216 60\n"), 0);
  std::vector<std::string> moves;
  std::copy_if(program.log.begin(), program.log.end(), std::back_inserter(moves),
               [](const std::string& line) { return line.rfind("move", 0) == 0; });
  ASSERT_EQ(moves.size(), static_cast<std::size_t>(DragSteps));
  EXPECT_EQ(moves.front(), "move 202,95 held");
  EXPECT_EQ(moves.back(), "move 216,60 held");
  EXPECT_EQ(program.log.back(), "up 216,60");
}

TEST(DriveRun, MessagesPrintLineFeedsAndCloseStopsLaterInput) {
  FakeProgram program;
  const int status =
      program.Drive("cancel\nrclick 400 300\nanswer no\nclose\nanswer yes\nclose\nshot after.png\nclick 1 1\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(program.out,
            "dialog: open Open\ntitle: first\nmessage: Note | line one\\nline two\ntitle: later\n"
            "message: Sure | Close?\nmessage: Sure | Close?\n");
  EXPECT_EQ(program.err, "s.txt:8: the window was closed at line 6; 'click' cannot run after that\n");
  EXPECT_TRUE(program.Logged("shot /work/after.png"));
}

TEST(DriveRun, AScriptOfAnswersOnlyStillPaintsOnce) {
  FakeProgram program;
  EXPECT_EQ(program.Drive("open /abs/p.bmp\n"), 0);
  EXPECT_EQ(program.paints, 1);
  EXPECT_TRUE(program.Logged("opened /abs/p.bmp"));
}

}  // namespace
