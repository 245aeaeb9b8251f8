#include "module/module_strings.h"

namespace {

constexpr std::uint32_t kLanguage = 1031;

// "used" keeps the records although no code reads them.
__attribute__((section("module_strings"), used)) constexpr ModuleStringRecord kModuleStrings[] = {
    {kModuleDescriptionId, kLanguage, "TARVIK MFD:\r\n\rCan load and display a route of waypoints."},
    {kModuleCategoryId, kLanguage, "MFD modes"},
};

}  // namespace
