// Reading a scenario's world: bodies, vessels and displays, each fault
// placed by the JSON pointer of the value it is about.
#include "simulator/scenario_world.h"

#include <map>
#include <set>

namespace simulator {

using nlohmann::json;
using namespace scenario_fields;

namespace {

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

void ReadBodies(const json& bodies, Scenario& scenario) {
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
    scenario.bodies.push_back(std::move(body));
  }
}

const BodySpec* FindBody(const Scenario& scenario, const std::string& name) {
  for (const auto& b : scenario.bodies)
    if (b.name == name) return &b;
  return nullptr;
}

bool KnowsTransmitter(const Scenario& scenario, const std::string& id) {
  for (const auto& b : scenario.bodies)
    for (const auto& t : b.transmitters)
      if (t.id == id) return true;
  return false;
}

void ReadTouchdown(const json& td, const std::string& place, VesselScenario& v) {
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

PilotSettings ReadPilot(const json& value, const std::string& place) {
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

void ReadVessels(const json& vessels, Scenario& scenario) {
  if (vessels.empty()) Fail("/vessels", "at least one vessel is needed");
  std::set<std::string> names;
  for (std::size_t i = 0; i < vessels.size(); ++i) {
    ObjectReader r(vessels[i], "/vessels/" + std::to_string(i));
    VesselScenario v;
    v.name = ReadName(r, "name", names, "vessel");
    v.body = r.Text("body");
    const BodySpec* body = FindBody(scenario, v.body);
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
      if (!KnowsTransmitter(scenario, id)) Fail(place, "unknown transmitter " + Quoted(id));
      v.receivers.push_back(std::move(id));
    }
    v.routeFile = r.Text("route", "");
    if (r.Has("route")) RequireRouteFile(v.routeFile, scenario.routeFolder, r.PlaceOf("route"));
    if (const json* pilot = r.Optional("pilot")) v.pilot = ReadPilot(*pilot, r.PlaceOf("pilot"));
    r.Finish();
    scenario.vessels.push_back(std::move(v));
  }
}

void ReadDisplays(const json& displays, Scenario& scenario) {
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
    scenario.displays.push_back(d);
  }
}

}  // namespace

void ReadWorld(ObjectReader& top, Scenario& scenario) {
  ReadBodies(top.Array("bodies"), scenario);
  ReadVessels(top.Array("vessels"), scenario);
  ReadDisplays(top.Array("displays"), scenario);
}

}  // namespace simulator
