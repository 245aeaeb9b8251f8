// The host platform's folder search for the Windows DLL, over the Windows
// API. A file of its own: <windows.h> defines names (HANDLE, MAX_PATH,
// FindFirstFileA...) that platform/platform.h declares for the module.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "bindings/orbiter_sdk/sdk_bridge.h"

bool sdk_bridge::ListFolder(const char* pattern, FolderEntryFound found, void* context) {
  if (pattern == nullptr || found == nullptr) return false;
  WIN32_FIND_DATAA data{};
  HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  // Closed however the listing ends.
  struct Closer {
    HANDLE handle;
    ~Closer() { FindClose(handle); }
  } closer{search};
  do {
    found(context, data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(search, &data) != 0);
  return true;
}
