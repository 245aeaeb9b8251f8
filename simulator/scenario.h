// A scenario: the world, the vessels with their pilots, the displays, the
// route folder, the clock and the timeline of inputs, read from a JSON file
// and checked whole before anything runs. docs/scenario.md is the schema.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/host_types.h"

namespace simulator {

struct GeoPosition {
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
};

struct BaseSpec {
  std::string name;
  GeoPosition position;
  std::vector<GeoPosition> pads;
};

struct TransmitterSpec {
  std::string id;
  DWORD type = TRANSMITTER_VOR;
  GeoPosition position;
};

struct BodySpec {
  std::string name;
  double radiusMetres = 0.0;
  std::vector<BaseSpec> bases;
  std::vector<TransmitterSpec> transmitters;
};

// How a pilot flies; every value has a default.
struct PilotSettings {
  double turnRateDegPerSecond = 3.0;
  double rotateSpeed = 70.0;        // [m/s] lift-off on the take-off roll
  double acceleration = 2.5;        // [m/s^2]
  double braking = 3.0;             // [m/s^2] on the ground after touchdown
  double climbRate = 12.0;          // [m/s]
  double descentRate = 10.0;        // [m/s]
  double approachSpeed = 70.0;      // [m/s] when the landing waypoint gives none
  double glideSlopeDeg = 3.0;
  double touchdownBeforeMetres = 400.0;  // aim point short of the landing waypoint
  int loopLaps = 2;                 // jumps back at a LOOP before the pilot presses N
};

struct VesselScenario {
  std::string name;
  std::string body;
  GeoPosition position;
  double headingDeg = 0.0;
  std::optional<double> altitudeMetres;  // default: standing on its touchdown points
  double airspeed = 0.0;
  std::array<VECTOR3, 3> touchdown{{{0.0, -2.0, 10.0}, {-3.0, -2.0, -2.0}, {3.0, -2.0, -2.0}}};
  std::string landedAt;                  // base name, empty when not at a base
  std::vector<std::string> receivers;    // transmitter ids, empty text = untuned
  std::string routeFile;                 // in the route folder; empty: no pilot route
  PilotSettings pilot;
};

struct DisplaySpec {
  DWORD widthPx = 256;
  DWORD heightPx = 256;
};

struct TimelineEvent {
  enum class Kind { SelectMode, LeaveMode, Key, Button, LoadRoute, Focus, Delete };
  double atSeconds = 0.0;
  Kind kind = Kind::Key;
  int display = -1;       // index into the displays, for display events
  DWORD code = 0;         // mode key or key code
  int button = 0;
  int buttonEvent = 1;    // PANEL_MOUSE_LBDOWN
  std::string name;       // vessel name or route file name
  std::string place;      // JSON pointer of the event, for messages at run time
};

// Steps a run takes without being asked for more (some hours of computing
// at most), and the most any run can take: step times stay exact whole
// multiples of the time step below 2^53.
inline constexpr long kMostStepsUnasked = 10'000'000;
inline constexpr double kMostStepsEver = 9007199254740992.0;  // 2^53

struct Scenario {
  std::string path;                 // as given
  std::string routeFolder;          // absolute
  double timeStepSeconds = 0.1;
  double durationSeconds = 0.0;
  double refreshIntervalSeconds = 1.0;
  double frameIntervalSeconds = 60.0;  // 0: no frames
  bool longRun = false;  // more steps than kMostStepsUnasked, asked for
  std::vector<double> overviewTimes;   // moments of the overview sheet; empty: spread evenly
  std::vector<BodySpec> bodies;
  std::vector<VesselScenario> vessels;
  std::vector<DisplaySpec> displays;
  std::vector<TimelineEvent> timeline;  // in time order; equal times keep file order
};

struct ScenarioResult {
  std::optional<Scenario> scenario;
  std::string error;  // "<file>: <place>: <fault>" when scenario is empty
};

ScenarioResult ReadScenario(const std::string& path);

// The key names the timeline accepts, and their codes.
std::optional<DWORD> KeyCodeByName(const std::string& name);

}  // namespace simulator
