// The part of the folder search that is the same on every platform: the
// order of the names and the walk through them. Each platform's
// FindFirstFileA gathers the matching entries and hands them over here.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace folder_search {

struct FoundEntry {
  std::string name;
  DWORD attributes;
};

// The order a search returns names in. A file system whose order is
// arbitrary (POSIX) is listed by name; the Windows host's own folder search
// has an order of its own, and the module keeps it.
enum class Order { kByName, kAsFound };

// kByName sorts the entries case-insensitively (ASCII folding, as strcasecmp
// in the "C" locale; equal names by their bytes). Fills data with the first
// and returns the search handle; INVALID_HANDLE_VALUE when there is none or
// memory runs out.
HANDLE Begin(std::vector<FoundEntry> entries, WIN32_FIND_DATAA* data, Order order);

}  // namespace folder_search
