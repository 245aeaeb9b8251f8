// Directory search and export lookup with the semantics of the host's
// platform, on POSIX.
#include "host/platform.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <link.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

std::string host_interface::NativePath(std::string_view hostPath) {
  std::string path(hostPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

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

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA* data) {
  data->dwFileAttributes = entry.attributes;
  std::snprintf(data->cFileName, sizeof data->cFileName, "%s", entry.name.c_str());
}

}  // namespace

HANDLE host_interface::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  const std::string path = NativePath(pattern);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? path : path.substr(slash + 1);

  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return INVALID_HANDLE_VALUE;
  auto* search = new (std::nothrow) Search;
  if (search == nullptr) {
    closedir(dir);
    return INVALID_HANDLE_VALUE;
  }
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    // Names the host's platform cannot hold are not found there either.
    if (name.size() >= static_cast<std::size_t>(MAX_PATH)) continue;
    if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    struct stat info {};
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (stat((folder + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) attributes = FILE_ATTRIBUTE_DIRECTORY;
    search->entries.push_back({name, attributes});
  }
  closedir(dir);
  // The host's file system hands names back in case-insensitive order.
  std::sort(search->entries.begin(), search->entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
    const int c = strcasecmp(a.name.c_str(), b.name.c_str());
    return c != 0 ? c < 0 : a.name < b.name;
  });
  if (search->entries.empty()) {
    delete search;
    return INVALID_HANDLE_VALUE;
  }
  Fill(search->entries[0], data);
  search->next = 1;
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

namespace {

struct ObjectLookup {
  const void* base;
  std::string path;
  bool found = false;
};

int MatchBase(dl_phdr_info* info, std::size_t, void* context) {
  auto* lookup = static_cast<ObjectLookup*>(context);
  if (reinterpret_cast<const void*>(info->dlpi_addr) != lookup->base) return 0;
  lookup->path = info->dlpi_name != nullptr ? info->dlpi_name : "";
  lookup->found = true;
  return 1;
}

}  // namespace

FARPROC host_interface::GetProcAddress(HINSTANCE module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  ObjectLookup lookup{module, {}};
  dl_iterate_phdr(MatchBase, &lookup);
  if (!lookup.found) return nullptr;
  // Already loaded: this only takes a reference, which is given back below.
  void* handle = dlopen(lookup.path.empty() ? nullptr : lookup.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle == nullptr) return nullptr;
  void* symbol = dlsym(handle, name);
  dlclose(handle);
  return reinterpret_cast<FARPROC>(symbol);
}
