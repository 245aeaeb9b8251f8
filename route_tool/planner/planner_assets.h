// The page's files, built into the program from planner/web/ so that the
// planner works with no network and no files beside the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace route_tool {

struct PlannerAsset {
  std::string_view contentType;
  std::string bytes;
};

// "/" is the page; the token goes into every address it loads (its
// scripts by an import map, its style sheet), since each request must
// carry it. Nothing for a name that is not one of the files.
std::optional<PlannerAsset> FindPlannerAsset(std::string_view path, const std::string& token);

}  // namespace route_tool
