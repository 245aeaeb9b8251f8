#include "files/output_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  std::string At(const std::string& name) const { return dir_.File(name); }

  static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  static std::string Text(const std::string& path) { return test_support::ReadBytes(path); }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_.Path())) names.insert(entry.path().filename());
    return names;
  }

  const test_support::TempFolder dir_;
};

// A link or a file at the name a temporary once had is neither followed
// nor removed.
TEST_F(OutputFileTest, LeavesWhatLiesBesideTheTargetAlone) {
  Put(At("victim.txt"), "victim\n");
  fs::create_symlink("victim.txt", At("out.gpx.partial"));
  Put(At("notes.gpx.partial"), "the user's notes\n");

  EXPECT_EQ(files::WriteOutputFile(At("out.gpx"), "route\n"), "");
  EXPECT_EQ(files::WriteOutputFile(At("notes.gpx"), "notes\n"), "");

  EXPECT_EQ(Text(At("victim.txt")), "victim\n");
  EXPECT_EQ(Text(At("notes.gpx.partial")), "the user's notes\n");
  EXPECT_EQ(Text(At("out.gpx")), "route\n");
  EXPECT_EQ(Names(), (std::set<std::string>{"victim.txt", "out.gpx.partial", "notes.gpx.partial", "out.gpx",
                                            "notes.gpx"}));
}

TEST_F(OutputFileTest, RefusesTheInputDirectlyOrThroughALink) {
  Put(At("in.route"), "input\n");
  fs::create_symlink("in.route", At("link.route"));
  for (const std::string& output : {At("in.route"), At("link.route")}) {
    EXPECT_EQ(files::WriteOutputFile(output, "output\n", {At("in.route")}), "it is the input file " + At("in.route"));
  }
  EXPECT_EQ(Text(At("in.route")), "input\n");
  EXPECT_EQ(Names(), (std::set<std::string>{"in.route", "link.route"}));
}

// A link is written through; the replaced file keeps its mode and, with
// another hard link, stays one file with it.
TEST_F(OutputFileTest, KeepsLinksAndModeOfTheReplacedFile) {
  Put(At("private.route"), "old\n");
  ASSERT_EQ(chmod(At("private.route").c_str(), 0600), 0);
  fs::create_symlink("private.route", At("link.route"));
  fs::create_hard_link(At("private.route"), At("hard.route"));

  EXPECT_EQ(files::WriteOutputFile(At("link.route"), "new text\n"), "");

  EXPECT_TRUE(fs::is_symlink(At("link.route")));
  EXPECT_EQ(Text(At("private.route")), "new text\n");
  EXPECT_EQ(Text(At("hard.route")), "new text\n");
  EXPECT_TRUE(fs::equivalent(At("private.route"), At("hard.route")));
  struct stat status {};
  ASSERT_EQ(stat(At("private.route").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);

  Put(At("plain.route"), "old\n");
  ASSERT_EQ(chmod(At("plain.route").c_str(), 0640), 0);
  EXPECT_EQ(files::WriteOutputFile(At("plain.route"), "new\n"), "");
  ASSERT_EQ(stat(At("plain.route").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(), (std::set<std::string>{"private.route", "link.route", "hard.route", "plain.route"}));
}

// A write that fails part way (a file size limit stands in for a full
// disk) is reported, and the old file and its folder stay as they were.
TEST_F(OutputFileTest, AFailedWriteLeavesTheOldFileAndNoOther) {
  for (const char* name : {"single.route", "linked.route"}) {
    Put(At(name), "old\n");
    if (std::string(name) == "linked.route") fs::create_hard_link(At(name), At("other.route"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{16, 16};
      setrlimit(RLIMIT_FSIZE, &limit);
      const std::string why = files::WriteOutputFile(At(name), std::string(100, 'x'));
      _exit(why == "File too large" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
    EXPECT_EQ(Text(At(name)), "old\n") << name;
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"single.route", "linked.route", "other.route"}));
}

// A device is written in place, never replaced by a file.
TEST_F(OutputFileTest, WritesADeviceInPlaceAndLeavesItADevice) {
  EXPECT_EQ(files::WriteOutputFile("/dev/full", "text\n"), "No space left on device");
  EXPECT_EQ(files::WriteOutputFile("/dev/null", "text\n"), "");
  for (const char* device : {"/dev/full", "/dev/null"}) {
    struct stat status {};
    ASSERT_EQ(stat(device, &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << device;
  }
}

}  // namespace
