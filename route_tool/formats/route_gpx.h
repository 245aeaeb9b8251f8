// A route as a GPX 1.1 document and back. The GPX keeps everything the
// route file holds in elements of our own namespace, so that a route
// exported and imported again is the same route to the module; chart
// plotters see a plain route with OpenCPN's arrival radius.
#pragma once

#include <optional>
#include <string>

#include "geodesy/angles.h"
#include "route_tool/core/route_file_writer.h"
#include "route_tool/core/route_source.h"

namespace route_tool {

inline constexpr char kGpx11Namespace[] = "http://www.topografix.com/GPX/1/1";
inline constexpr char kGpx10Namespace[] = "http://www.topografix.com/GPX/1/0";
inline constexpr char kTarvikNamespace[] = "urn:tarvik-mfd:route:1";
inline constexpr char kOpenCpnNamespace[] = "http://www.opencpn.org";
// OpenCPN keeps a waypoint's arrival radius in nautical miles.
inline constexpr double kMetresPerNauticalMile = 1852.0;

struct PlaceDeg {
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
};

// The same meridian within [-180, 180), the only longitudes GPX and
// GeoJSON take. Exact: a remainder and at most one step of 360 round
// nothing.
double NormalizedLongitudeDeg(double longitudeDeg);

// Where the module puts a runway's centre, from its ends as the file
// writes them; the longitude normalised. Export and import compute it
// alike, so that an exported runway waypoint is found again.
PlaceDeg RunwayCentreDeg(const RoutePoint& end1, const RoutePoint& end2);

// Where a waypoint of a route read without error lies, from the route's
// points normalised: a point, or a runway's centre (RunwayCentreDeg).
PlaceDeg WaypointPlaceDeg(const RouteSource& source, std::size_t waypoint);

// Why the route's places cannot go into GPX or GeoJSON (a latitude beyond
// +-90 degrees, a coordinate that is not a finite number), or an empty
// why; the point is the first one that cannot.
struct PlaceProblemFound {
  std::size_t point = 0;  // a number of RouteSource::points
  std::string why;
};
PlaceProblemFound PlaceProblem(const RouteSource& source);

// The GPX document of a route read without error; routeName names its
// <rte>.
std::string GpxText(const RouteSource& source, const std::string& routeName);

struct GpxImport {
  bool ok = false;
  int status = 0;       // an exit status when not ok
  std::string message;  // why not, naming the file and the place
  bool needsRadius = false;  // a usage error: a point without our extension and no radius given
  RouteFileDraft draft;
};

// The route file of a GPX file's bytes. Points that carry our extension
// keep every field; others become TURN waypoints with radiusMetres.
GpxImport DraftFromGpx(const std::string& bytes, const std::string& path, std::optional<double> radiusMetres);

}  // namespace route_tool
