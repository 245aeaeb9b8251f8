// Reading a scenario's timeline of inputs, each fault placed by the JSON
// pointer of the event it is about, and checking the order of its events.
#include "simulator/scenario_timeline.h"

#include <algorithm>
#include <map>
#include <set>

#include "mfd/tarvik_mfd.h"
#include "simulator/scenario_fields.h"

namespace simulator {

using nlohmann::json;
using namespace scenario_fields;

std::optional<DWORD> KeyCodeByName(const std::string& name) {
  static const std::map<std::string, DWORD> kKeys = {
      {"P", keys::P}, {"N", keys::N}, {"L", keys::L}, {"S", keys::S}, {"D", keys::D}, {"C", keys::C},
      {"KeypadPlus", keys::KeypadPlus}, {"KeypadMinus", keys::KeypadMinus}, {"W", 0x11}};
  auto it = kKeys.find(name);
  if (it == kKeys.end()) return std::nullopt;
  return it->second;
}

namespace {

int ReadDisplayIndex(ObjectReader& r, const Scenario& scenario) {
  const long long index = ObjectReader::AsInteger(r.Required("display"), r.PlaceOf("display"));
  if (index < 0 || index >= static_cast<long long>(scenario.displays.size()))
    Fail(r.PlaceOf("display"), "no display " + std::to_string(index) + " (the scenario has " +
                                   std::to_string(scenario.displays.size()) + ")");
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

}  // namespace

void ReadTimeline(const json& timeline, Scenario& scenario) {
  static const char* const kActions[] = {"modeKey", "leaveMode", "key", "button", "loadRoute", "focus", "delete"};
  for (std::size_t i = 0; i < timeline.size(); ++i) {
    const std::string place = "/timeline/" + std::to_string(i);
    ObjectReader r(timeline[i], place);
    TimelineEvent e;
    e.place = place;
    e.atSeconds = r.Number("at");
    if (e.atSeconds < 0.0 || e.atSeconds > scenario.durationSeconds)
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
      RequireRouteFile(e.name, scenario.routeFolder, valuePlace);
    } else {
      e.kind = action == "focus" ? TimelineEvent::Kind::Focus : TimelineEvent::Kind::Delete;
      e.name = ObjectReader::AsText(value, valuePlace);
      bool known = false;
      for (const auto& v : scenario.vessels) known = known || v.name == e.name;
      if (!known) Fail(valuePlace, "unknown vessel " + Quoted(e.name));
    }
    const bool onDisplay = e.kind != TimelineEvent::Kind::Focus && e.kind != TimelineEvent::Kind::Delete;
    if (onDisplay) e.display = ReadDisplayIndex(r, scenario);
    r.Finish();
    scenario.timeline.push_back(std::move(e));
  }
  std::stable_sort(scenario.timeline.begin(), scenario.timeline.end(),
                   [](const TimelineEvent& a, const TimelineEvent& b) { return a.atSeconds < b.atSeconds; });
}

void CheckTimelineOrder(const Scenario& scenario) {
  std::vector<bool> inMode(scenario.displays.size(), false);
  std::set<std::string> deleted;
  const std::size_t vesselCount = scenario.vessels.size();
  for (const TimelineEvent& e : scenario.timeline) {
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

}  // namespace simulator
