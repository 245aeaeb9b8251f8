#include "route_tool/planner/planner_api.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "files/output_file.h"
#include "geodesy/body_constants.h"
#include "route_tool/bases/base_config.h"
#include "route_tool/core/route_check.h"
#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_legs.h"
#include "route_tool/core/route_source.h"
#include "route_tool/formats/route_geojson.h"
#include "route_tool/formats/route_gpx.h"
#include "route_tool/planner/planner_draft_json.h"
#include "route_tool/planner/planner_map.h"
#include "route_tool/planner/planner_preview.h"
#include "route_tool/planner/planner_safety.h"
#include "text/file_place.h"

namespace route_tool {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Files listed at most, so that a huge folder does not stall the page.
constexpr std::size_t kMostFilesListed = 2000;

ApiReply Refused(int status, const std::string& why) { return {status, {{"error", why}}}; }

bool EndsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool TextField(const json& request, const char* name, std::string& value) {
  const auto it = request.find(name);
  if (it == request.end() || !it->is_string()) return false;
  value = it->get<std::string>();
  return true;
}

json LegsJson(const WaypointList& waypoints) {
  const RouteLegs legs = LegsOf(waypoints, geodesy::kEarthRadiusMetres);
  json rows = json::array();
  for (const RouteLeg& leg : legs.legs) {
    rows.push_back({{"from", leg.fromWaypoint}, {"to", leg.toWaypoint}, {"distanceMetres", leg.distanceMetres},
                    {"courseDeg", leg.courseDeg}, {"cumulativeMetres", leg.cumulativeMetres},
                    {"speedMetresPerSecond", leg.speedMetresPerSecond}, {"timed", leg.timed},
                    {"time", leg.timed ? DurationText(leg.timeSeconds) : "-"}, {"loopBack", leg.loopBack}});
  }
  return {{"legs", std::move(rows)},
          {"totalMetres", legs.totalMetres},
          {"totalSeconds", legs.totalSeconds},
          {"totalTime", DurationText(legs.totalSeconds)},
          {"untimedLegs", legs.untimedLegs}};
}

// The text through the module's reader and check, then legs and map; the
// route read back as a draft unless the page sent its own.
enum class DraftBack { Sent, Omitted };
ApiReply Analysis(const std::string& text, const std::string& name, DraftBack draftBack = DraftBack::Sent) {
  RouteInput input;
  input.path = name;
  input.bytes = text;
  const RouteCheck check = CheckRouteInput(input);
  json problems = json::array();
  for (const Diagnostic& d : check.diagnostics) {
    problems.push_back({{"line", d.place.line}, {"column", d.place.column},
                        {"severity", d.severity == Severity::Error ? "error" : "warning"}, {"message", d.message},
                        {"text", DiagnosticLine(name, d)}});
  }
  PlaceProblems(input, problems);
  const RouteSource source = ReadRouteSource(std::move(input));
  json body = {{"text", text},
               {"problems", std::move(problems)},
               {"verdict", {{"line", VerdictLine(name, check.verdict)}, {"error", source.errorFlag}}},
               {"legs", nullptr},
               {"map", nullptr}};
  if (draftBack == DraftBack::Sent) body["draft"] = JsonOfSource(source);
  if (!source.errorFlag && !source.waypoints.empty()) {
    body["legs"] = LegsJson(source.waypoints);
    body["map"] = MapOfSource(source, name);
  }
  return {200, std::move(body)};
}

std::string PngDataAddress(const std::string& png) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out = "data:image/png;base64,";
  for (std::size_t i = 0; i < png.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, png.size() - i);
    std::uint32_t bits = 0;
    for (std::size_t k = 0; k < 3; ++k)
      bits = bits << 8 | (k < n ? static_cast<unsigned char>(png[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out.push_back(k <= n ? kDigits[(bits >> (18 - 6 * k)) & 63] : '=');
  }
  return out;
}

bool NumberField(const json& request, const char* name, double& value) {
  const auto it = request.find(name);
  if (it == request.end() || !it->is_number()) return false;
  value = it->get<double>();
  return std::isfinite(value);
}

std::optional<std::string> BytesOnDisk(const fs::path& path) {
  std::string bytes;
  if (!ReadFileBytes(path.string(), bytes).empty()) return std::nullopt;
  return bytes;
}

}  // namespace

PlannerSession::PlannerSession(fs::path folder) : folder_(std::move(folder)) {}

ApiReply PlannerSession::Edit(const json& request) const {
  const std::string name = opened_ ? opened_->path.filename().string() : "new.route";
  std::string text;
  if (TextField(request, "text", text)) return Analysis(text, name);
  const auto draftField = request.find("draft");
  if (draftField == request.end()) return Refused(400, "send the route as \"draft\" or as \"text\"");
  RouteFileDraft draft;
  std::string why;
  if (!DraftFromJson(*draftField, draft, why)) return Refused(400, why);
  const RouteFileWriting writing = RouteFileText(draft);
  if (!writing.error.empty()) return Refused(422, writing.error);
  // The page keeps the draft it sent: a large route's is a fifth of the answer.
  return Analysis(writing.text, name, DraftBack::Omitted);
}

ApiReply PlannerSession::OpenBytes(const fs::path& path, const std::string& bytes, const std::string& shownName) {
  ApiReply reply = Analysis(bytes, path.filename().string());
  if (reply.status != 200) return reply;
  opened_ = Opened{path, bytes};
  reply.body["file"] = {{"path", shownName}, {"new", false}};
  return reply;
}

ApiReply PlannerSession::Open(const json& request) {
  std::string relative;
  if (!TextField(request, "path", relative)) return Refused(400, "name the file to open as \"path\"");
  const PathInFolder file = ResolveInFolder(folder_, relative, true);
  if (!file.why.empty()) return Refused(403, file.why);
  std::string bytes;
  if (const std::string why = ReadFileBytes(file.path.string(), bytes); !why.empty())
    return Refused(422, relative + ": " + why);
  if (!EndsWith(relative, ".gpx")) return OpenBytes(file.path, bytes, relative);
  const GpxImport imported = DraftFromGpx(bytes, relative, kGpxImportRadiusMetres);
  if (!imported.ok) return Refused(422, imported.message);
  const RouteFileWriting writing = RouteFileText(imported.draft);
  if (!writing.error.empty()) return Refused(422, relative + ": " + writing.error);
  // The imported route is new: it is saved under a name of its own.
  fs::path routePath = file.path;
  routePath.replace_extension(".route");
  ApiReply reply = Analysis(writing.text, routePath.filename().string());
  if (reply.status != 200) return reply;
  opened_.reset();
  reply.body["file"] = {{"path", fs::path(relative).replace_extension(".route").string()}, {"new", true}};
  return reply;
}

ApiReply PlannerSession::OpenGiven(const fs::path& path) {
  std::string bytes;
  if (const std::string why = ReadFileBytes(path.string(), bytes); !why.empty())
    return Refused(422, path.string() + ": " + why);
  return OpenBytes(fs::absolute(path), bytes, path.string());
}

ApiReply PlannerSession::WriteOpened(const std::string& text) {
  ApiReply reply = Analysis(text, opened_->path.filename().string());
  if (reply.status != 200) return reply;
  if (reply.body["verdict"]["error"].get<bool>())
    return Refused(422, "the module reads this route with an error; mend it before saving");
  if (const std::string why = files::WriteOutputFile(opened_->path.string(), text); !why.empty())
    return Refused(500, why);
  opened_->bytes = text;
  reply.body["saved"] = opened_->path.filename().string();
  return reply;
}

ApiReply PlannerSession::Save(const json& request) {
  std::string text;
  if (!TextField(request, "text", text)) return Refused(400, "send the route's \"text\"");
  if (!opened_) return Refused(409, "this route has no file yet: save it under a name");
  const std::optional<std::string> disk = BytesOnDisk(opened_->path);
  if (disk != opened_->bytes) {
    return {409,
            {{"error", opened_->path.filename().string() + " changed on disk since it was opened; nothing was saved"},
             {"conflict", true},
             {"disk", disk.value_or("")},
             {"mine", text}}};
  }
  return WriteOpened(text);
}

ApiReply PlannerSession::SaveAs(const json& request) {
  std::string text;
  std::string relative;
  if (!TextField(request, "text", text) || !TextField(request, "path", relative))
    return Refused(400, "send the route's \"text\" and the new file's \"path\"");
  if (!EndsWith(relative, ".route")) return Refused(400, relative + ": a route file's name ends in .route");
  const PathInFolder file = ResolveInFolder(folder_, relative, false);
  if (!file.why.empty()) return Refused(403, file.why);
  std::error_code error;
  if (fs::exists(fs::symlink_status(file.path, error)))
    return Refused(409, relative + " is already there; choose a new name");
  const std::optional<Opened> before = opened_;
  opened_ = Opened{file.path, std::nullopt};
  ApiReply reply = WriteOpened(text);
  if (reply.status != 200) opened_ = before;
  else reply.body["file"] = {{"path", relative}, {"new", false}};
  return reply;
}

ApiReply PlannerSession::Export(const json& request) const {
  std::string text;
  std::string format;
  if (!TextField(request, "text", text) || !TextField(request, "format", format) ||
      (format != "gpx" && format != "geojson"))
    return Refused(400, "send the route's \"text\" and \"format\": \"gpx\" or \"geojson\"");
  const std::string stem = opened_ ? opened_->path.stem().string() : "route";
  RouteInput input;
  input.path = stem + ".route";
  input.bytes = text;
  const RouteSource source = ReadRouteSource(std::move(input));
  if (source.errorFlag) return Refused(422, "the module reads this route with an error: " + source.errorText);
  if (const PlaceProblemFound problem = PlaceProblem(source); !problem.why.empty())
    return Refused(422, "point " + std::to_string(problem.point) + ": " + problem.why);
  const bool gpx = format == "gpx";
  return {200,
          {{"name", stem + (gpx ? ".gpx" : ".geojson")}, {"document", gpx ? GpxText(source, stem) : GeoJsonText(source)}}};
}

ApiReply PlannerSession::Current() const {
  if (opened_ && opened_->bytes) {
    ApiReply reply = Analysis(*opened_->bytes, opened_->path.filename().string());
    reply.body["file"] = {{"path", opened_->path.filename().string()}, {"new", false}};
    return reply;
  }
  if (bases_.empty()) return Refused(404, "no route yet: open a file of the folder");
  const json& base = bases_.front();
  RouteFileDraft draft;
  draft.points.push_back({base["lon"].get<double>(), base["lat"].get<double>(), base["name"].get<std::string>()});
  RouteFileDraft::WaypointLine first;
  first.acceptRadiusMetres = kGpxImportRadiusMetres;
  first.description = base["name"].get<std::string>();
  draft.waypoints.push_back(first);
  const RouteFileWriting writing = RouteFileText(draft);
  if (!writing.error.empty()) return Refused(422, writing.error);
  ApiReply reply = Analysis(writing.text, "new.route");
  reply.body["file"] = {{"path", "new.route"}, {"new", true}};
  return reply;
}

ApiReply PlannerSession::Preview(const json& request) const {
  std::string text;
  PreviewRequest place;
  double range = 0.0;
  double waypoint = 0.0;
  if (!TextField(request, "text", text) || !NumberField(request, "lat", place.latitudeDeg) ||
      !NumberField(request, "lon", place.longitudeDeg) || !NumberField(request, "heading", place.headingDeg) ||
      !NumberField(request, "range", range) || !NumberField(request, "waypoint", waypoint) || waypoint < 0.0 ||
      std::abs(place.latitudeDeg) > 90.0)
    return Refused(400, "send \"text\", \"lat\", \"lon\", \"heading\" in degrees, \"range\" and \"waypoint\"");
  if (range < 1.0 || range > 4e9 || !IsModuleRange(static_cast<std::uint32_t>(range)))
    return Refused(400, "the range must be one of the module's zoom levels, 250 m to 131072 km");
  place.rangeMetres = static_cast<std::uint32_t>(range);
  place.currentWaypoint = static_cast<std::size_t>(waypoint);
  RouteInput input;
  input.path = "preview.route";
  input.bytes = text;
  const RouteSource source = ReadRouteSource(std::move(input));
  if (source.errorFlag || source.waypoints.empty())
    return Refused(422, "the module reads this route with an error: " + source.errorText);
  const PreviewPictures pictures = PreviewPages(source, place);
  if (!pictures.why.empty()) return Refused(500, pictures.why);
  return {200, {{"map", PngDataAddress(pictures.mapPng)}, {"list", PngDataAddress(pictures.listPng)}}};
}

ApiReply PlannerSession::Files() const {
  json files = json::array();
  std::error_code error;
  fs::recursive_directory_iterator it(folder_, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::recursive_directory_iterator() && files.size() < kMostFilesListed; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!it->is_regular_file(error) || it->is_symlink(error)) continue;
    if (EndsWith(name, ".route") || EndsWith(name, ".gpx") || EndsWith(name, ".cfg"))
      files.push_back(fs::relative(it->path(), folder_, error).generic_string());
  }
  std::sort(files.begin(), files.end());
  return {200, {{"files", std::move(files)}}};
}

ApiReply PlannerSession::Bases() const { return {200, {{"bases", bases_}}}; }

std::string PlannerSession::AddBaseFile(const fs::path& path) {
  std::string bytes;
  if (const std::string why = ReadFileBytes(path.string(), bytes); !why.empty()) return path.string() + ": " + why;
  const BaseConfigReading reading = ReadBaseConfig(bytes);
  if (!reading.error.message.empty())
    return PlaceText(path.string(), reading.error.place) + ": " + reading.error.message;
  const BaseConfig& base = reading.base;
  const auto place = [&base](const BaseLocalPosition& local) {
    const SurfacePointDeg at = BaseLocalToDegrees(base.longitudeDeg, base.latitudeDeg, local, geodesy::kEarthRadiusMetres);
    return json{{"lat", at.latitudeDeg}, {"lon", at.longitudeDeg}};
  };
  json runways = json::array();
  for (const BaseRunway& r : base.runways) runways.push_back({{"end1", place(r.end1)}, {"end2", place(r.end2)}});
  json pads = json::array();
  for (const BasePad& p : base.pads) pads.push_back(place(p.position));
  bases_.push_back({{"name", base.name.empty() ? path.stem().string() : base.name},
                    {"file", path.filename().string()},
                    {"lat", base.latitudeDeg},
                    {"lon", base.longitudeDeg},
                    {"runways", std::move(runways)},
                    {"pads", std::move(pads)}});
  return {};
}

ApiReply PlannerSession::AddBase(const json& request) {
  std::string relative;
  if (!TextField(request, "path", relative)) return Refused(400, "name the base file as \"path\"");
  const PathInFolder file = ResolveInFolder(folder_, relative, true);
  if (!file.why.empty()) return Refused(403, file.why);
  if (const std::string why = AddBaseFile(file.path); !why.empty()) return Refused(422, why);
  return Bases();
}

}  // namespace route_tool
