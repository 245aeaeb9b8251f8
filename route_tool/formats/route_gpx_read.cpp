// A route file from a GPX document: our own export exactly, another
// tool's route, track or waypoints as TURN waypoints.
#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "route_tool/formats/gpx_text.h"
#include "text/file_place.h"
#include "route_tool/commands/route_commands.h"
#include "route_tool/formats/route_gpx.h"

namespace route_tool {
namespace {

using Nodes = std::vector<pugi::xml_node>;

std::string_view LocalName(const char* name) {
  const std::string_view whole(name);
  const std::size_t colon = whole.find(':');
  return colon == std::string_view::npos ? whole : whole.substr(colon + 1);
}

// pugixml knows nothing of namespaces: the prefix's declaration is looked
// up on the element and its ancestors. Each element's declarations are
// read once, since a lookup by name scans all of an element's attributes
// and the root's are looked at for every element below it.
class Namespaces {
 public:
  std::string Of(pugi::xml_node element) {
    const std::string_view name(element.name());
    const std::size_t colon = name.find(':');
    const std::string declaration =
        colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node node = element; node.type() == pugi::node_element; node = node.parent()) {
      const Declarations& declared = DeclaredOn(node);
      if (const auto found = declared.find(declaration); found != declared.end()) return std::string(found->second);
    }
    return {};
  }

  bool Is(pugi::xml_node node, std::string_view ns, std::string_view local) {
    return node.type() == pugi::node_element && LocalName(node.name()) == local && Of(node) == ns;
  }

 private:
  // Attribute name ("xmlns", "xmlns:p") -> namespace; the first of a name
  // counts, as pugixml's lookup by name finds it. Views into the document.
  using Declarations = std::map<std::string_view, std::string_view, std::less<>>;

  const Declarations& DeclaredOn(pugi::xml_node node) {
    const auto [entry, added] = declarations_.try_emplace(node.internal_object());
    if (added)
      for (const pugi::xml_attribute attribute : node.attributes())
        if (std::string_view(attribute.name()).starts_with("xmlns"))
          entry->second.try_emplace(attribute.name(), attribute.value());
    return entry->second;
  }

  std::unordered_map<const void*, Declarations> declarations_;
};

Nodes Children(Namespaces& namespaces, pugi::xml_node parent, std::string_view ns, std::string_view local) {
  Nodes found;
  for (pugi::xml_node child : parent.children())
    if (namespaces.Is(child, ns, local)) found.push_back(child);
  return found;
}

// Our element among a node's children or in its <extensions> (GPX 1.0 has
// none and allows foreign elements anywhere).
pugi::xml_node OurElement(Namespaces& namespaces, pugi::xml_node node, std::string_view gpxNamespace,
                          std::string_view local) {
  for (pugi::xml_node child : node.children()) {
    if (namespaces.Is(child, kTarvikNamespace, local)) return child;
    if (namespaces.Is(child, gpxNamespace, "extensions"))
      for (pugi::xml_node inner : child.children())
        if (namespaces.Is(inner, kTarvikNamespace, local)) return inner;
  }
  return {};
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool ParseNumber(std::string_view text, double& value) {
  text = Trimmed(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

bool ParseInteger(std::string_view text, std::int32_t& value) {
  text = Trimmed(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

struct Route {
  bool present = false;
  std::vector<RoutePoint> points;  // [deg]
  std::vector<RunwayEnds> runways;
};

class Importer {
 public:
  Importer(const std::string& bytes, const std::string& path, std::optional<double> radiusMetres)
      : bytes_(bytes), path_(path), radiusMetres_(radiusMetres) {}

  GpxImport Run() {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(bytes_.data(), bytes_.size());
    if (!parsed) {
      // pugixml reads past NUL bytes to no good end; name the first.
      if (const std::size_t nul = bytes_.find('\0'); nul != std::string::npos)
        return Failed(Where(nul) + "not an XML file: a binary file (a NUL byte here)");
      return Failed(Where(static_cast<std::size_t>(parsed.offset)) + "not an XML file: " + parsed.description());
    }

    const pugi::xml_node gpx = gpx_ = document.document_element();
    gpxNamespace_ = namespaces_.Of(gpx);
    if (LocalName(gpx.name()) != "gpx" || (gpxNamespace_ != kGpx11Namespace && gpxNamespace_ != kGpx10Namespace))
      return Failed(Where(gpx) + "not a GPX file: the root element is <" + gpx.name() + "> in namespace \"" +
                    gpxNamespace_ + "\", not <gpx> in the GPX 1.1 or 1.0 namespace");

    pugi::xml_node owner = gpx;
    const Nodes points = ChosenPoints(gpx, owner);
    if (points.empty()) return Failed(Where(gpx) + "the GPX file has no route, track or waypoint points");
    if (!ReadRoute(owner) && !failure_.empty()) return Failed(failure_);
    for (const pugi::xml_node point : points)
      if (!AddWaypoint(point, points.size())) return radiusMissing_ ? result_ : Failed(failure_);

    result_.ok = true;
    result_.draft.headerComments.push_back("Imported from " + path_ + " by tarvik-route import.");
    return result_;
  }

 private:
  // The first route with points, else the first track with points, else
  // the file's waypoints.
  Nodes ChosenPoints(pugi::xml_node gpx, pugi::xml_node& owner) {
    for (const pugi::xml_node rte : Children(namespaces_, gpx, gpxNamespace_, "rte")) {
      Nodes points = Children(namespaces_, rte, gpxNamespace_, "rtept");
      if (!points.empty()) {
        owner = rte;
        return points;
      }
    }
    for (const pugi::xml_node trk : Children(namespaces_, gpx, gpxNamespace_, "trk")) {
      Nodes points;
      for (const pugi::xml_node segment : Children(namespaces_, trk, gpxNamespace_, "trkseg"))
        for (const pugi::xml_node point : Children(namespaces_, segment, gpxNamespace_, "trkpt"))
          points.push_back(point);
      if (!points.empty()) return points;
    }
    return Children(namespaces_, gpx, gpxNamespace_, "wpt");
  }

  // Our points and runways, in the route's extensions or the file's.
  bool ReadRoute(pugi::xml_node owner) {
    pugi::xml_node route = OurElement(namespaces_, owner, gpxNamespace_, "route");
    if (!route) route = OurElement(namespaces_, gpx_, gpxNamespace_, "route");
    if (!route) return false;
    for (const pugi::xml_node point : Children(namespaces_, route, kTarvikNamespace, "point")) {
      RoutePoint read;
      if (!Coordinates(point, read.latitude, read.longitude)) return false;
      route_.points.push_back(read);
    }
    for (const pugi::xml_node runway : Children(namespaces_, route, kTarvikNamespace, "runway")) {
      RunwayEnds ends;
      if (!PointNumber(runway, "end1Point", ends.end1Point) || !PointNumber(runway, "end2Point", ends.end2Point))
        return false;
      route_.runways.push_back(ends);
    }
    route_.present = true;
    for (const RoutePoint& point : route_.points) result_.draft.points.push_back({point.longitude, point.latitude, {}});
    for (const RunwayEnds& ends : route_.runways) result_.draft.runways.push_back({ends.end1Point, ends.end2Point, {}});
    return true;
  }

  bool AddWaypoint(pugi::xml_node point, std::size_t waypointCount) {
    PlaceDeg place;
    if (!Coordinates(point, place.latitudeDeg, place.longitudeDeg)) return false;
    RouteFileDraft::WaypointLine line;
    if (const Nodes names = Children(namespaces_, point, gpxNamespace_, "name"); !names.empty())
      line.description = names.front().text().get();

    const pugi::xml_node ours = OurElement(namespaces_, point, gpxNamespace_, "waypoint");
    if (ours) {
      if (!OurFields(ours, waypointCount, line)) return false;
      // The exact bytes, where <name> could only hold a readable form.
      if (const pugi::xml_attribute exact = ours.attribute("description");
          exact && !BytesOfExactXmlText(exact.value(), line.description))
        return Fail(ours, "description has a '%' without two hex digits after it");
      if (route_.present) {
        if (!KnownReference(ours, line)) return false;
        if (PlaceOf(line) == std::pair{place.latitudeDeg, place.longitudeDeg}) {
          result_.draft.waypoints.push_back(line);
          return true;
        }
        // Moved in another tool: the new place wins.
      }
    } else if (radiusMetres_) {
      line.acceptRadiusMetres = *radiusMetres_;
    } else {
      radiusMissing_ = true;
      result_.status = route_tool::kExitUsage;
      result_.needsRadius = true;
      result_.message = Where(point) + "this point has no acceptance radius of ours; give one with --radius METRES";
      return false;
    }
    line.onRunway = false;
    line.index = static_cast<std::int32_t>(result_.draft.points.size());
    result_.draft.points.push_back({place.longitudeDeg, place.latitudeDeg, {}});
    result_.draft.waypoints.push_back(line);
    return true;
  }

  bool OurFields(pugi::xml_node ours, std::size_t waypointCount, RouteFileDraft::WaypointLine& line) {
    const char* task = ours.attribute("task").value();
    if (!TaskFromKeyword(task, line.task))
      return Fail(ours, std::string("task \"") + task + "\" is not TURN, LOOP, TAKEOFF or LAND");
    if (!Number(ours, "acceptRadiusMetres", line.acceptRadiusMetres) ||
        !Number(ours, "altitudeMetres", line.altitudeMetres) ||
        !Number(ours, "speedMetresPerSecond", line.speedMetresPerSecond))
      return false;
    if (line.task != Loop) return true;
    const char* target = ours.attribute("loopTarget").value();
    if (!ParseInteger(target, line.loopTarget) || line.loopTarget < 0 ||
        static_cast<std::size_t>(line.loopTarget) >= waypointCount)
      return Fail(ours, std::string("loopTarget \"") + target + "\" is not a waypoint of the route, from 0 to " +
                            std::to_string(waypointCount - 1));
    return true;
  }

  bool KnownReference(pugi::xml_node ours, RouteFileDraft::WaypointLine& line) {
    const std::string_view reference = ours.attribute("reference").value();
    if (reference != "RUNWAY" && reference != "POINT")
      return Fail(ours, "reference \"" + std::string(reference) + "\" is not RUNWAY or POINT");
    line.onRunway = reference == "RUNWAY";
    const std::size_t count = line.onRunway ? route_.runways.size() : route_.points.size();
    const char* index = ours.attribute("index").value();
    if (!ParseInteger(index, line.index) || line.index < 0 || static_cast<std::size_t>(line.index) >= count)
      return Fail(ours, std::string("index \"") + index + "\" names no " + (line.onRunway ? "runway" : "point") +
                            " of the route");
    return true;
  }

  // Where the module puts a waypoint, in degrees as the export writes it.
  std::pair<double, double> PlaceOf(const RouteFileDraft::WaypointLine& line) const {
    if (!line.onRunway) {
      const RoutePoint& point = route_.points[static_cast<std::size_t>(line.index)];
      return {point.latitude, NormalizedLongitudeDeg(point.longitude)};
    }
    const RunwayEnds& ends = route_.runways[static_cast<std::size_t>(line.index)];
    const PlaceDeg centre = RunwayCentreDeg(route_.points[static_cast<std::size_t>(ends.end1Point)],
                                            route_.points[static_cast<std::size_t>(ends.end2Point)]);
    return {centre.latitudeDeg, centre.longitudeDeg};
  }

  bool Coordinates(pugi::xml_node node, double& latitudeDeg, double& longitudeDeg) {
    return Coordinate(node, "lat", 90.0, latitudeDeg) && Coordinate(node, "lon", 180.0, longitudeDeg);
  }

  bool Coordinate(pugi::xml_node node, const char* attribute, double limit, double& value) {
    const pugi::xml_attribute found = node.attribute(attribute);
    if (!found) return Fail(node, "<" + std::string(node.name()) + "> has no " + attribute + " attribute");
    if (!ParseNumber(found.value(), value) || std::fabs(value) > limit) {
      const std::string bound = ShortestNumber(limit);
      return Fail(node, std::string(attribute) + " \"" + found.value() + "\" is not a number from -" + bound +
                            " to " + bound);
    }
    return true;
  }

  bool Number(pugi::xml_node node, const char* attribute, double& value) {
    const char* text = node.attribute(attribute).value();
    if (!ParseNumber(text, value)) return Fail(node, std::string(attribute) + " \"" + text + "\" is not a number");
    return true;
  }

  bool PointNumber(pugi::xml_node node, const char* attribute, std::int32_t& value) {
    const char* text = node.attribute(attribute).value();
    if (!ParseInteger(text, value) || value < 0 || static_cast<std::size_t>(value) >= route_.points.size())
      return Fail(node, std::string(attribute) + " \"" + text + "\" names no point of the route");
    return true;
  }

  bool Fail(pugi::xml_node node, const std::string& message) {
    failure_ = Where(node) + message;
    return false;
  }

  GpxImport Failed(const std::string& message) {
    result_.ok = false;
    result_.status = route_tool::kExitFailed;
    result_.message = message;
    return result_;
  }

  // "FILE:LINE:COLUMN: " of a byte of the file.
  std::string Where(std::size_t offset) const { return PlaceText(path_, PlaceOfOffset(bytes_, offset)) + ": "; }

  // An element's place is its '<'; pugixml gives the place of its name.
  std::string Where(pugi::xml_node node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    return offset > 0 ? Where(static_cast<std::size_t>(offset - 1)) : path_ + ": ";
  }

  const std::string& bytes_;
  const std::string& path_;
  const std::optional<double> radiusMetres_;
  pugi::xml_node gpx_;
  Namespaces namespaces_;
  std::string gpxNamespace_;
  Route route_;
  std::string failure_;
  bool radiusMissing_ = false;
  GpxImport result_;
};

}  // namespace

GpxImport DraftFromGpx(const std::string& bytes, const std::string& path, std::optional<double> radiusMetres) {
  return Importer(bytes, path, radiusMetres).Run();
}

}  // namespace route_tool
