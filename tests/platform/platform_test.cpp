// The platform layer as the module relies on it: a folder search that
// returns names in the host's order, and export lookup by module base.
#include "platform/platform.h"
#include "platform/folder_search.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

class FolderSearch : public ::testing::Test {
 protected:
  void Touch(const std::string& name) { std::ofstream(folder_ / name) << "x"; }

  // Every entry the search returns for a host-style pattern in the folder.
  std::vector<std::pair<std::string, DWORD>> Find(const std::string& namePattern) {
    std::string pattern = folder_.Path();
    for (char& c : pattern)
      if (c == '/') c = '\\';
    pattern += "\\" + namePattern;
    std::vector<std::pair<std::string, DWORD>> found;
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
      found.emplace_back(data.cFileName, data.dwFileAttributes);
    } while (FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return found;
  }

  const test_support::TempFolder folder_;
};

TEST_F(FolderSearch, NothingFoundIsAnInvalidHandle) {
  Touch("notes.txt");
  WIN32_FIND_DATAA data{};
  EXPECT_EQ(FindFirstFileA((folder_.Path() + "/*.route").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA("/no/such/folder/*.route", &data), INVALID_HANDLE_VALUE);
}

TEST_F(FolderSearch, MatchesCaseInsensitivelyInTheHostsOrder) {
  for (const char* name : {"b.route", "A.ROUTE", "c.route.bak", "a.txt", "C.Route"}) Touch(name);
  fs::create_directory(folder_ / "x.route");
  const std::vector<std::pair<std::string, DWORD>> expected = {
      {"A.ROUTE", FILE_ATTRIBUTE_NORMAL},
      {"b.route", FILE_ATTRIBUTE_NORMAL},
      {"C.Route", FILE_ATTRIBUTE_NORMAL},
      {"x.route", FILE_ATTRIBUTE_DIRECTORY},
  };
  EXPECT_EQ(Find("*.route"), expected);
}

TEST_F(FolderSearch, StarAlsoFindsTheFolderEntries) {
  Touch("one");
  auto found = Find("*");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].first, ".");
  EXPECT_EQ(found[1].first, "..");
  EXPECT_EQ(found[2].first, "one");
}

// The Windows host's folder search has an order of its own: it is kept.
TEST(FolderSearchOrder, AsFoundKeepsTheHostsOrderByNameSorts) {
  const std::vector<folder_search::FoundEntry> found = {
      {"b.route", FILE_ATTRIBUTE_NORMAL}, {"C.route", FILE_ATTRIBUTE_NORMAL}, {"a.route", FILE_ATTRIBUTE_NORMAL}};
  const auto walk = [&](folder_search::Order order) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE search = folder_search::Begin(found, &data, order);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      names.emplace_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    EXPECT_TRUE(FindClose(search));
    return names;
  };
  EXPECT_EQ(walk(folder_search::Order::kAsFound), (std::vector<std::string>{"b.route", "C.route", "a.route"}));
  EXPECT_EQ(walk(folder_search::Order::kByName), (std::vector<std::string>{"a.route", "b.route", "C.route"}));
}

TEST(NativePath, BackslashesAreSeparators) {
  EXPECT_EQ(NativePath(".\\Config\\TKMFD\\routes\\a.route"), "./Config/TKMFD/routes/a.route");
  EXPECT_EQ(NativePath("plain/path"), "plain/path");
}

TEST(ExportLookup, FindsAnExportOfALoadedModuleByItsBase) {
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::fputs), &info), 0);
  FARPROC found = GetProcAddress(info.dli_fbase, "fputs");
  EXPECT_EQ(reinterpret_cast<void*>(found), dlsym(RTLD_DEFAULT, "fputs"));
  EXPECT_EQ(GetProcAddress(info.dli_fbase, "no_such_export_anywhere"), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "fputs"), nullptr);
}
