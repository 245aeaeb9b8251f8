#include "sim/simulator/world_builder.h"

#include <algorithm>
#include <numbers>

namespace simulator {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;

sim::LatLon ToLatLon(const GeoPosition& p) { return {p.latitudeDeg * kRadPerDeg, p.longitudeDeg * kRadPerDeg}; }

}  // namespace

double StandingAltitude(const std::array<VECTOR3, 3>& touchdown) {
  return -std::min({touchdown[0].y, touchdown[1].y, touchdown[2].y});
}

VesselsByName BuildWorld(const Scenario& scenario) {
  sim::Host& host = sim::host();
  std::map<std::string, sim::Body*> bodies;
  std::map<std::string, sim::Base*> bases;
  std::map<std::string, sim::Transmitter*> transmitters;
  for (const BodySpec& spec : scenario.bodies) {
    sim::Body& body = host.AddBody(spec.name, spec.radiusMetres);
    bodies[spec.name] = &body;
    for (const BaseSpec& baseSpec : spec.bases) {
      std::vector<sim::LatLon> pads;
      for (const GeoPosition& pad : baseSpec.pads) pads.push_back(ToLatLon(pad));
      bases[baseSpec.name] = &host.AddBase(body, baseSpec.name, ToLatLon(baseSpec.position), std::move(pads));
    }
    for (const TransmitterSpec& t : spec.transmitters)
      transmitters[t.id] = &host.AddTransmitter(body, t.type, t.id, ToLatLon(t.position));
  }

  VesselsByName vessels;
  for (const VesselScenario& v : scenario.vessels) {
    sim::VesselSpec spec;
    spec.name = v.name;
    spec.body = bodies.at(v.body);
    spec.position = ToLatLon(v.position);
    spec.headingRad = v.headingDeg * kRadPerDeg;
    spec.touchdown = v.touchdown;
    // A vessel placed without an altitude stands on the ground: the
    // height of its lowest touchdown point is exactly 0.
    spec.altitudeMetres = v.altitudeMetres.value_or(StandingAltitude(v.touchdown));
    spec.airspeed = v.airspeed;
    spec.landedBase = v.landedAt.empty() ? nullptr : bases.at(v.landedAt);
    for (const std::string& id : v.receivers) spec.receivers.push_back(id.empty() ? nullptr : transmitters.at(id));
    vessels[v.name] = &host.AddVessel(spec);
  }
  return vessels;
}

}  // namespace simulator
