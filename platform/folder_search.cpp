#include "platform/folder_search.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

namespace {

// One search in progress: every match, gathered when the search starts.
struct Search {
  std::vector<folder_search::FoundEntry> entries;
  std::size_t next = 0;
};

unsigned char Folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool FoldedLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

void Fill(const folder_search::FoundEntry& entry, WIN32_FIND_DATAA* data) {
  data->dwFileAttributes = entry.attributes;
  std::snprintf(data->cFileName, sizeof data->cFileName, "%s", entry.name.c_str());
}

}  // namespace

HANDLE folder_search::Begin(std::vector<FoundEntry> entries, WIN32_FIND_DATAA* data, Order order) {
  if (entries.empty() || data == nullptr) return INVALID_HANDLE_VALUE;
  if (order == Order::kByName) {
    std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
      if (FoldedLess(a.name, b.name)) return true;
      if (FoldedLess(b.name, a.name)) return false;
      return a.name < b.name;
    });
  }
  auto* search = new (std::nothrow) Search{std::move(entries), 1};
  if (search == nullptr) return INVALID_HANDLE_VALUE;
  Fill(search->entries[0], data);
  return search;
}

BOOL host_interface::FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || data == nullptr) return 0;
  auto* search = static_cast<Search*>(handle);
  if (search->next >= search->entries.size()) return 0;
  Fill(search->entries[search->next++], data);
  return 1;
}

BOOL host_interface::FindClose(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return 0;
  delete static_cast<Search*>(handle);
  return 1;
}
