// What the simulator does with the user's files: it replaces only what an
// earlier run wrote, leaves no file half written, and says so when it may
// not read a route.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "simulator/output_folder.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace {

namespace fs = std::filesystem;
using test_support::ProgramRun;

const std::string kProgram = TARVIK_SIM_PROGRAM;
const std::string kShort = TARVIK_SOURCE_DIR "/examples/demo/short.json";

using test_support::RunCommand;
using test_support::TempFolder;


std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    names.insert(fs::relative(entry.path(), folder).string());
  return names;
}

// A folder the user filled is refused whole, naming what is in it; one
// marked by an earlier run is reused and keeps what the user added.
TEST(OutputFolder, ReplacesOnlyWhatAnEarlierRunWrote) {
  const TempFolder scratch;
  const fs::path users = scratch / "users";
  fs::create_directories(users / "host");
  std::ofstream(users / "host" / "sources.cpp") << "the user's\n";
  std::ofstream(users / "summary.txt") << "the user's\n";
  const ProgramRun refused = RunCommand("cd '" + users.string() + "' && '" + kProgram + "' '" + kShort + "' --out . --frames 0");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, ".: output folder holds files no run wrote (host, summary.txt); give a new or empty folder\n");
  EXPECT_EQ(Names(users), (std::set<std::string>{"host", "host/sources.cpp", "summary.txt"}));

  const fs::path ours = scratch / "ours";
  const std::string again = "'" + kProgram + "' '" + kShort + "' --out '" + ours.string() + "' --frames 0";
  ASSERT_EQ(RunCommand(again).exitCode, 0);
  EXPECT_TRUE(fs::is_regular_file(ours / simulator::kOutputMarkerName));
  std::ofstream(ours / "notes.txt") << "the user's\n";
  const ProgramRun reused = RunCommand(again);
  EXPECT_EQ(reused.exitCode, 0) << reused.err;
  EXPECT_TRUE(fs::exists(ours / "notes.txt"));
  EXPECT_TRUE(fs::exists(ours / "summary.txt"));
}

// A full disk (a file size limit under the summary's size stands in for it,
// its signal ignored) fails the run naming the file, and leaves no summary.
TEST(OutputFiles, SummaryThatDoesNotFitFailsTheRunAndLeavesNone) {
  const TempFolder scratch;
  const fs::path out = scratch / "out";
  const ProgramRun run = RunCommand("sh -c \"trap '' XFSZ; ulimit -f 3; exec '" + kProgram + "' '" + kShort + "' --out '" +
                                 out.string() + "' --frames 0\"");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, (out / "summary.txt").string() + ": cannot write it: File too large\n");
  EXPECT_EQ(run.out, "");
  for (const fs::directory_entry& entry : fs::directory_iterator(out))
    EXPECT_EQ(entry.path().filename().string().find("summary"), std::string::npos) << entry.path();
}

// A route folder or file that may not be read is named as such, not as
// missing. Run as nobody, since root reads them whatever their mode; the
// program and its host library are copied where nobody reaches them, since
// the build folder may be closed to others.
TEST(RouteFiles, OneThatMayNotBeReadIsSaidSo) {
  const TempFolder scratch;
  const fs::path routes = scratch / "routes";
  const fs::path bin = scratch / "bin";
  fs::create_directories(routes);
  fs::create_directories(bin);
  const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                         fs::perms::others_read | fs::perms::others_exec;
  const fs::perms readable = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read;
  for (const fs::path& folder : {fs::path(scratch.Path()), routes, bin}) fs::permissions(folder, open);
  fs::copy_file(kProgram, bin / "tarvik-sim");
  fs::copy_file(TARVIK_BINARY_DIR "/libtarvik_simhost.so", bin / "libtarvik_simhost.so");
  for (const char* name : {"short-kestrel.route", "tug.route"}) {
    fs::copy_file(TARVIK_SOURCE_DIR "/examples/demo/Config/TKMFD/routes/" + std::string(name), routes / name);
    fs::permissions(routes / name, readable);
  }
  nlohmann::json scenario;
  std::ifstream(kShort) >> scenario;
  scenario["routeFolder"] = routes.string();
  const std::string file = (scratch / "s.json").string();
  std::ofstream(file) << scenario.dump();
  fs::permissions(file, readable);
  const std::string command = "LD_LIBRARY_PATH='" + bin.string() + "' " + test_support::AsUnprivileged() + "'" +
                              (bin / "tarvik-sim").string() + "' '" + file + "' --out '" +
                              (scratch / "out").string() + "'";
  const std::string expected = file + ": /vessels/0/route: route file \"short-kestrel.route\" in " + routes.string() +
                               ": Permission denied\n";
  for (const fs::path& locked : {routes / "short-kestrel.route", routes}) {
    fs::permissions(locked, fs::perms::none);
    const ProgramRun run = RunCommand(command);
    fs::permissions(locked, fs::is_directory(locked) ? open : readable);
    EXPECT_EQ(run.exitCode, 1) << locked;
    EXPECT_EQ(run.err, expected) << locked;
  }
}

}  // namespace
