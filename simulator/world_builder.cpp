#include "simulator/world_builder.h"

#include <algorithm>

#include "geodesy/angles.h"

namespace simulator {

namespace {

simhost::LatLon ToLatLon(const GeoPosition& p) {
  return {p.latitudeDeg * geodesy::kRadiansPerDegree, p.longitudeDeg * geodesy::kRadiansPerDegree};
}

}  // namespace

double StandingAltitude(const std::array<VECTOR3, 3>& touchdown) {
  return -std::min({touchdown[0].y, touchdown[1].y, touchdown[2].y});
}

VesselsByName BuildWorld(const Scenario& scenario) {
  simhost::Host& host = simhost::host();
  std::map<std::string, simhost::Body*> bodies;
  std::map<std::string, simhost::Base*> bases;
  std::map<std::string, simhost::Transmitter*> transmitters;
  for (const BodySpec& bodySpec : scenario.bodies) {
    simhost::Body& body = host.AddBody(bodySpec.name, bodySpec.radiusMetres);
    bodies[bodySpec.name] = &body;
    for (const BaseSpec& baseSpec : bodySpec.bases) {
      std::vector<simhost::LatLon> pads;
      for (const GeoPosition& pad : baseSpec.pads) pads.push_back(ToLatLon(pad));
      bases[baseSpec.name] = &host.AddBase(body, baseSpec.name, ToLatLon(baseSpec.position), std::move(pads));
    }
    for (const TransmitterSpec& t : bodySpec.transmitters)
      transmitters[t.id] = &host.AddTransmitter(body, t.type, t.id, ToLatLon(t.position));
  }

  VesselsByName vessels;
  for (const VesselScenario& v : scenario.vessels) {
    simhost::VesselSpec vesselSpec;
    vesselSpec.name = v.name;
    vesselSpec.body = bodies.at(v.body);
    vesselSpec.position = ToLatLon(v.position);
    vesselSpec.headingRad = v.headingDeg * geodesy::kRadiansPerDegree;
    vesselSpec.touchdown = v.touchdown;
    // A vessel placed without an altitude stands on the ground: the
    // height of its lowest touchdown point is exactly 0.
    vesselSpec.altitudeMetres = v.altitudeMetres.value_or(StandingAltitude(v.touchdown));
    vesselSpec.airspeed = v.airspeed;
    vesselSpec.landedBase = v.landedAt.empty() ? nullptr : bases.at(v.landedAt);
    for (const std::string& id : v.receivers) vesselSpec.receivers.push_back(id.empty() ? nullptr : transmitters.at(id));
    vessels[v.name] = &host.AddVessel(vesselSpec);
  }
  return vessels;
}

}  // namespace simulator
