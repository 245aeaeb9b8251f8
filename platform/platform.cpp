// Directory search and export lookup with the semantics of the host's
// platform, on POSIX.
#include "platform/platform.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fnmatch.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/folder_search.h"

std::string host_interface::NativePath(std::string_view hostPath) {
  std::string path(hostPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

HANDLE host_interface::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  const std::string path = NativePath(pattern);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string namePattern = slash == std::string::npos ? path : path.substr(slash + 1);

  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return INVALID_HANDLE_VALUE;
  std::vector<folder_search::FoundEntry> entries;
  try {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      // Names the host's platform cannot hold are not found there either.
      if (name.size() >= static_cast<std::size_t>(MAX_PATH)) continue;
      if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
      struct stat info {};
      if (stat((folder + name).c_str(), &info) != 0) continue;
      // The host's platform finds files and folders only; a pipe or a
      // device is neither, and reading one could block or never end.
      if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) continue;
      entries.push_back({name, S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL});
    }
  } catch (...) {
    closedir(dir);
    return INVALID_HANDLE_VALUE;  // out of memory: nothing found
  }
  closedir(dir);
  // readdir's order is arbitrary: listed by name, the same on every machine.
  return folder_search::Begin(std::move(entries), data, folder_search::Order::kByName);
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
