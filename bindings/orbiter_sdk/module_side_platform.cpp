// platform/platform.h for the Windows DLL, over the Windows side's folder search
// (platform/platform.cpp is POSIX; the Linux port's module uses it). Names come
// back in the order the host's folder search gives them, as the module lists
// them there. GetProcAddress stays undefined: only the simulated host's
// library glue calls it.
#include <string>
#include <utility>
#include <vector>

#include "platform/folder_search.h"
#include "bindings/orbiter_sdk/sdk_bridge.h"
#include "platform/platform.h"

namespace {

void Collect(void* context, const char* name, bool directory) {
  static_cast<std::vector<folder_search::FoundEntry>*>(context)->push_back(
      {name, directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL});
}

}  // namespace

// The host's paths are this platform's.
std::string host_interface::NativePath(std::string_view hostPath) { return std::string(hostPath); }

HANDLE host_interface::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) try {
  if (pattern == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
  std::vector<folder_search::FoundEntry> entries;
  if (!sdk_bridge::ListFolder(pattern, Collect, &entries)) return INVALID_HANDLE_VALUE;
  return folder_search::Begin(std::move(entries), data, folder_search::Order::kAsFound);
} catch (...) {
  return INVALID_HANDLE_VALUE;  // out of memory: nothing found
}
