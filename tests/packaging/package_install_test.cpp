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

namespace {

namespace fs = std::filesystem;

const std::string kSource = TARVIK_SOURCE_DIR;
const std::string kPackageName = std::string("TarvikMFD-") + TARVIK_VERSION + "-linux-x86_64.zip";

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

class Folder {
 public:
  Folder() {
    char name[] = "/tmp/tarvik_package_XXXXXX";
    path_ = mkdtemp(name) != nullptr ? name : "";
  }
  ~Folder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

test_support::ProgramRun RunShell(const std::string& commandLine, const Folder& scratch) {
  return test_support::RunCommand(commandLine, (scratch.Path() / "stderr").string());
}

TEST(Version, BothProgramsShowTheProjectVersion) {
  const Folder scratch;
  for (const std::string program : {"bin/tarvik-route", "bin/tarvik-sim"}) {
    SCOPED_TRACE(program);
    const test_support::ProgramRun run = RunShell(std::string(TARVIK_BINARY_DIR) + "/" + program + " --version", scratch);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, fs::path(program).filename().string() + " " + TARVIK_VERSION + "\n");
  }
}

// One archive for every case, made from a stand-in for the module library:
// what is checked is where the files go, not how the library is built.
class PackageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new Folder;
    WriteBytes(folder_->Path() / "libTarvikMFD.so", "stand-in library\n");
    packageRun_ = new test_support::ProgramRun(
        RunShell(kSource + "/scripts/package.sh --library '" + (folder_->Path() / "libTarvikMFD.so").string() +
                "' --out '" + (folder_->Path() / "out").string() + "'",
            *folder_));
  }
  static void TearDownTestSuite() {
    delete packageRun_;
    delete folder_;
  }
  static fs::path Package() { return folder_->Path() / "out" / kPackageName; }

  static Folder* folder_;
  static test_support::ProgramRun* packageRun_;
};
Folder* PackageTest::folder_ = nullptr;
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
  const Folder scratch;
  const test_support::ProgramRun list = RunShell("unzip -Z1 '" + Package().string() + "'", scratch);
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
  const Folder unpacked;
  ASSERT_EQ(RunShell("unzip -q '" + Package().string() + "' -d '" + unpacked.Path().string() + "'", unpacked).exitCode, 0);
  const std::string page = ReadBytes(unpacked.Path() / "Doc/TarvikMFD/TarvikMFD.html");
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
    const Folder host;
    WriteBytes(host.Path() / "Orbiter_NG.cfg", each.config);
    WriteBytes(host.Path() / usersRoute, "my own route\n");
    const std::string install =
        kSource + "/scripts/install-module.sh '" + host.Path().string() + "' '" + Package().string() + "'";
    for (int round = 1; round <= 2; ++round) {
      const test_support::ProgramRun run = RunShell(install, host);
      ASSERT_EQ(run.exitCode, 0) << "round " << round << ": " << run.err;
    }
    EXPECT_EQ(ReadBytes(host.Path() / "Orbiter_NG.cfg"), each.configAfter);
    EXPECT_EQ(ReadBytes(host.Path() / "Orbiter_NG.cfg.before-TarvikMFD"), each.config);
    EXPECT_EQ(ReadBytes(host.Path() / usersRoute), "my own route\n");
    for (std::size_t i = 1; i < routes.size(); ++i) {
      EXPECT_EQ(ReadBytes(host.Path() / "Config/TKMFD/routes" / routes[i]),
                ReadBytes(kSource + "/examples/routes/" + routes[i]))
          << routes[i];
    }
    EXPECT_EQ(ReadBytes(host.Path() / "Modules/Plugin/libTarvikMFD.so"), "stand-in library\n");
    EXPECT_TRUE(fs::is_regular_file(host.Path() / "Doc/TarvikMFD/TarvikMFD.html"));
  }
}

TEST_F(PackageTest, InstallRefusesAFolderWithoutTheHostsConfig) {
  const Folder notAHost;
  const test_support::ProgramRun run =
      RunShell(kSource + "/scripts/install-module.sh '" + notAHost.Path().string() + "' '" + Package().string() + "'",
          notAHost);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "install-module: error: no Orbiter_NG.cfg in " + notAHost.Path().string() +
                         ": give the host's folder (the host writes the file when it first runs)\n");
  EXPECT_FALSE(fs::exists(notAHost.Path() / "Modules"));
}

}  // namespace
