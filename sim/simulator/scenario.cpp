#include "sim/simulator/scenario.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "mfd/tarvik_mfd.h"

namespace simulator {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// A fault found while reading: where (a JSON pointer) and what.
struct Fault {
  std::string place;
  std::string fault;
};

std::string Escaped(const std::string& key) {
  std::string out;
  for (char c : key) {
    if (c == '~') out += "~0";
    else if (c == '/') out += "~1";
    else out += c;
  }
  return out;
}

std::string WithArticle(const char* typeName) {
  const std::string name = typeName;
  return (name == "array" || name == "object" ? "an " : "a ") + name;
}

[[noreturn]] void Fail(const std::string& place, const std::string& fault) { throw Fault{place, fault}; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Reads the members of one JSON object; every member must be read, so a
// misspelt name is a fault rather than a silent default.
// Names one or two edits apart ("lattitude", "latitude"): a misspelling.
bool NearlyTheSame(const std::string& a, const std::string& b) {
  constexpr std::size_t kMostEdits = 2;
  if (a.size() > b.size() + kMostEdits || b.size() > a.size() + kMostEdits) return false;
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j)
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    std::swap(previous, current);
  }
  return previous[b.size()] <= kMostEdits;
}

class ObjectReader {
 public:
  ObjectReader(const json& value, std::string place) : value_(value), place_(std::move(place)) {
    if (!value_.is_object()) Fail(Place(), "expected an object, found " + WithArticle(value_.type_name()));
  }

  std::string Place() const { return place_.empty() ? "/" : place_; }
  std::string PlaceOf(const std::string& key) const { return place_ + "/" + Escaped(key); }
  bool Has(const std::string& key) const { return value_.contains(key); }

  const json& Required(const std::string& key) {
    if (!value_.contains(key)) {
      // A misspelt name is the fault to report, not the field it misses.
      for (auto it = value_.begin(); it != value_.end(); ++it)
        if (read_.count(it.key()) == 0 && NearlyTheSame(it.key(), key))
          Fail(PlaceOf(it.key()), "unknown field; did you mean " + Quoted(key) + "?");
      Fail(PlaceOf(key), "required field is missing");
    }
    read_.insert(key);
    return value_.at(key);
  }
  const json* Optional(const std::string& key) {
    if (!value_.contains(key)) return nullptr;
    read_.insert(key);
    return &value_.at(key);
  }

  double Number(const std::string& key) { return AsNumber(Required(key), PlaceOf(key)); }
  double Number(const std::string& key, double fallback) {
    const json* v = Optional(key);
    return v != nullptr ? AsNumber(*v, PlaceOf(key)) : fallback;
  }
  bool Flag(const std::string& key, bool fallback) {
    const json* v = Optional(key);
    if (v == nullptr) return fallback;
    if (!v->is_boolean()) Fail(PlaceOf(key), "expected true or false, found " + WithArticle(v->type_name()));
    return v->get<bool>();
  }
  std::string Text(const std::string& key) { return AsText(Required(key), PlaceOf(key)); }
  std::string Text(const std::string& key, const std::string& fallback) {
    const json* v = Optional(key);
    return v != nullptr ? AsText(*v, PlaceOf(key)) : fallback;
  }
  const json& Array(const std::string& key) { return AsArray(Required(key), PlaceOf(key)); }
  const json& Array(const std::string& key, const json& fallback) {
    const json* v = Optional(key);
    return v != nullptr ? AsArray(*v, PlaceOf(key)) : fallback;
  }

  // Every member must have been read.
  void Finish() const {
    for (auto it = value_.begin(); it != value_.end(); ++it)
      if (read_.count(it.key()) == 0) Fail(PlaceOf(it.key()), "unknown field");
  }

  static double AsNumber(const json& v, const std::string& place) {
    if (!v.is_number()) Fail(place, "expected a number, found " + WithArticle(v.type_name()));
    return v.get<double>();
  }
  static long long AsInteger(const json& v, const std::string& place) {
    if (!v.is_number_integer()) {
      if (v.is_number()) Fail(place, "expected a whole number, found " + v.dump());
      Fail(place, "expected a whole number, found " + WithArticle(v.type_name()));
    }
    return v.get<long long>();
  }
  static std::string AsText(const json& v, const std::string& place) {
    if (!v.is_string()) Fail(place, "expected a string, found " + WithArticle(v.type_name()));
    return v.get<std::string>();
  }
  static const json& AsArray(const json& v, const std::string& place) {
    if (!v.is_array()) Fail(place, "expected an array, found " + WithArticle(v.type_name()));
    return v;
  }

 private:
  const json& value_;
  std::string place_;
  std::set<std::string> read_;
};

std::string AsWritten(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

void RequirePositive(double value, const std::string& place) {
  if (!(value > 0.0)) Fail(place, "must be greater than 0, found " + AsWritten(value));
}

void RequireLatitude(double value, const std::string& place) {
  if (!(value >= -90.0 && value <= 90.0)) Fail(place, "latitude must lie between -90 and 90 degrees");
}

GeoPosition ReadPosition(ObjectReader& r) {
  GeoPosition p;
  p.latitudeDeg = r.Number("latitude");
  RequireLatitude(p.latitudeDeg, r.PlaceOf("latitude"));
  p.longitudeDeg = r.Number("longitude");
  return p;
}

std::string ReadName(ObjectReader& r, const std::string& key, std::set<std::string>& taken, const char* what) {
  std::string name = r.Text(key);
  if (name.empty()) Fail(r.PlaceOf(key), std::string(what) + " name must not be empty");
  if (!taken.insert(name).second) Fail(r.PlaceOf(key), std::string("a ") + what + " named " + Quoted(name) + " already exists");
  return name;
}

DWORD TransmitterType(const std::string& text, const std::string& place) {
  static const std::map<std::string, DWORD> kTypes = {{"VOR", TRANSMITTER_VOR},   {"VTOL", TRANSMITTER_VTOL},
                                                      {"ILS", TRANSMITTER_ILS},   {"IDS", TRANSMITTER_IDS},
                                                      {"XPDR", TRANSMITTER_XPDR}};
  auto it = kTypes.find(text);
  if (it == kTypes.end()) Fail(place, "unknown transmitter type " + Quoted(text) + " (VOR, VTOL, ILS, IDS or XPDR)");
  return it->second;
}

// Names the module's folder listing finds: "*.route" without regard to case.
bool IsRouteFileName(const std::string& name) {
  if (name.size() <= 6 || name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
  std::string ext = name.substr(name.size() - 6);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".route";
}

void RequireRouteFile(const std::string& name, const std::string& folder, const std::string& place) {
  if (!IsRouteFileName(name)) Fail(place, Quoted(name) + " is not a route file name (a plain name ending in .route)");
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(folder) / name, ec))
    Fail(place, "route file " + Quoted(name) + " not found in " + folder);
}

class ScenarioReader {
 public:
  explicit ScenarioReader(std::string path) { scenario_.path = std::move(path); }

  // Every interval must move the clock on over the whole run, and the run
  // must have a number of steps that the program can count and finish.
  void CheckClock() const {
    const double duration = scenario_.durationSeconds;
    const auto advances = [duration](double interval) { return duration + interval > duration; };
    if (!advances(scenario_.timeStepSeconds)) Fail("/timeStep", "is too small to move the clock on over the duration");
    if (!advances(scenario_.refreshIntervalSeconds))
      Fail("/refreshInterval", "is too small to move the clock on over the duration");
    if (scenario_.frameIntervalSeconds > 0.0 && !advances(scenario_.frameIntervalSeconds))
      Fail("/frameInterval", "is too small to move the clock on over the duration");
    const double steps = std::ceil(duration / scenario_.timeStepSeconds);
    if (!(steps <= kMostStepsEver))
      Fail("/timeStep", "makes " + AsWritten(steps) + " steps over the duration, more than any run can take");
    if (steps > static_cast<double>(kMostStepsUnasked) && !scenario_.longRun)
      Fail("/timeStep", "makes " + AsWritten(steps) + " steps over the duration, more than " +
                            std::to_string(kMostStepsUnasked) + "; say \"longRun\": true to run them");
  }

  Scenario Read(const json& root) {
    ObjectReader r(root, "");
    r.Text("description", "");
    scenario_.timeStepSeconds = r.Number("timeStep");
    RequirePositive(scenario_.timeStepSeconds, "/timeStep");
    scenario_.durationSeconds = r.Number("duration");
    RequirePositive(scenario_.durationSeconds, "/duration");
    scenario_.refreshIntervalSeconds = r.Number("refreshInterval", 1.0);
    RequirePositive(scenario_.refreshIntervalSeconds, "/refreshInterval");
    scenario_.frameIntervalSeconds = r.Number("frameInterval", 60.0);
    if (scenario_.frameIntervalSeconds < 0.0) Fail("/frameInterval", "must not be negative");
    scenario_.longRun = r.Flag("longRun", false);
    CheckClock();
    static const json kNoTimes = json::array();
    const json& times = r.Array("overviewTimes", kNoTimes);
    for (std::size_t i = 0; i < times.size(); ++i) {
      const std::string place = "/overviewTimes/" + std::to_string(i);
      const double t = ObjectReader::AsNumber(times[i], place);
      if (t < 0.0 || t > scenario_.durationSeconds) Fail(place, "must lie between 0 and the duration");
      scenario_.overviewTimes.push_back(t);
    }
    std::sort(scenario_.overviewTimes.begin(), scenario_.overviewTimes.end());
    ReadRouteFolder(r);
    ReadBodies(r.Array("bodies"));
    ReadVessels(r.Array("vessels"));
    ReadDisplays(r.Array("displays"));
    static const json kNone = json::array();
    ReadTimeline(r.Array("timeline", kNone));
    r.Finish();
    CheckTimelineOrder();
    return scenario_;
  }

 private:
  void ReadRouteFolder(ObjectReader& r) {
    const std::string given = r.Text("routeFolder", "Config/TKMFD/routes");
    fs::path folder = given;
    if (folder.is_relative()) folder = fs::absolute(fs::path(scenario_.path)).parent_path() / folder;
    folder = folder.lexically_normal();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) Fail("/routeFolder", "folder " + folder.string() + " not found");
    scenario_.routeFolder = folder.string();
    if (!scenario_.routeFolder.empty() && scenario_.routeFolder.back() == '/') scenario_.routeFolder.pop_back();
  }

  void ReadBodies(const json& bodies) {
    if (bodies.empty()) Fail("/bodies", "at least one body is needed");
    std::set<std::string> bodyNames, baseNames, transmitterIds;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
      ObjectReader r(bodies[i], "/bodies/" + std::to_string(i));
      BodySpec body;
      body.name = ReadName(r, "name", bodyNames, "body");
      body.radiusMetres = r.Number("radius");
      RequirePositive(body.radiusMetres, r.PlaceOf("radius"));
      static const json kNone = json::array();
      const json& bases = r.Array("bases", kNone);
      for (std::size_t b = 0; b < bases.size(); ++b) {
        ObjectReader br(bases[b], r.PlaceOf("bases") + "/" + std::to_string(b));
        BaseSpec base;
        base.name = ReadName(br, "name", baseNames, "base");
        base.position = ReadPosition(br);
        const json& pads = br.Array("pads", kNone);
        for (std::size_t p = 0; p < pads.size(); ++p) {
          ObjectReader pr(pads[p], br.PlaceOf("pads") + "/" + std::to_string(p));
          base.pads.push_back(ReadPosition(pr));
          pr.Finish();
        }
        br.Finish();
        body.bases.push_back(std::move(base));
      }
      const json& transmitters = r.Array("transmitters", kNone);
      for (std::size_t t = 0; t < transmitters.size(); ++t) {
        ObjectReader tr(transmitters[t], r.PlaceOf("transmitters") + "/" + std::to_string(t));
        TransmitterSpec transmitter;
        transmitter.id = ReadName(tr, "id", transmitterIds, "transmitter");
        transmitter.type = TransmitterType(tr.Text("type", "VOR"), tr.PlaceOf("type"));
        transmitter.position = ReadPosition(tr);
        tr.Finish();
        body.transmitters.push_back(std::move(transmitter));
      }
      r.Finish();
      scenario_.bodies.push_back(std::move(body));
    }
  }

  const BodySpec* FindBody(const std::string& name) const {
    for (const auto& b : scenario_.bodies)
      if (b.name == name) return &b;
    return nullptr;
  }

  bool KnowsTransmitter(const std::string& id) const {
    for (const auto& b : scenario_.bodies)
      for (const auto& t : b.transmitters)
        if (t.id == id) return true;
    return false;
  }

  void ReadVessels(const json& vessels) {
    if (vessels.empty()) Fail("/vessels", "at least one vessel is needed");
    std::set<std::string> names;
    for (std::size_t i = 0; i < vessels.size(); ++i) {
      ObjectReader r(vessels[i], "/vessels/" + std::to_string(i));
      VesselScenario v;
      v.name = ReadName(r, "name", names, "vessel");
      v.body = r.Text("body");
      const BodySpec* body = FindBody(v.body);
      if (body == nullptr) Fail(r.PlaceOf("body"), "unknown body " + Quoted(v.body));
      v.position = ReadPosition(r);
      v.headingDeg = r.Number("heading");
      if (const json* alt = r.Optional("altitude")) v.altitudeMetres = ObjectReader::AsNumber(*alt, r.PlaceOf("altitude"));
      v.airspeed = r.Number("airspeed", 0.0);
      if (v.airspeed < 0.0) Fail(r.PlaceOf("airspeed"), "must not be negative");
      if (const json* td = r.Optional("touchdownPoints")) ReadTouchdown(*td, r.PlaceOf("touchdownPoints"), v);
      v.landedAt = r.Text("landedAt", "");
      if (!v.landedAt.empty()) {
        bool found = false;
        for (const auto& base : body->bases) found = found || base.name == v.landedAt;
        if (!found) Fail(r.PlaceOf("landedAt"), "no base " + Quoted(v.landedAt) + " on body " + Quoted(v.body));
      }
      static const json kNone = json::array();
      const json& receivers = r.Array("receivers", kNone);
      for (std::size_t k = 0; k < receivers.size(); ++k) {
        const std::string place = r.PlaceOf("receivers") + "/" + std::to_string(k);
        if (receivers[k].is_null()) {
          v.receivers.emplace_back();
          continue;
        }
        std::string id = ObjectReader::AsText(receivers[k], place);
        if (!KnowsTransmitter(id)) Fail(place, "unknown transmitter " + Quoted(id));
        v.receivers.push_back(std::move(id));
      }
      v.routeFile = r.Text("route", "");
      if (r.Has("route")) RequireRouteFile(v.routeFile, scenario_.routeFolder, r.PlaceOf("route"));
      if (const json* pilot = r.Optional("pilot")) v.pilot = ReadPilot(*pilot, r.PlaceOf("pilot"));
      r.Finish();
      scenario_.vessels.push_back(std::move(v));
    }
  }

  static void ReadTouchdown(const json& td, const std::string& place, VesselScenario& v) {
    ObjectReader::AsArray(td, place);
    if (td.size() != 3) Fail(place, "expected three points, found " + std::to_string(td.size()));
    for (std::size_t k = 0; k < 3; ++k) {
      const std::string pointPlace = place + "/" + std::to_string(k);
      ObjectReader::AsArray(td[k], pointPlace);
      if (td[k].size() != 3) Fail(pointPlace, "expected [x, y, z], found " + std::to_string(td[k].size()) + " numbers");
      v.touchdown[k] = {ObjectReader::AsNumber(td[k][0], pointPlace + "/0"),
                        ObjectReader::AsNumber(td[k][1], pointPlace + "/1"),
                        ObjectReader::AsNumber(td[k][2], pointPlace + "/2")};
    }
  }

  static PilotSettings ReadPilot(const json& value, const std::string& place) {
    ObjectReader r(value, place);
    PilotSettings p;
    auto positive = [&](const char* key, double& field) {
      field = r.Number(key, field);
      RequirePositive(field, r.PlaceOf(key));
    };
    positive("turnRate", p.turnRateDegPerSecond);
    positive("rotateSpeed", p.rotateSpeed);
    positive("acceleration", p.acceleration);
    positive("braking", p.braking);
    positive("climbRate", p.climbRate);
    positive("descentRate", p.descentRate);
    positive("approachSpeed", p.approachSpeed);
    positive("glideSlope", p.glideSlopeDeg);
    p.touchdownBeforeMetres = r.Number("touchdownBefore", p.touchdownBeforeMetres);
    if (const json* laps = r.Optional("loopLaps")) {
      const long long n = ObjectReader::AsInteger(*laps, r.PlaceOf("loopLaps"));
      if (n < 0 || n > 1000) Fail(r.PlaceOf("loopLaps"), "must lie between 0 and 1000");
      p.loopLaps = static_cast<int>(n);
    }
    r.Finish();
    return p;
  }

  void ReadDisplays(const json& displays) {
    for (std::size_t i = 0; i < displays.size(); ++i) {
      ObjectReader r(displays[i], "/displays/" + std::to_string(i));
      DisplaySpec d;
      auto size = [&](const char* key) {
        const long long px = ObjectReader::AsInteger(r.Required(key), r.PlaceOf(key));
        if (px < 16 || px > 4096) Fail(r.PlaceOf(key), "must lie between 16 and 4096 pixels");
        return static_cast<DWORD>(px);
      };
      d.widthPx = size("width");
      d.heightPx = size("height");
      r.Finish();
      scenario_.displays.push_back(d);
    }
  }

  int ReadDisplayIndex(ObjectReader& r) {
    const long long index = ObjectReader::AsInteger(r.Required("display"), r.PlaceOf("display"));
    if (index < 0 || index >= static_cast<long long>(scenario_.displays.size()))
      Fail(r.PlaceOf("display"), "no display " + std::to_string(index) + " (the scenario has " +
                                     std::to_string(scenario_.displays.size()) + ")");
    return static_cast<int>(index);
  }

  DWORD ReadKey(const json& v, const std::string& place) {
    if (v.is_string()) {
      const std::string name = v.get<std::string>();
      if (auto code = KeyCodeByName(name)) return *code;
      Fail(place, "unknown key " + Quoted(name) + " (P, N, L, S, D, C, KeypadPlus, KeypadMinus or a scan code)");
    }
    const long long code = ObjectReader::AsInteger(v, place);
    if (code < 0 || code > 255) Fail(place, "a key scan code lies between 0 and 255");
    return static_cast<DWORD>(code);
  }

  void ReadTimeline(const json& timeline) {
    static const char* const kActions[] = {"modeKey", "leaveMode", "key", "button", "loadRoute", "focus", "delete"};
    for (std::size_t i = 0; i < timeline.size(); ++i) {
      const std::string place = "/timeline/" + std::to_string(i);
      ObjectReader r(timeline[i], place);
      TimelineEvent e;
      e.place = place;
      e.atSeconds = r.Number("at");
      if (e.atSeconds < 0.0 || e.atSeconds > scenario_.durationSeconds)
        Fail(r.PlaceOf("at"), "must lie between 0 and the duration");
      std::vector<std::string> actions;
      for (const char* a : kActions)
        if (r.Has(a)) actions.emplace_back(a);
      if (actions.size() != 1)
        Fail(place, "expected exactly one of modeKey, leaveMode, key, button, loadRoute, focus, delete; found " +
                        std::to_string(actions.size()));
      const std::string& action = actions.front();
      const json& value = r.Required(action);
      const std::string valuePlace = r.PlaceOf(action);
      if (action == "modeKey") {
        e.kind = TimelineEvent::Kind::SelectMode;
        e.code = ReadKey(value, valuePlace);
      } else if (action == "leaveMode") {
        e.kind = TimelineEvent::Kind::LeaveMode;
        if (!value.is_boolean() || !value.get<bool>()) Fail(valuePlace, "expected true");
      } else if (action == "key") {
        e.kind = TimelineEvent::Kind::Key;
        e.code = ReadKey(value, valuePlace);
      } else if (action == "button") {
        e.kind = TimelineEvent::Kind::Button;
        const long long button = ObjectReader::AsInteger(value, valuePlace);
        if (button < 0 || button > 11) Fail(valuePlace, "a display has buttons 0 to 11");
        e.button = static_cast<int>(button);
        if (const json* ev = r.Optional("event"))
          e.buttonEvent = static_cast<int>(ObjectReader::AsInteger(*ev, r.PlaceOf("event")));
      } else if (action == "loadRoute") {
        e.kind = TimelineEvent::Kind::LoadRoute;
        e.name = ObjectReader::AsText(value, valuePlace);
        RequireRouteFile(e.name, scenario_.routeFolder, valuePlace);
      } else {
        e.kind = action == "focus" ? TimelineEvent::Kind::Focus : TimelineEvent::Kind::Delete;
        e.name = ObjectReader::AsText(value, valuePlace);
        bool known = false;
        for (const auto& v : scenario_.vessels) known = known || v.name == e.name;
        if (!known) Fail(valuePlace, "unknown vessel " + Quoted(e.name));
      }
      const bool onDisplay = e.kind != TimelineEvent::Kind::Focus && e.kind != TimelineEvent::Kind::Delete;
      if (onDisplay) e.display = ReadDisplayIndex(r);
      r.Finish();
      scenario_.timeline.push_back(std::move(e));
    }
    std::stable_sort(scenario_.timeline.begin(), scenario_.timeline.end(),
                     [](const TimelineEvent& a, const TimelineEvent& b) { return a.atSeconds < b.atSeconds; });
  }

  // Plays the timeline through without running it: inputs only reach a
  // display in a mode, and no event names a vessel already deleted.
  void CheckTimelineOrder() const {
    std::vector<bool> inMode(scenario_.displays.size(), false);
    std::set<std::string> deleted;
    const std::size_t vesselCount = scenario_.vessels.size();
    for (const TimelineEvent& e : scenario_.timeline) {
      switch (e.kind) {
        case TimelineEvent::Kind::SelectMode:
          inMode[static_cast<std::size_t>(e.display)] = true;
          break;
        case TimelineEvent::Kind::LeaveMode:
        case TimelineEvent::Kind::Key:
        case TimelineEvent::Kind::Button:
        case TimelineEvent::Kind::LoadRoute:
          if (!inMode[static_cast<std::size_t>(e.display)])
            Fail(e.place, "display " + std::to_string(e.display) + " shows no mode at this time (select one with modeKey first)");
          if (e.kind == TimelineEvent::Kind::LeaveMode) inMode[static_cast<std::size_t>(e.display)] = false;
          break;
        case TimelineEvent::Kind::Focus:
          if (deleted.count(e.name) != 0) Fail(e.place + "/focus", "vessel " + Quoted(e.name) + " was deleted before");
          break;
        case TimelineEvent::Kind::Delete:
          if (deleted.count(e.name) != 0) Fail(e.place + "/delete", "vessel " + Quoted(e.name) + " was deleted before");
          deleted.insert(e.name);
          if (deleted.size() == vesselCount) Fail(e.place + "/delete", "the last vessel cannot be deleted");
          break;
      }
    }
  }

  Scenario scenario_;
};

// "line 3, column 14" from nlohmann's message, which carries it already.
std::string SyntaxFault(const json::parse_error& e) {
  std::string message = e.what();
  const std::string marker = "parse error at ";
  const std::size_t at = message.find(marker);
  if (at != std::string::npos) message = message.substr(at + marker.size());
  const std::size_t colon = message.find(": ");
  if (colon == std::string::npos) return "JSON syntax: " + message;
  return message.substr(0, colon) + ": " + message.substr(colon + 2);
}

// A number beyond a double ("1e400") is no syntax error to the parser but
// an overflow; it is placed where the number first stands in the text.
std::string OverflowFault(const json::out_of_range& e, const std::string& text) {
  const std::string message = e.what();
  const std::size_t open = message.find('\'');
  const std::size_t close = open == std::string::npos ? open : message.find('\'', open + 1);
  if (close == std::string::npos) return "number: beyond the range of a double";
  const std::string number = message.substr(open + 1, close - open - 1);
  const std::size_t at = text.find(number);
  std::string place = "number";
  if (at != std::string::npos) {
    const std::size_t lineStart = text.rfind('\n', at);
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    const std::size_t column = at - (lineStart == std::string::npos ? 0 : lineStart + 1) + 1;
    place = "line " + std::to_string(line) + ", column " + std::to_string(column);
  }
  return place + ": the number " + number + " is beyond the range of a double";
}

}  // namespace

std::optional<DWORD> KeyCodeByName(const std::string& name) {
  static const std::map<std::string, DWORD> kKeys = {
      {"P", keys::P}, {"N", keys::N}, {"L", keys::L}, {"S", keys::S}, {"D", keys::D}, {"C", keys::C},
      {"KeypadPlus", keys::KeypadPlus}, {"KeypadMinus", keys::KeypadMinus}, {"W", 0x11}};
  auto it = kKeys.find(name);
  if (it == kKeys.end()) return std::nullopt;
  return it->second;
}

namespace {

// Far above any scenario; a device or a file that keeps growing stops here.
constexpr std::size_t kLargestScenarioBytes = std::size_t{64} << 20;

// The whole file, or why it is no scenario file to read.
std::string ReadScenarioText(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::string("cannot be opened (") + std::strerror(errno) + ")";
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(file);
    return "is a folder, not a scenario file";
  }
  char buffer[1 << 16];
  std::size_t got = 0;
  while (text.size() <= kLargestScenarioBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (text.size() > kLargestScenarioBytes) return "is larger than 64 MiB, not a scenario file";
  if (failed) return std::string("cannot be read (") + std::strerror(errno) + ")";
  return {};
}

}  // namespace

ScenarioResult ReadScenario(const std::string& path) {
  ScenarioResult result;
  std::string text;
  if (const std::string why = ReadScenarioText(path, text); !why.empty()) {
    result.error = path + ": file: " + why;
    return result;
  }
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    result.error = path + ": " + SyntaxFault(e);
    return result;
  } catch (const json::out_of_range& e) {
    result.error = path + ": " + OverflowFault(e, text);
    return result;
  }
  try {
    result.scenario = ScenarioReader(path).Read(root);
  } catch (const Fault& f) {
    result.error = path + ": " + f.place + ": " + f.fault;
  }
  return result;
}

}  // namespace simulator
