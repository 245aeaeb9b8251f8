// The route file browser over a real folder, and loading the selected file.
#include <sys/stat.h>

#include <filesystem>

#include "mfd_test_support.h"

namespace mfdtest {
namespace {

class FileBrowserTest : public MfdTest {
 protected:
  void SetUp() override {
    MfdTest::SetUp();
    display = std::make_unique<TarvikMFD>(256, 256, vessel->iface.get(), 1);
  }
  std::uint32_t Selected() const { return Record().selectedFile; }

  TempWorkingDirectory folder;
  std::unique_ptr<TarvikMFD> display;
};

TEST_F(FileBrowserTest, MissingFolderListsNothingAndLoadErasesTheRoute) {
  vesselRoutes.front().waypoints.resize(2);
  display->ConsumeKeyQueued(keys::L);
  EXPECT_TRUE(display->routeFiles.empty());
  EXPECT_EQ(Record().fileCount, 0u);
  for (DWORD key : {keys::P, keys::N}) {
    display->ConsumeKeyQueued(key);
    EXPECT_EQ(Selected(), 0u);
  }
  display->ConsumeKeyQueued(keys::L);
  EXPECT_TRUE(Record().waypoints.empty());
  EXPECT_EQ(display->State().page, List);
  EXPECT_TRUE(display->errorText.empty());
}

TEST_F(FileBrowserTest, FolderWithoutRouteFilesListsNothing) {
  folder.RouteFolder();
  std::ofstream(folder.RouteFolder() / "notes.txt") << "not a route";
  display->ConsumeKeyQueued(keys::L);
  EXPECT_TRUE(display->routeFiles.empty());
  EXPECT_EQ(Record().fileCount, 0u);
}

TEST_F(FileBrowserTest, OneRouteFileIsSelectedWhateverTheStep) {
  folder.WriteRoute("circuit.route", kThreeWaypointRoute);
  display->ConsumeKeyQueued(keys::L);
  EXPECT_EQ(display->routeFiles, std::vector<std::string>{"circuit.route"});
  for (DWORD key : {keys::N, keys::P}) {
    display->ConsumeKeyQueued(key);
    EXPECT_EQ(Selected(), 0u);
  }
}

TEST_F(FileBrowserTest, ManyFilesWrapBothWaysAndSubFoldersAreSkipped) {
  for (const char* name : {"b.route", "A.route", "c.ROUTE"}) folder.WriteRoute(name, kOneWaypointRoute);
  std::filesystem::create_directory(folder.RouteFolder() / "x.route");
  display->ConsumeKeyQueued(keys::L);
  EXPECT_EQ(display->routeFiles, (std::vector<std::string>{"A.route", "b.route", "c.ROUTE"}));
  EXPECT_EQ(Record().fileCount, 3u);
  for (std::uint32_t expected : {1u, 2u, 0u}) {
    display->ConsumeKeyQueued(keys::N);
    EXPECT_EQ(Selected(), expected);
  }
  for (std::uint32_t expected : {2u, 1u}) {
    display->ConsumeKeyQueued(keys::P);
    EXPECT_EQ(Selected(), expected);
  }
}

// The route folder is a boundary: only plain files whose names are no
// paths are listed, so nothing outside it can be chosen, and nothing that
// could block a read.
TEST_F(FileBrowserTest, OnlyPlainFilesWithPlainNamesAreListed) {
  folder.WriteRoute("plain.route", kOneWaypointRoute);
  folder.WriteRoute("..\\..\\..\\tmp\\secret.route", kOneWaypointRoute);
  ASSERT_EQ(mkfifo((folder.RouteFolder() / "pipe.route").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", folder.RouteFolder() / "zero.route");
  std::filesystem::create_directory(folder.RouteFolder() / "folder.route");
  display->ConsumeKeyQueued(keys::L);
  EXPECT_EQ(display->routeFiles, std::vector<std::string>{"plain.route"});
  EXPECT_EQ(Record().fileCount, 1u);
}

// A name that is a path is refused at loading too, with a message that
// says why, and no file is read.
TEST_F(FileBrowserTest, NameThatIsAPathIsNotOpened) {
  folder.WriteRoute("plain.route", kOneWaypointRoute);
  display->ConsumeKeyQueued(keys::L);
  display->routeFiles = {"..\\outside.route"};
  simhost::host().ClearLog();
  display->ConsumeKeyQueued(keys::L);
  const std::string message = "Error: route file name holds a path separator, not opened: ..\\outside.route";
  EXPECT_EQ(display->errorText, message);
  EXPECT_EQ(simhost::host().LogLines(), std::vector<std::string>{message});
  EXPECT_TRUE(Record().waypoints.empty());
}

TEST_F(FileBrowserTest, LoadingStoresWaypointsAndRunwaysOfTheSelectedFile) {
  folder.WriteRoute("a.route", kOneWaypointRoute);
  folder.WriteRoute("b.route", kThreeWaypointRoute);
  display->ConsumeKeyQueued(keys::L);
  display->ConsumeKeyQueued(keys::N);
  display->ConsumeKeyQueued(keys::L);
  ASSERT_EQ(Record().waypoints.size(), 3u);
  EXPECT_EQ(Record().waypoints[0].task, Takeoff);
  EXPECT_EQ(Record().waypoints[1].altitude, 3000.0);
  EXPECT_EQ(Record().runways.size(), 1u);
  EXPECT_EQ(Record().currentIndex, 0u);
  EXPECT_TRUE(display->errorText.empty());
  EXPECT_EQ(display->State().page, List);
}

TEST_F(FileBrowserTest, ParseErrorIsKeptAndReplacedByTheNextLoad) {
  folder.WriteRoute("a.route", "BEGIN_POINTS\n1 2\nEND_POINTS\n");
  folder.WriteRoute("b.route", kOneWaypointRoute);
  display->ConsumeKeyQueued(keys::L);
  display->ConsumeKeyQueued(keys::L);
  EXPECT_GE(display->errorText.size(), 2u);
  EXPECT_TRUE(Record().waypoints.empty());
  display->ConsumeKeyQueued(keys::L);
  display->ConsumeKeyQueued(keys::N);
  display->ConsumeKeyQueued(keys::L);
  EXPECT_TRUE(display->errorText.empty());
  EXPECT_EQ(Record().waypoints.size(), 1u);
}

// Sequencing may move the index on the old route while the browser shows.
TEST_F(FileBrowserTest, LoadBringsAnIndexBeyondTheNewRouteToItsFirstWaypoint) {
  folder.WriteRoute("a.route", kOneWaypointRoute);
  folder.WriteRoute("b.route", kThreeWaypointRoute);
  struct Case {
    std::uint32_t selected;
    std::uint32_t indexMeanwhile;
    std::uint32_t expected;
  };
  for (const Case& c : {Case{0, 1, 0}, Case{0, 5, 0}, Case{1, 2, 2}, Case{1, 3, 0}}) {
    SCOPED_TRACE(testing::Message() << "file " << c.selected << " index " << c.indexMeanwhile);
    display->ConsumeKeyQueued(keys::L);
    vesselRoutes.front().selectedFile = c.selected;
    vesselRoutes.front().currentIndex = c.indexMeanwhile;
    display->ConsumeKeyQueued(keys::L);
    EXPECT_EQ(Record().currentIndex, c.expected);
  }
}

}  // namespace
}  // namespace mfdtest
