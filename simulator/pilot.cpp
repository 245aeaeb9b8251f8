#include "simulator/pilot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "nav/waypoint_sequencing.h"
#include "geodesy/angles.h"
#include "geodesy/great_circle.h"
#include "simulator/world_builder.h"

namespace simulator {

namespace {

// Flying between waypoints never goes lower than this above the ground.
constexpr double kLowestCruiseHeightMetres = 100.0;
// How fast altitude errors are taken out [1/s].
constexpr double kAltitudeGain = 0.1;
constexpr double kGlidePathGain = 0.2;
constexpr double kClimbOutSpeedFactor = 1.3;   // of the rotate speed, until the take-off is passed
constexpr double kTaxiSpeed = 10.0;            // [m/s] on the ground when a waypoint gives none
constexpr double kBaseReachMetres = 5000.0;    // a vessel at rest this close stands at the base

geodesy::LatLon PositionOf(const Waypoint& w) { return {w.latitude, w.longitude}; }
geodesy::LatLon PositionOf(const simhost::LatLon& at) { return {at.latitudeRad, at.longitudeRad}; }

}  // namespace

Pilot::Pilot(simhost::Vessel& vessel, WaypointList route, const PilotSettings& settings)
    : vessel_(&vessel),
      route_(std::move(route)),
      settings_(settings),
      standingAltitude_(StandingAltitude(vessel.touchdown)),
      onGround_(vessel.altitudeMetres <= standingAltitude_),
      ownEmpty_(route_.empty()) {}

double Pilot::Height() const {
  const auto& td = vessel_->touchdown;
  return vessel_->altitudeMetres + std::min({td[0].y, td[1].y, td[2].y});
}

void Pilot::Observe(const ModuleRouteView& view, double timeSeconds) {
  // The pilot waits on the ground until its display shows the route it
  // read: then the module and the pilot start from the same waypoint.
  if (!started_ && !route_.empty() && view.waypointCount == route_.size() && view.current) {
    started_ = true;
    ownEmpty_ = false;
    ownIndex_ = *view.current;
    RecordOwn(timeSeconds);
  }
  // A jump away from a loop waypoint other than to the next one is a lap.
  if (module_.current && view.current && module_.waypointCount == route_.size() &&
      view.waypointCount == route_.size()) {
    const std::size_t from = *module_.current;
    const std::size_t to = *view.current;
    if (from < route_.size() && route_[from].task == Loop && to != from && to != from + 1) ++laps_[from];
  }
  module_ = view;
}

bool Pilot::WantsNextWaypoint() const {
  if (vessel_ == nullptr || !started_ || !module_.current || module_.waypointCount != route_.size()) return false;
  const std::size_t at = *module_.current;
  if (at >= route_.size() || route_[at].task != Loop || at + 1 >= route_.size()) return false;
  if (loopsLeft_.count(at) != 0) return false;
  auto laps = laps_.find(at);
  return (laps == laps_.end() ? 0 : laps->second) >= settings_.loopLaps;
}

void Pilot::NextWaypointPressed(double timeSeconds) {
  if (module_.current) loopsLeft_.insert(*module_.current);
  nextPresses_.push_back(timeSeconds);
  // The key moves the pilot's copy the same way.
  if (!ownEmpty_ && ownIndex_ + 1 < route_.size()) {
    ++ownIndex_;
    RecordOwn(timeSeconds);
  }
}

const Waypoint* Pilot::Target() const {
  if (module_.waypointCount == route_.size() && module_.current && *module_.current < route_.size())
    return &route_[*module_.current];
  if (!ownEmpty_ && ownIndex_ < route_.size()) return &route_[ownIndex_];
  return nullptr;
}

void Pilot::Fly(double dt, double timeSeconds) {
  if (vessel_ == nullptr) return;
  now_ = timeSeconds;
  const Waypoint* target = started_ ? Target() : nullptr;
  if (onGround_) GroundStep(target, dt);
  else AirStep(target, dt);
}

void Pilot::GroundStep(const Waypoint* target, double dt) {
  if (target != nullptr && target->task == Takeoff) {
    // Take-off roll along the heading the vessel stands on.
    vessel_->landedBase = nullptr;
    ChangeSpeedTowards(settings_.rotateSpeed, settings_.acceleration, dt);
    MoveAlongHeading(dt);
    if (vessel_->airspeed >= settings_.rotateSpeed) {
      onGround_ = false;
      vessel_->altitudeMetres += settings_.climbRate * dt;
      milestones_.emplace_back(now_, "lifted off");
    }
    return;
  }
  if (target != nullptr && (target->task == Turn || target->task == Loop)) {
    // A vessel on the ground drives to a turn point.
    SteerTowards(*target, dt);
    ChangeSpeedTowards(target->speed > 0.0 ? target->speed : kTaxiSpeed, settings_.acceleration, dt);
    MoveAlongHeading(dt);
    return;
  }
  // Landed, at the end of the route, or waiting: roll to a full stop.
  const bool wasMoving = vessel_->airspeed > 0.0;
  ChangeSpeedTowards(0.0, settings_.braking, dt);
  MoveAlongHeading(dt);
  if (wasMoving && vessel_->airspeed == 0.0) {
    SettleAtNearestBase();
    milestones_.emplace_back(now_, "at rest");
  }
}

void Pilot::AirStep(const Waypoint* target, double dt) {
  double verticalSpeed = 0.0;
  const double radius = vessel_->body->radiusMetres;
  if (target == nullptr) {
    // The route has ended in the air: straight and level.
  } else if (target->task == Takeoff) {
    // Climb out; a take-off waypoint with a radius is passed only inside it.
    const double toWaypoint = geodesy::DistanceMetres(PositionOf(vessel_->position), PositionOf(*target), radius);
    if (target->acceptRadius > 0.0 && toWaypoint > target->acceptRadius) SteerTowards(*target, dt);
    ChangeSpeedTowards(settings_.rotateSpeed * kClimbOutSpeedFactor, settings_.acceleration, dt);
    verticalSpeed = ClimbTowards(standingAltitude_ + kLowestCruiseHeightMetres);
  } else if (target->task == Land) {
    SteerTowards(*target, dt);
    ChangeSpeedTowards(target->speed > 0.0 ? target->speed : settings_.approachSpeed, settings_.acceleration, dt);
    // Follow a glide path to an aim point short of the landing waypoint.
    const double toWaypoint = geodesy::DistanceMetres(PositionOf(vessel_->position), PositionOf(*target), radius);
    const double slope = std::tan(settings_.glideSlopeDeg * geodesy::kRadiansPerDegree);
    const double pathHeight = std::max(0.0, toWaypoint - settings_.touchdownBeforeMetres) * slope;
    verticalSpeed = kGlidePathGain * (pathHeight - Height()) - vessel_->airspeed * slope;
    verticalSpeed = std::clamp(verticalSpeed, -settings_.descentRate, 0.0);
  } else {
    SteerTowards(*target, dt);
    if (target->speed > 0.0) ChangeSpeedTowards(target->speed, settings_.acceleration, dt);
    verticalSpeed = ClimbTowards(std::max(target->altitude, standingAltitude_ + kLowestCruiseHeightMetres));
  }
  MoveAlongHeading(dt);
  vessel_->altitudeMetres += verticalSpeed * dt;
  if (Height() <= 0.0) Touchdown();
}

double Pilot::ClimbTowards(double altitudeMetres) const {
  return std::clamp(kAltitudeGain * (altitudeMetres - vessel_->altitudeMetres), -settings_.descentRate,
                    settings_.climbRate);
}

void Pilot::Touchdown() {
  onGround_ = true;
  milestones_.emplace_back(now_, "touched down");
  // Standing on the gear: the lowest touchdown point exactly on the ground.
  vessel_->altitudeMetres = standingAltitude_;
}

void Pilot::SettleAtNearestBase() {
  const double radius = vessel_->body->radiusMetres;
  simhost::Base* nearest = nullptr;
  double nearestMetres = kBaseReachMetres;
  for (simhost::Base* base : vessel_->body->bases) {
    const double d = geodesy::DistanceMetres(PositionOf(vessel_->position), PositionOf(base->position), radius);
    if (d <= nearestMetres) {
      nearest = base;
      nearestMetres = d;
    }
  }
  if (nearest != nullptr) vessel_->landedBase = nearest;
}

void Pilot::SteerTowards(const Waypoint& target, double dt) {
  const double course = geodesy::CourseRad(PositionOf(vessel_->position), PositionOf(target));
  const double maxTurn = settings_.turnRateDegPerSecond * geodesy::kRadiansPerDegree * dt;
  const double turn = std::clamp(geodesy::WrapToPi(course - vessel_->headingRad), -maxTurn, maxTurn);
  vessel_->headingRad = std::fmod(vessel_->headingRad + turn + 2.0 * geodesy::kPi, 2.0 * geodesy::kPi);
}

void Pilot::ChangeSpeedTowards(double speed, double rate, double dt) {
  const double change = std::clamp(speed - vessel_->airspeed, -rate * dt, rate * dt);
  // Clamped so that a vessel at rest has an airspeed of exactly 0.
  vessel_->airspeed = std::max(0.0, vessel_->airspeed + change);
  if (std::abs(speed - vessel_->airspeed) < 1e-9) vessel_->airspeed = speed;
}

void Pilot::MoveAlongHeading(double dt) {
  if (vessel_->airspeed == 0.0) return;
  const geodesy::LatLon moved = geodesy::Travel(PositionOf(vessel_->position), vessel_->headingRad,
                                                vessel_->airspeed * dt, vessel_->body->radiusMetres);
  vessel_->position = {moved.latitudeRad, moved.longitudeRad};
}

void Pilot::SequenceOwnCopy(double timeSeconds) {
  if (vessel_ == nullptr || !started_ || ownEmpty_) return;
  const std::size_t count = route_.size();
  const double height = Height();
  const double airspeed = vessel_->airspeed;
  const std::size_t before = ownIndex_;
  const Waypoint& reached = route_[ownIndex_];
  const double radius = reached.acceptRadius;
  const double distance = geodesy::DistanceMetres(PositionOf(vessel_->position), PositionOf(reached), vessel_->body->radiusMetres);
  const bool hasNext = ownIndex_ + 1 < count;
  if (distance <= radius) {
    switch (reached.task) {
      case Turn:
        if (!hasNext) {
          ownEmpty_ = true;
          RecordOwn(timeSeconds);
          return;
        }
        ++ownIndex_;
        break;
      case Loop:
        if (reached.loopTarget >= 0 && static_cast<std::size_t>(reached.loopTarget) < count)
          ownIndex_ = static_cast<std::size_t>(reached.loopTarget);
        break;
      case Takeoff:
        if (height > kTakeoffHeightMetres && hasNext) ++ownIndex_;
        break;
      case Land:
        if (height < kLandingHeightMetres && airspeed < kStandstillAirspeed && hasNext) ++ownIndex_;
        break;
      default:
        break;
    }
  }
  if (radius == 0.0) {
    const bool hasNextNow = ownIndex_ + 1 < count;
    const std::int32_t task = route_[ownIndex_].task;
    if (task == Takeoff && height > kTakeoffHeightMetres && hasNextNow) ++ownIndex_;
    if (task == Land && height < kTouchdownHeightMetres && airspeed < kStandstillAirspeed && hasNextNow) ++ownIndex_;
  }
  if (ownIndex_ != before) RecordOwn(timeSeconds);
}

void Pilot::RecordOwn(double timeSeconds) {
  SequenceEvent e;
  e.timeSeconds = timeSeconds;
  if (!ownEmpty_) e.route = {route_.size(), ownIndex_};
  ownHistory_.push_back(e);
}

}  // namespace simulator
