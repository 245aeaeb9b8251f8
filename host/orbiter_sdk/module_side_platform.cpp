// host/platform.h for the Windows DLL, over the Windows side's folder search
// (host/platform.cpp is POSIX; the Linux port's module uses it). Names come
// back in the same case-insensitive order as there, whatever order the file
// system gives. GetProcAddress stays undefined: only the simulated host's
// library glue calls it.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/orbiter_sdk/sdk_bridge.h"
#include "host/platform.h"

namespace {

struct FoundEntry {
  std::string name;
  DWORD attributes;
};

// One search in progress: every match, gathered when the search starts.
struct Search {
  std::vector<FoundEntry> entries;
  std::size_t next = 0;
};

void Collect(void* context, const char* name, bool directory) {
  static_cast<Search*>(context)->entries.push_back(
      {name, directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL});
}

// ASCII case folding, as strcasecmp in the "C" locale.
unsigned char Folded(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool FoldedLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Folded(x) < Folded(y); });
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA* data) {
  data->dwFileAttributes = entry.attributes;
  std::snprintf(data->cFileName, sizeof data->cFileName, "%s", entry.name.c_str());
}

}  // namespace

// The host's paths are this platform's.
std::string host_interface::NativePath(std::string_view hostPath) { return std::string(hostPath); }

HANDLE host_interface::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  auto search = std::make_unique<Search>();
  if (!sdk_bridge::ListFolder(pattern, Collect, search.get()) || search->entries.empty()) return INVALID_HANDLE_VALUE;
  std::sort(search->entries.begin(), search->entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
    if (FoldedLess(a.name, b.name)) return true;
    if (FoldedLess(b.name, a.name)) return false;
    return a.name < b.name;
  });
  Fill(search->entries[0], data);
  search->next = 1;
  return search.release();
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
