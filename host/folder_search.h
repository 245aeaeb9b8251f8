// The part of the folder search that is the same on every platform: the
// order of the names and the walk through them. Each platform's
// FindFirstFileA gathers the matching entries and hands them over here.
#pragma once

#include <string>
#include <vector>

#include "host/platform.h"

namespace folder_search {

struct FoundEntry {
  std::string name;
  DWORD attributes;
};

// Sorts the entries in the host's case-insensitive order (ASCII folding, as
// strcasecmp in the "C" locale; equal names by their bytes), fills data with
// the first and returns the search handle; INVALID_HANDLE_VALUE when there is
// none or memory runs out.
HANDLE Begin(std::vector<FoundEntry> entries, WIN32_FIND_DATAA* data);

}  // namespace folder_search
