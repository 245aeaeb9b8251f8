// The module's string resources, as the host lists them among its modules.
// On this platform they live in their own section of the library file,
// which the host reads without running any of the module's code.
#pragma once

#include <cstdint>

// Name of the section that holds the records.
inline constexpr const char* kModuleStringsSection = "module_strings";

// One record of the section: fixed size, text NUL-terminated.
struct ModuleStringRecord {
  std::uint32_t id;
  std::uint32_t language;  // 1031
  char text[120];
};

inline constexpr std::uint32_t kModuleDescriptionId = 1000;
inline constexpr std::uint32_t kModuleCategoryId = 1001;
