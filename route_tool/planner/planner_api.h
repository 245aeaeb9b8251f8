// What the planner's page asks of the server, each a function of the
// request's JSON that answers with a status and a JSON body. Every edit
// goes through the tool's own parts: the draft through the safe writer,
// the text through the module's reader and check, then legs and the map.
// A refused request ({"error": "..."} with a 4xx status) changes nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace route_tool {

struct ApiReply {
  int status = 200;
  nlohmann::json body;
};

// The radius of the waypoints of a GPX file that carries none of ours.
inline constexpr double kGpxImportRadiusMetres = 500.0;

class PlannerSession {
 public:
  explicit PlannerSession(std::filesystem::path folder);

  // {"draft": {...}} or {"text": "..."}: the route as it will be saved, the
  // problems, legs and map, and for a text the draft read from it.
  ApiReply Edit(const nlohmann::json& request) const;
  // {"path": relative}: a .route file, or a .gpx file imported (its route
  // is then new, to be saved under a name). The analysis of Edit, with
  // "file".
  ApiReply Open(const nlohmann::json& request);
  // The file named on the command line, which may lie outside the folder.
  ApiReply OpenGiven(const std::filesystem::path& path);
  // {"text"}: into the opened file, unless it changed on disk since it was
  // opened or saved: then 409 with "disk" and "mine".
  ApiReply Save(const nlohmann::json& request);
  // {"text", "path"}: a new .route file inside the folder.
  ApiReply SaveAs(const nlohmann::json& request);
  // {"text", "format": "gpx"|"geojson"}: {"name", "document"}.
  ApiReply Export(const nlohmann::json& request) const;
  // What the page starts from: the opened file as it was read, else a
  // route of one waypoint at the first base, else 404.
  ApiReply Current() const;
  // {"text", "lat", "lon", "heading" (deg), "range" (m), "waypoint"}:
  // {"map", "list"}, the module's pages as PNG data addresses.
  ApiReply Preview(const nlohmann::json& request) const;
  // The .route, .gpx and .cfg files inside the folder.
  ApiReply Files() const;
  // The bases added so far.
  ApiReply Bases() const;
  // {"path"}: a host base file inside the folder, added to the bases.
  ApiReply AddBase(const nlohmann::json& request);
  // A base file given on the command line; empty, or why not.
  std::string AddBaseFile(const std::filesystem::path& path);

 private:
  struct Opened {
    std::filesystem::path path;
    std::optional<std::string> bytes;  // as last read or written; none when it did not exist
  };
  std::filesystem::path folder_;
  std::optional<Opened> opened_;
  std::vector<nlohmann::json> bases_;

  ApiReply OpenBytes(const std::filesystem::path& path, const std::string& bytes, const std::string& shownName);
  ApiReply WriteOpened(const std::string& text);
};

}  // namespace route_tool
