#include "route_tool/planner/planner_assets.h"

#include "route_tool/planner/planner_web_files.h"

namespace route_tool {
namespace {

std::string_view Bytes(const embedded::File& file) {
  return {reinterpret_cast<const char*>(file.bytes), file.size};
}

void ReplaceAll(std::string& text, std::string_view from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// Every script of the page at its address with the token.
std::string ImportMap(const std::string& token) {
  std::string map = "{\"imports\":{";
  bool first = true;
  for (const embedded::File& file : embedded::kFiles) {
    const std::string_view name = file.name;
    if (!name.ends_with(".js")) continue;
    if (!first) map += ",";
    first = false;
    map += "\"/" + std::string(name) + "\":\"/" + std::string(name) + "?token=" + token + "\"";
  }
  return map + "}}";
}

}  // namespace

std::optional<PlannerAsset> FindPlannerAsset(std::string_view path, const std::string& token) {
  const std::string_view name = path == "/" ? "index.html" : path.substr(path.starts_with('/') ? 1 : 0);
  for (const embedded::File& file : embedded::kFiles) {
    if (name != file.name) continue;
    PlannerAsset asset{file.contentType, std::string(Bytes(file))};
    if (name == "index.html") {
      ReplaceAll(asset.bytes, "{{IMPORTS}}", ImportMap(token));
      ReplaceAll(asset.bytes, "{{TOKEN}}", token);
    }
    return asset;
  }
  return std::nullopt;
}

}  // namespace route_tool
