// The headless driver: its script parser and its runner, against a small
// fake program that records the messages it gets and asks for dialogs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/surface.h"

namespace {

std::vector<DriveCommand> Parse(const std::string& text) {
  std::vector<DriveCommand> commands;
  std::string error;
  EXPECT_TRUE(ParseDriveScript(text, "s.txt", commands, &error)) << error;
  return commands;
}

std::string ParseError(const std::string& text) {
  std::vector<DriveCommand> commands;
  std::string error;
  EXPECT_FALSE(ParseDriveScript(text, "s.txt", commands, &error)) << text;
  return error;
}

TEST(DriveScript, ParsesEveryCommandWithCommentsAndBlankLines) {
  const auto c = Parse(
      "# a comment\n"
      "open pictures/a b.bmp   # trailing comment\n"
      "\n"
      "cancel\r\n"
      "save-as out\n"
      "answer yes\n"
      "answer no\n"
      "click 130 15\n"
      "rclick 0 839\n"
      "drag 200 100 300 50\n"
      "move 1099 0\n"
      "key enter\n"
      "close\n"
      "shot take#2.png");
  ASSERT_EQ(c.size(), 12u);
  EXPECT_EQ(c[0].op, DriveOp::Open);
  EXPECT_EQ(c[0].file, "pictures/a b.bmp");
  EXPECT_EQ(c[0].line, 2);
  EXPECT_EQ(c[1].op, DriveOp::Cancel);
  EXPECT_EQ(c[1].line, 4);
  EXPECT_EQ(c[3].op, DriveOp::AnswerYes);
  EXPECT_EQ(c[4].op, DriveOp::AnswerNo);
  EXPECT_EQ(c[5].xy, (std::array<int, 4>{130, 15, 0, 0}));
  EXPECT_EQ(c[7].xy, (std::array<int, 4>{200, 100, 300, 50}));
  EXPECT_EQ(c[10].op, DriveOp::Close);
  EXPECT_EQ(c[11].file, "take#2.png");
}

TEST(DriveScript, AMalformedLineIsReportedWithItsNumber) {
  EXPECT_EQ(ParseError("click 1 2\nclik 3 4\n"),
            "s.txt:2: unknown command 'clik' (commands: open, cancel, save-as, answer, click, rclick, drag, move, "
            "key, close, shot)");
  EXPECT_EQ(ParseError("\n\nclick 10\n"), "s.txt:3: click needs two whole numbers: write 'click X Y'");
  EXPECT_EQ(ParseError("click 10 x\n"), "s.txt:1: 'x' is not a whole number: write 'click X Y'");
  EXPECT_EQ(ParseError("drag 1 2 1100 4\n"), "s.txt:1: x 1100 lies outside the client area (0..1099)");
  EXPECT_EQ(ParseError("answer maybe\n"), "s.txt:1: answer is 'answer yes' or 'answer no'");
  EXPECT_EQ(ParseError("key space\n"), "s.txt:1: the only key a script presses is Enter: write 'key enter'");
  EXPECT_EQ(ParseError("shot screen.bmp\n"),
            "s.txt:1: a shot is a PNG file: the name must end in .png: write 'shot FILE.png'");
  EXPECT_EQ(ParseError("open\n"), "s.txt:1: open needs a file name: write 'open FILE'");
  EXPECT_EQ(ParseError("close now\n"), "s.txt:1: close takes nothing after it: write 'close'");
}

// A fake program: its first paint asks for a picture, a click at y < 32 asks
// for a save name, a right click shows an OK box, close asks Yes/No and
// destroys the window on Yes. Each paint sets the title to the paint count.
struct FakeProgram {
  std::vector<std::string> log;
  bool wantOpen = true;
  bool wantSave = false;
  int paints = 0;

  WindowHandlers Handlers() {
    WindowHandlers h;
    h.onMessage = [this](const WindowMessage& m) {
      static const char* names[] = {"down", "up", "move", "rdown", "key", "close"};
      log.push_back(std::string(names[static_cast<int>(m.kind)]) + " " + std::to_string(m.x) + "," +
                    std::to_string(m.y) + (m.leftHeld ? " held" : "") +
                    (m.kind == MessageKind::KeyDown ? " key " + std::to_string(m.key) : ""));
      if (m.kind == MessageKind::LeftDown && m.y < 32) wantSave = true;
      if (m.kind == MessageKind::RightDown) CurrentDialogs().ShowMessage("line one\nline two", "Note", MessageButtons::Ok, MessageIcon::None);
      if (m.kind == MessageKind::Close &&
          CurrentDialogs().ShowMessage("Close?", "Sure", MessageButtons::YesNo, MessageIcon::Question) ==
              MessageAnswer::Yes)
        MainWindow().Destroy();
      if (m.kind != MessageKind::MouseMove) MainWindow().Invalidate();
    };
    h.onPaint = [this] {
      ++paints;
      Screen().FillRect({static_cast<std::uint8_t>(paints), 0, 0}, 0, 0, 10, 10);
      FileDialogRequest request;
      if (wantOpen) {
        wantOpen = false;
        request.kind = FileDialogKind::Open;
        request.title = "Open";
        const auto chosen = CurrentDialogs().AskFile(request);
        log.push_back("opened " + chosen.value_or("(cancel)"));
      }
      if (wantSave) {
        wantSave = false;
        request.kind = FileDialogKind::Save;
        request.title = "Save";
        request.defaultExtension = "bmp";
        const auto chosen = CurrentDialogs().AskFile(request);
        log.push_back("saved " + chosen.value_or("(cancel)"));
      }
      MainWindow().SetTitle(paints == 1 ? "first" : "later");
    };
    return h;
  }
};

struct DriveResult {
  int status = -1;
  std::string out, err;
  std::vector<std::string> log;
  std::vector<std::uint8_t> lastShot;
};

DriveResult Drive(const std::string& script, FakeProgram& program) {
  DriveResult run;
  std::vector<DriveCommand> commands;
  std::string error;
  if (!ParseDriveScript(script, "s.txt", commands, &error)) {
    ADD_FAILURE() << error;
    return run;
  }
  DriveSetup setup;
  setup.scriptName = "s.txt";
  setup.scriptFolder = "/pictures";
  setup.workFolder = "/work";
  setup.startTitle = "start";
  setup.handlers = [&program] { return program.Handlers(); };
  setup.startProgram = [&program] { program.log.push_back("start"); };
  setup.writeShot = [&run](const std::string& path, const std::vector<std::uint8_t>& rgb, std::string*) {
    run.log.push_back("shot " + path);
    run.lastShot = rgb;
    return true;
  };
  std::ostringstream out, err;
  run.status = RunDriveScript(commands, setup, out, err);
  run.out = out.str();
  run.err = err.str();
  for (auto& line : program.log) run.log.push_back(line);
  return run;
}

TEST(DriveRun, AnswersBeforeTheFirstInputAnswerTheFirstPaintInOrder) {
  FakeProgram program;
  const DriveResult run = Drive(
      "open a.bmp\n"
      "save-as /tmp/x\n"
      "cancel\n"
      "click 500 10\n"  // asks for a save name (painted between down and up): gets /tmp/x.bmp
      "click 500 10\n"  // cancelled by the queued cancel
      "click 500 10\n"  // nothing queued: cancelled
      "shot s.png\n",
      program);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.log, (std::vector<std::string>{"shot /work/s.png", "start", "opened /pictures/a.bmp",
                                                "down 500,10 held", "saved /tmp/x.bmp", "up 500,10",
                                                "down 500,10 held", "saved (cancel)", "up 500,10",
                                                "down 500,10 held", "saved (cancel)", "up 500,10"}));
  EXPECT_EQ(run.out,
            "dialog: open Open\ntitle: first\ndialog: save Save\ntitle: later\ndialog: save Save\n"
            "dialog: save Save\n");
  // The shot is the client area as shown after the last paint.
  ASSERT_EQ(run.lastShot.size(), 1100u * 840u * 3u);
  EXPECT_EQ(run.lastShot[0], 7);  // seven paints: the first and two per click
}

TEST(DriveRun, AnOpenAnswerIsNeverGivenToASaveDialog) {
  FakeProgram program;
  program.wantOpen = false;
  const DriveResult run = Drive("click 500 10\nopen b.bmp\nkey enter\n", program);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "saved (cancel)"), run.log.end());
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "key 0,0 key 13"), run.log.end());
}

TEST(DriveRun, DragMovesWithTheButtonHeldAndEndsOnTheSecondPoint) {
  FakeProgram program;
  const DriveResult run = Drive("cancel\ndrag 200 100 216 60\n", program);
  EXPECT_EQ(run.status, 0);
  std::vector<std::string> moves;
  for (const auto& line : run.log)
    if (line.rfind("move", 0) == 0) moves.push_back(line);
  ASSERT_EQ(moves.size(), static_cast<std::size_t>(DragSteps));
  EXPECT_EQ(moves.front(), "move 202,95 held");
  EXPECT_EQ(moves.back(), "move 216,60 held");
  EXPECT_EQ(run.log.back(), "up 216,60");
}

TEST(DriveRun, MessagesPrintLineFeedsAndCloseStopsLaterInput) {
  FakeProgram program;
  const DriveResult run = Drive("cancel\nrclick 400 300\nanswer no\nclose\nanswer yes\nclose\nshot after.png\nclick 1 1\n",
                        program);
  EXPECT_EQ(run.out,
            "dialog: open Open\ntitle: first\nmessage: Note | line one\\nline two\ntitle: later\n"
            "message: Sure | Close?\nmessage: Sure | Close?\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "s.txt:8: the window was closed at line 6; 'click' cannot run after that\n");
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "shot /work/after.png"), run.log.end());
}

TEST(DriveRun, AScriptOfAnswersOnlyStillPaintsOnce) {
  FakeProgram program;
  const DriveResult run = Drive("open /abs/p.bmp\n", program);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(program.paints, 1);
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "opened /abs/p.bmp"), run.log.end());
}

}  // namespace
