// The few operating-system calls the module makes, with the semantics of
// the host's own platform: directory search and export lookup.
#pragma once

#include <string>
#include <string_view>

#include "host/host_types.h"

inline namespace host_interface {

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr int MAX_PATH = 260;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  char cFileName[MAX_PATH];
};

// Searches a folder for names matching the pattern's last component
// ('*' and '?', case-insensitive). Names come back in ascending order.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

using FARPROC = void (*)();
// Looks up an export of a loaded module by name; null when it has none.
FARPROC GetProcAddress(HINSTANCE module, const char* name);

// A path of the host's platform ('\' separators, relative to the host's
// working directory) as this platform's file functions take it.
std::string NativePath(std::string_view hostPath);

}  // namespace host_interface
