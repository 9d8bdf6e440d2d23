// vazesample-batch as a user runs it, each test in a folder of its own: what
// it writes, what it says, what it never loses and what it refuses.

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "image/bmp_files.h"
#include "image/planes.h"
#include "ops/picture_steps.h"
#include "ops/recipe.h"
#include "platform/files.h"
#include "platform/picture_loader.h"
#include "support/program_session.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The exit status of a shell command line.
int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Tool(const std::string& name) {
  return std::string(VZ_BINARY_DIR) + "/tools/" + name.substr(name.find('-') + 1) + "/" + name;
}

Bytes Worked(const std::vector<PictureStep>& steps, const std::string& path, Edges edges) {
  const std::optional<Picture> picture = LoadPicture(path);
  EXPECT_TRUE(picture.has_value()) << path;
  return picture ? EncodePictureBmp(ApplySteps(steps, *picture, 2, edges)) : Bytes{};
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool WriteText(const std::string& path, const std::string& text) {
  return WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

class BatchTool : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = (fs::temp_directory_path() / ("vz-batch-" + std::to_string(::getpid()))).string();
    fs::remove_all(folder_);
    fs::create_directories(folder_ + "/in");
    fs::create_directories(folder_ + "/out");
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string In(const std::string& name) const { return folder_ + "/" + name; }
  // A run in the folder, its lines in English unless the arguments say.
  int Batch(const std::string& arguments, const std::string& before = "") const {
    return RunCommand("cd " + folder_ + " && " + before + Tool("vazesample-batch") + " --quiet --language en " +
                      arguments + " 2>" + folder_ + "/err.txt");
  }
  std::string Errors() const { return Text(FileBytes(folder_ + "/err.txt")); }
  std::string LastLine() const {
    std::string errors = Errors();
    if (!errors.empty() && errors.back() == '\n') errors.pop_back();
    return errors.substr(errors.find_last_of('\n') + 1);
  }
  std::string folder_;
};

// ---- The steps ---------------------------------------------------------------------

TEST_F(BatchTool, APictureGetsTheStepsWithItsEdgesWorkedAndAnExistingOutputIsKept) {
  WriteTestPicture(In("in/a.bmp"), 600, 400, Varied);
  // With --edges white, as on the canvas: what the pages store, and what
  // vazesample-eye gives placed on the canvas (pivot 0, 0, 0): the picture
  // is the top left of its output.
  ASSERT_EQ(Batch("--edges white --step eye:horn_key=F --out out in/a.bmp"), 0) << Errors();
  EXPECT_EQ(FileBytes(In("out/a.bmp")), Worked({EyeStep{}}, In("in/a.bmp"), Edges::AsCanvas));
  EXPECT_EQ(LastLine(), "vazesample-batch: 1 written; 0 refused; 0 skipped as not pictures; 0 kept because the output was there");
  ASSERT_EQ(RunCommand(Tool("vazesample-eye") + " --key F --ref none " + In("in/a.bmp") + " " + In("eye.bmp")), 0);
  const std::optional<Picture> canvas = LoadPicture(In("eye.bmp"));
  ASSERT_TRUE(canvas && canvas->width == Stride);
  Picture corner{600, 400, {}};
  for (int y = 0; y < 400; ++y) {
    const auto row = canvas->rgb.begin() + static_cast<long>(y) * Stride * 3;
    corner.rgb.insert(corner.rgb.end(), row, row + 600 * 3);
  }
  EXPECT_EQ(FileBytes(In("out/a.bmp")), EncodePictureBmp(corner));
  // A recipe's edges hold unless --edges says otherwise.
  ASSERT_TRUE(WriteText(In("white.toml"), "version = 1\nedges = \"white\"\n[[step]]\nkind = \"eye\"\nhorn_key = \"F\"\n"));
  ASSERT_EQ(Batch("--recipe white.toml --overwrite --out out in/a.bmp"), 0) << Errors();
  EXPECT_EQ(FileBytes(In("out/a.bmp")), EncodePictureBmp(corner));
  ASSERT_EQ(Batch("--recipe white.toml --edges extend --overwrite --out out in/a.bmp"), 0) << Errors();
  EXPECT_EQ(FileBytes(In("out/a.bmp")), Worked({EyeStep{}}, In("in/a.bmp"), Edges::Extend));

  // An output that exists is kept, and said so; that is no refusal.
  const Bytes first = FileBytes(In("out/a.bmp"));
  EXPECT_EQ(Batch("--step filter:peach=true --out out in/a.bmp"), 0);
  EXPECT_NE(Errors().find("in/a.bmp: kept out/a.bmp, which exists (--overwrite replaces it)"), std::string::npos)
      << Errors();
  EXPECT_EQ(LastLine(), "vazesample-batch: 0 written; 0 refused; 0 skipped as not pictures; 1 kept because the output was there");
  EXPECT_EQ(FileBytes(In("out/a.bmp")), first);
  ASSERT_EQ(Batch("--step filter:peach=true --overwrite --out out in/a.bmp"), 0) << Errors();
  FilterStep peach;
  peach.settings.peachOn = true;
  EXPECT_EQ(FileBytes(In("out/a.bmp")), Worked({peach}, In("in/a.bmp"), Edges::Extend));
}

// A large picture read and worked band by band at its own size: as
// vazesample-eye --full-size works it, and through every kind of step (the
// fuzz seed that holds them all), then the balances from the whole picture's
// levels, as ApplySteps works it (by default the edges worked too).
TEST_F(BatchTool, ALargePictureIsWorkedAtItsOwnSizeAsTheEyeToolAndApplyStepsWorkIt) {
  // White under row 600: the levels differ band by band.
  WriteTestPicture(In("in/large.bmp"), 1200, 810, [](int x, int y) { return y < 600 ? Varied(x, y) : White; });
  for (const char* edges : {"extend", "white"}) {
    SCOPED_TRACE(edges);
    ASSERT_EQ(Batch(std::string("--overwrite --edges ") + edges + " --step eye:horn_key=D,pivot=levels --out out in/large.bmp"), 0)
        << Errors();
    ASSERT_EQ(RunCommand(Tool("vazesample-eye") + " --key D --ref auto --full-size --edges " + edges + " " +
                         In("in/large.bmp") + " " + In("eye.bmp")),
              0);
    const Bytes out = FileBytes(In("out/large.bmp"));
    ASSERT_EQ(out.size(), 54u + 1200u * 810u * 3u);
    EXPECT_EQ(out, FileBytes(In("eye.bmp")));
  }
  const std::string recipe = std::string(VZ_SOURCE_DIR) + "/tests/fuzz/seeds/recipe_fuzz/every_kind.toml";
  const RecipeResult read = ReadRecipeFile(recipe);
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(read.steps.size(), 6u);
  ASSERT_EQ(Batch("--recipe " + recipe + " --step filter:colour_power_on=true,peach=true --step eye:horn_key=B "
                  "--overwrite --out out in/large.bmp"),
            0)
      << Errors();
  FilterStep filter;
  filter.settings.colourPowerOn = filter.settings.peachOn = true;
  std::vector<PictureStep> steps = read.steps;
  steps.insert(steps.end(), {filter, EyeStep{.hornKey = 2, .settings = {}}});  // key B
  EXPECT_EQ(FileBytes(In("out/large.bmp")), Worked(steps, In("in/large.bmp"), Edges::Extend));
}

// ---- What a run says ----------------------------------------------------------------

// Two good pictures, four broken ones, and five things that are no picture:
// each refusal and each skip has its line, the last line counts them, in
// the language asked for, and the status says that something was refused.
TEST_F(BatchTool, AMixedFolderIsSaidFileByFileAndSummedUp) {
  WriteTestPicture(In("in/a.bmp"), 100, 80, Varied);
  WriteTestPicture(In("in/b.bmp"), 90, 70, Varied);
  for (const char* broken : {"in/c.bmp", "in/d.png", "in/e.jpg", "in/f.gif"}) ASSERT_TRUE(WriteText(In(broken), "no"));
  ASSERT_TRUE(WriteFileAtomically(In("in/readme.txt"), Bytes{'h', 'i'}));
  fs::create_directories(In("in/dir.bmp"));
  fs::create_directories(In("in/sub"));
  WriteTestPicture(In("in/sub/deep.bmp"), 50, 40, Varied);
  fs::create_symlink(In("in/gone.bmp"), In("in/dangling.bmp"));
  fs::create_symlink("/dev/null", In("in/device.bmp"));
  fs::remove_all(In("out"));
  EXPECT_EQ(Batch("--step filter:berry=true --jobs 2 --out out in"), 1);  // "out" is made
  const std::string errors = Errors();
  EXPECT_TRUE(fs::exists(In("out/a.bmp")) && fs::exists(In("out/b.bmp")));
  for (const char* name : {"c", "d", "e", "f", "deep"}) EXPECT_FALSE(fs::exists(In(std::string("out/") + name + ".bmp"))) << name;
  for (const char* line : {"in/c.bmp: refused: ", "in/d.png: refused: ", "in/e.jpg: refused: ", "in/f.gif: refused: ",
                           "in/readme.txt: not a picture's name: skipped",
                           "in/dir.bmp: a folder, though named like a picture: skipped",
                           "in/sub: a folder (not entered; --recursive enters folders): skipped",
                           "in/dangling.bmp: a link to nothing: skipped",
                           "in/device.bmp: not a regular file (a device, a pipe or a socket): skipped"})
    EXPECT_NE(errors.find(line), std::string::npos) << line << "\n" << errors;
  EXPECT_EQ(LastLine(), "vazesample-batch: 2 written; 4 refused (not readable as a picture 4); 5 skipped as not "
                        "pictures; 0 kept because the output was there");
  // In Japanese, and into the sub-folder with --recursive.
  EXPECT_EQ(Batch("--language ja --recursive --step filter:berry=true --out out in"), 1);
  EXPECT_EQ(LastLine(), "vazesample-batch: 書き出し 1、拒否 4 (画像として読めない 4)、画像でないため飛ばした 3、"
                        "出力があったため残した 2");
  EXPECT_TRUE(fs::exists(In("out/sub/deep.bmp")));
  // Nothing to refuse: status 0, with the count all the same.
  fs::remove_all(In("in"));
  fs::create_directories(In("in"));
  ASSERT_TRUE(WriteFileAtomically(In("in/notes.txt"), Bytes{'h', 'i'}));
  EXPECT_EQ(Batch("--step filter:berry=true --out out in"), 0);
  EXPECT_EQ(LastLine(), "vazesample-batch: 0 written; 0 refused; 1 skipped as not pictures; 0 kept because the output was there");
}

// The write's own reason is given (here a file size limit the shell sets).
TEST_F(BatchTool, AnOutputThatCannotBeWrittenSaysWhy) {
  WriteTestPicture(In("in/a.bmp"), 300, 200, Varied);
  EXPECT_EQ(Batch("--step filter:berry=true --out out in/a.bmp", "trap '' XFSZ; ulimit -f 20; "), 1);
  EXPECT_NE(Errors().find("in/a.bmp: refused: could not write out/a.bmp: the file is too large"), std::string::npos)
      << Errors();
  EXPECT_NE(LastLine().find("1 refused (could not be written 1)"), std::string::npos) << LastLine();
  EXPECT_FALSE(fs::exists(In("out/a.bmp")));
}

// ---- Nothing lost ----------------------------------------------------------------------

// a.bmp and a.png give one output name: found before any work, whatever
// --jobs, and neither is written. Written into the folder it reads, with
// --overwrite, b.bmp would replace itself too. Every original stays byte for
// byte.
TEST_F(BatchTool, NoOutputReplacesAPictureOfTheRunOrAnotherOutput) {
  WriteTestPicture(In("in/a.bmp"), 451, 300, Varied);
  WriteTestPicture(In("in/b.bmp"), 200, 100, Varied);
  const std::optional<Picture> a = LoadPicture(In("in/a.bmp"));
  ASSERT_TRUE(a && SavePng(In("in/a.png"), a->width, a->height, a->rgb.data()));
  for (const char* more : {"", "--overwrite "}) {
    fs::remove_all(In("out"));
    EXPECT_EQ(Batch(std::string(more) + "--jobs 2 --step eye:horn_key=B --out out in"), 1);
    EXPECT_EQ(std::pair(fs::exists(In("out/a.bmp")), fs::exists(In("out/b.bmp"))), std::pair(false, true)) << more;
    EXPECT_NE(Errors().find("in/a.bmp and in/a.png would both be written to out/a.bmp"), std::string::npos) << Errors();
  }
  std::vector<std::pair<std::string, Bytes>> originals;
  for (const char* name : {"in/a.bmp", "in/b.bmp", "in/a.png"}) originals.emplace_back(name, FileBytes(In(name)));
  EXPECT_EQ(Batch("--overwrite --step filter:berry=true --out in in"), 1);
  for (const auto& [name, bytes] : originals) EXPECT_EQ(FileBytes(In(name)), bytes) << name;
  const std::string errors = Errors();
  EXPECT_NE(errors.find("in/a.bmp and in/a.png would both be written to in/a.bmp: neither is written"), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("in/b.bmp: refused: its output in/b.bmp is a picture of this run"), std::string::npos) << errors;
  EXPECT_EQ(LastLine(), "vazesample-batch: 0 written; 3 refused (its output would replace a picture of the run 1, its "
                        "output is another picture's too 2); 0 skipped as not pictures; 0 kept because the output was "
                        "there");
  for (const fs::directory_entry& entry : fs::directory_iterator(In("in"))) EXPECT_NE(entry.path().extension(), ".tmp");
}

// Stopped by SIGTERM (or SIGINT) in the middle of a large picture: no
// temporary file is left and no output appears.
TEST_F(BatchTool, ASignalLeavesNoTemporaryFile) {
  WriteTestPicture(In("in/large.bmp"), 3000, 2000, Varied);
  for (const int signal : {SIGTERM, SIGINT}) {
    fs::remove_all(In("out"));
    fs::create_directories(In("out"));
    const std::string tool = Tool("vazesample-batch");
    const std::string out = In("out"), input = In("in/large.bmp");
    std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>("--quiet"),
                               const_cast<char*>("--step"), const_cast<char*>("eye:horn_key=L,pivot=levels"),
                               const_cast<char*>("--step"), const_cast<char*>("outline:width=fat"),
                               const_cast<char*>("--out"), const_cast<char*>(out.c_str()),
                               const_cast<char*>(input.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    // Until its temporary file is there (at most 10 s).
    bool writing = false;
    for (int k = 0; k < 1000 && !writing; ++k) {
      for (const fs::directory_entry& entry : fs::directory_iterator(out)) writing = writing || entry.path().extension() == ".tmp";
      if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(writing) << "no temporary file appeared";
    ::kill(pid, signal);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_TRUE(fs::is_empty(out)) << signal;
  }
}

// ---- Bad use -----------------------------------------------------------------------------

TEST_F(BatchTool, BadUseAndBadRecipesEndWithStatusTwoAndWriteNothing) {
  WriteTestPicture(In("in/a.bmp"), 60, 40, Varied);
  for (const char* arguments : {"--jobs 0 --step eye:horn_key=B in", "--bogus in", "--step", "--edges grey --step eye:horn_key=B in",
                                "--step eye:horn_key=B", "--step eye:horn_key=M in", "--out"})
    EXPECT_EQ(Batch(arguments), 2) << arguments;
  // A recipe that is a pipe is refused at once, as is one of too deep a key
  // and one that is no recipe of this version.
  ASSERT_EQ(::mkfifo(In("fifo.toml").c_str(), 0600), 0);
  std::string deep = "version = 1\n[[step]]\nkind = \"eye\"\nhorn_key = \"B\"\n";
  for (int k = 0; k < 200000; ++k) deep += "a.";
  deep += "b = 1\n";
  ASSERT_TRUE(WriteText(In("deep.toml"), deep));
  ASSERT_TRUE(WriteFileAtomically(In("bad.toml"), Bytes{'v', 'e', 'r', 's', 'i', 'o', 'n', ' ', '=', ' ', '7', '\n'}));
  const std::pair<const char*, const char*> recipes[] = {
      {"fifo.toml", "vazesample-batch: fifo.toml: not a regular file; not a recipe\n"},
      {"deep.toml", "vazesample-batch: deep.toml:5: key: more than 256 parts in one key\n"},
      {"bad.toml", "vazesample-batch: bad.toml:1: version: this program reads version 1 recipes\n"},
  };
  for (const auto& [recipe, line] : recipes) {
    EXPECT_EQ(Batch(std::string("--recipe ") + recipe + " --out out in", "timeout 10 "), 2) << recipe;
    EXPECT_EQ(Errors(), line);
  }
  EXPECT_TRUE(fs::is_empty(In("out")));
  // --help says what the statuses mean.
  EXPECT_EQ(RunCommand(Tool("vazesample-batch") + " --help >" + In("help.txt")), 0);
  EXPECT_NE(Text(FileBytes(In("help.txt"))).find("Exit status: 0 when no picture was refused"), std::string::npos);
}

// ---- Several machines ----------------------------------------------------------------------

// The README's command, over the local machine (two jobs), gives what one
// run over all the pictures gives.
TEST_F(BatchTool, TheReadmesParallelCommandRunsAsWritten) {
  if (RunCommand("command -v parallel >/dev/null && command -v rsync >/dev/null") != 0)
    GTEST_SKIP() << "GNU parallel or rsync is not installed";
  fs::create_directories(In("photos"));
  for (const char* name : {"a", "b", "c", "d"}) WriteTestPicture(In(std::string("photos/") + name + ".bmp"), 120, 90, Varied);
  const std::string recipe = "version = 1\n[[step]]\nkind = \"eye\"\nhorn_key = \"B\"\n[[step]]\nkind = \"filter\"\nberry = true\n";
  ASSERT_TRUE(WriteText(In("R.toml"), recipe));
  ASSERT_EQ(Batch("--recipe R.toml --out one photos"), 0) << Errors();
  const std::string path = fs::path(Tool("vazesample-batch")).parent_path().string();
  ASSERT_EQ(RunCommand("cd " + folder_ + " && PATH=" + path + ":$PATH parallel --will-cite --sshlogin 2/: --basefile R.toml "
                       "--transferfile {} --return out/{/.}.bmp --cleanup 'mkdir -p out && vazesample-batch --quiet "
                       "--jobs 1 --recipe R.toml --out out {}' ::: photos/*.bmp 2>/dev/null"),
            0);
  for (const char* name : {"a", "b", "c", "d"}) {
    EXPECT_EQ(FileBytes(In(std::string("out/") + name + ".bmp")), FileBytes(In(std::string("one/") + name + ".bmp"))) << name;
  }
}
