// A pilot for one vessel. It reads the vessel's route file itself and
// flies it as a pilot reading the display would: a take-off roll and climb,
// great-circle legs at the waypoints' speeds and altitudes with a limited
// turn rate, loops for a set number of laps, and a descent, touchdown and
// roll to a full stop at the landing. It steers by the module's current
// waypoint as its display shows it, and keeps its own copy of the
// sequencing so that the two can be compared afterwards.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "route/route_records.h"
#include "simhost/sim_host.h"
#include "simulator/scenario.h"

namespace simulator {

// What a display shows of one vessel's route in the module.
struct ModuleRouteView {
  std::size_t waypointCount = 0;       // 0: no route
  std::optional<std::size_t> current;  // zero-based; none when no row is bright

  bool operator==(const ModuleRouteView&) const = default;
};

// The route's current waypoint from a moment on.
struct SequenceEvent {
  double timeSeconds = 0.0;
  ModuleRouteView route;
};

class Pilot {
 public:
  Pilot(simhost::Vessel& vessel, WaypointList route, const PilotSettings& settings);

  // The module's route after a step, as the pilot's display showed it.
  void Observe(const ModuleRouteView& view, double timeSeconds);
  // The loop has been flown its laps and the loop waypoint is current
  // again: time to press N.
  bool WantsNextWaypoint() const;
  void NextWaypointPressed(double timeSeconds);

  // Moves the vessel through one step that ends at timeSeconds.
  void Fly(double dtSeconds, double timeSeconds);
  // The pilot's own copy of the module's rule, applied after the step.
  void SequenceOwnCopy(double timeSeconds);
  // From now on the vessel is gone and is not touched again.
  void VesselDeleted() { vessel_ = nullptr; }

  const WaypointList& Route() const { return route_; }
  bool Started() const { return started_; }
  const std::vector<SequenceEvent>& OwnHistory() const { return ownHistory_; }
  // Jumps back taken at each loop waypoint, by index.
  const std::map<std::size_t, int>& Laps() const { return laps_; }
  const std::vector<double>& NextPresses() const { return nextPresses_; }
  // Lift-off, touchdown and coming to rest, with their times.
  const std::vector<std::pair<double, std::string>>& Milestones() const { return milestones_; }

 private:
  const Waypoint* Target() const;
  void GroundStep(const Waypoint* target, double dt);
  void AirStep(const Waypoint* target, double dt);
  void SteerTowards(const Waypoint& target, double dt);
  void ChangeSpeedTowards(double speed, double rate, double dt);
  void MoveAlongHeading(double dt);
  double Height() const;  // lowest touchdown point above the ground [m]
  double ClimbTowards(double altitudeMetres) const;  // vertical speed [m/s]
  void Touchdown();
  void SettleAtNearestBase();
  void RecordOwn(double timeSeconds);

  simhost::Vessel* vessel_;
  WaypointList route_;
  PilotSettings settings_;
  double standingAltitude_;
  bool onGround_;
  bool started_ = false;
  ModuleRouteView module_;
  // The pilot's copy of the route's progress.
  bool ownEmpty_;
  std::size_t ownIndex_ = 0;
  std::vector<SequenceEvent> ownHistory_;
  std::map<std::size_t, int> laps_;
  std::set<std::size_t> loopsLeft_;
  std::vector<double> nextPresses_;
  std::vector<std::pair<double, std::string>> milestones_;
  double now_ = 0.0;
};

}  // namespace simulator
