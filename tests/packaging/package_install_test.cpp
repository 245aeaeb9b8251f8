// The release as a user gets it: the programs' version, the archive's
// layout, and its installation into a host's folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kSource = TARVIK_SOURCE_DIR;
const std::string kPackageName = std::string("TarvikMFD-") + TARVIK_VERSION + "-linux-x86_64.zip";

using test_support::ReadBytes;
using test_support::RunCommand;
using test_support::TempFolder;
using test_support::WriteBytes;

TEST(Version, BothProgramsShowTheProjectVersion) {
  for (const std::string program : {"bin/tarvik-route", "bin/tarvik-sim"}) {
    SCOPED_TRACE(program);
    const test_support::ProgramRun run = RunCommand(std::string(TARVIK_BINARY_DIR) + "/" + program + " --version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, fs::path(program).filename().string() + " " + TARVIK_VERSION + "\n");
  }
}

// One archive for every case, made from a stand-in for the module library:
// what is checked is where the files go, not how the library is built.
class PackageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    WriteBytes(*folder_ / "libTarvikMFD.so", "stand-in library\n");
    packageRun_ = new test_support::ProgramRun(
        RunCommand(kSource + "/scripts/package.sh --library '" + (*folder_ / "libTarvikMFD.so").string() +
                "' --out '" + (*folder_ / "out").string() + "'"));
  }
  static void TearDownTestSuite() {
    delete packageRun_;
    delete folder_;
  }
  static fs::path Package() { return *folder_ / "out" / kPackageName; }

  static TempFolder* folder_;
  static test_support::ProgramRun* packageRun_;
};
TempFolder* PackageTest::folder_ = nullptr;
test_support::ProgramRun* PackageTest::packageRun_ = nullptr;

std::vector<std::string> ExampleRouteNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kSource + "/examples/routes"))
    if (entry.path().extension() == ".route") names.push_back(entry.path().filename().string());
  return names;
}

TEST_F(PackageTest, ArchiveHoldsExactlyTheHostLayout) {
  ASSERT_EQ(packageRun_->exitCode, 0) << packageRun_->err;
  EXPECT_EQ(packageRun_->out, Package().string() + "\n");
  const test_support::ProgramRun list = RunCommand("unzip -Z1 '" + Package().string() + "'");
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::vector<std::string> listed;
  std::istringstream lines(list.out);
  for (std::string line; std::getline(lines, line);) listed.push_back(line);

  std::vector<std::string> expected = {"Modules/Plugin/libTarvikMFD.so", "Doc/TarvikMFD/TarvikMFD.html",
                                       "Doc/TarvikMFD/CHANGELOG.md", "Doc/TarvikMFD/images/route-circuit.png"};
  for (const std::string& name : ExampleRouteNames()) expected.push_back("Config/TKMFD/routes/" + name);
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_NE(packageRun_->err.find("Linux port's archive only"), std::string::npos) << packageRun_->err;
}

TEST_F(PackageTest, ManualPageHoldsEachUserDocument) {
  ASSERT_EQ(packageRun_->exitCode, 0) << packageRun_->err;
  const TempFolder unpacked;
  ASSERT_EQ(RunCommand("unzip -q '" + Package().string() + "' -d '" + unpacked.Path() + "'").exitCode, 0);
  const std::string page = ReadBytes(unpacked / "Doc/TarvikMFD/TarvikMFD.html");
  for (const std::string document : {"docs/manual.md", "docs/controls.md", "docs/route-format.md"}) {
    std::string title;
    std::getline(std::istringstream(ReadBytes(kSource + "/" + document)), title);
    SCOPED_TRACE(document);
    ASSERT_EQ(title.rfind("# ", 0), 0u);
    EXPECT_NE(page.find(">" + title.substr(2) + "</h1>"), std::string::npos);
  }
  EXPECT_NE(page.find("<table>"), std::string::npos);
}

// A host's configuration as the host writes it, with and without the block.
struct InstallCase {
  const char* name;
  std::string config;
  std::string configAfter;
};

TEST_F(PackageTest, InstallTwiceEditsTheConfigOnceAndKeepsTheUsersRoutes) {
  ASSERT_EQ(packageRun_->exitCode, 0) << packageRun_->err;
  const std::string settings = "StartPaused = FALSE\n";
  const std::string video = "VIDEO_MODULE\nOGLClient\nEND_VIDEO_MODULE\n";
  const InstallCase cases[] = {
      {"with a block", settings + "ACTIVE_MODULES\n  OGLClient\nEND_MODULES\n" + video,
       settings + "ACTIVE_MODULES\n  OGLClient\n  TarvikMFD\nEND_MODULES\n" + video},
      {"without a block", settings + video, settings + video + "ACTIVE_MODULES\n  TarvikMFD\nEND_MODULES\n"},
  };
  const std::vector<std::string> routes = ExampleRouteNames();
  ASSERT_FALSE(routes.empty());
  const std::string usersRoute = "Config/TKMFD/routes/" + routes.front();
  for (const InstallCase& each : cases) {
    SCOPED_TRACE(each.name);
    const TempFolder host;
    WriteBytes(host / "Orbiter_NG.cfg", each.config);
    WriteBytes(host / usersRoute, "my own route\n");
    const std::string install =
        kSource + "/scripts/install-module.sh '" + host.Path() + "' '" + Package().string() + "'";
    for (int round = 1; round <= 2; ++round) {
      const test_support::ProgramRun run = RunCommand(install);
      ASSERT_EQ(run.exitCode, 0) << "round " << round << ": " << run.err;
    }
    EXPECT_EQ(ReadBytes(host / "Orbiter_NG.cfg"), each.configAfter);
    EXPECT_EQ(ReadBytes(host / "Orbiter_NG.cfg.before-TarvikMFD"), each.config);
    EXPECT_EQ(ReadBytes(host / usersRoute), "my own route\n");
    for (std::size_t i = 1; i < routes.size(); ++i) {
      EXPECT_EQ(ReadBytes(host / "Config/TKMFD/routes" / routes[i]),
                ReadBytes(kSource + "/examples/routes/" + routes[i]))
          << routes[i];
    }
    EXPECT_EQ(ReadBytes(host / "Modules/Plugin/libTarvikMFD.so"), "stand-in library\n");
    EXPECT_TRUE(fs::is_regular_file(host / "Doc/TarvikMFD/TarvikMFD.html"));
  }
}

TEST_F(PackageTest, InstallRefusesAFolderWithoutTheHostsConfig) {
  const TempFolder notAHost;
  const test_support::ProgramRun run =
      RunCommand(kSource + "/scripts/install-module.sh '" + notAHost.Path() + "' '" + Package().string() + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "install-module: error: no Orbiter_NG.cfg in " + notAHost.Path() +
                         ": give the host's folder (the host writes the file when it first runs)\n");
  EXPECT_FALSE(fs::exists(notAHost / "Modules"));
}

}  // namespace
