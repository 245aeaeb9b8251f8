// The heading-up map: every symbol is placed by its surface distance and
// initial course from the focus vessel, which sits at (centerX, centerY)
// with its heading pointing up. Each layer draws over the earlier ones.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "host/oapi.h"
#include "host/vessel.h"
#include "mfd/host_resources.h"
#include "mfd/tarvik_mfd.h"
#include "nav/surface_geometry.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Truncates toward zero into the pixel range; not a number gives 0
// (positions are checked for it before).
std::int32_t ClampedPixel(double value) {
  if (std::isnan(value)) return 0;
  const double limit = kMapPixelLimit;
  return static_cast<std::int32_t>(std::clamp(value, -limit, limit));
}

// A pixel plus an offset, added in 64 bits and clamped like a projection.
std::int32_t ClampedPixel(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -kMapPixelLimit, kMapPixelLimit));
}

std::int32_t Plus(std::int32_t pixel, std::int64_t offset) { return ClampedPixel(pixel + offset); }

// A projection puts both coordinates off the map together.
bool OnMap(const MapPoint& p) { return p.x != kOffMapPixel; }

void DrawText(oapi::Sketchpad* skp, int x, int y, const std::string& text) {
  skp->Text(x, y, text.c_str(), static_cast<int>(text.size()));
}

// A label font lives for exactly one text.
void DrawLabel(oapi::Sketchpad* skp, int heightPx, bool proportional, const char* face, int x, int y,
               const std::string& text, const DWORD* colour) {
  const ScopedFont font(oapiCreateFont(heightPx, proportional, face, oapi::FONT_NORMAL));
  skp->SetFont(font.Get());
  if (colour != nullptr) skp->SetTextColor(*colour);
  DrawText(skp, x, y, text);
}

void DrawBox(oapi::Sketchpad* skp, const MapPoint& p, std::int32_t half) {
  skp->Rectangle(Plus(p.x, -half), Plus(p.y, -half), Plus(p.x, half), Plus(p.y, half));
}

void DrawCircle(oapi::Sketchpad* skp, const MapPoint& p, std::int32_t radius) {
  skp->Ellipse(Plus(p.x, -radius), Plus(p.y, -radius), Plus(p.x, radius), Plus(p.y, radius));
}

}  // namespace

MapPoint TarvikMFD::ProjectToMap(double latitude, double longitude, double sizeMetres) {
  // The distance gives a number even for a position that is none.
  if (!std::isfinite(latitude) || !std::isfinite(longitude)) return {kOffMapPixel, kOffMapPixel, 0};
  const double distanceMetres = DistanceFromFocus(latitude, longitude);
  const double bearingRad = RelativeBearing(latitude, longitude);
  const double scale = State().scale;
  const double x = std::sin(bearingRad) * distanceMetres * scale + centerX;
  const double y = centerY - std::cos(bearingRad) * distanceMetres * scale;
  const double size = scale * sizeMetres;
  if (std::isnan(x) || std::isnan(y)) return {kOffMapPixel, kOffMapPixel, 0};
  return {ClampedPixel(x), ClampedPixel(y), ClampedPixel(size)};
}

double TarvikMFD::RelativeBearing(double latitude, double longitude) {
  double vesselLongitude = 0.0;
  double vesselLatitude = 0.0;
  double vesselRadius = 0.0;
  const VESSEL* focus = oapiGetFocusInterface();
  if (focus == nullptr) return std::nan("");  // no vessel, no bearing: off the map
  focus->GetEquPos(vesselLongitude, vesselLatitude, vesselRadius);

  const double deltaLongitude = longitude - vesselLongitude;
  const double y = std::sin(deltaLongitude) * std::cos(latitude);
  const double x = std::cos(vesselLatitude) * std::sin(latitude) -
                   std::sin(vesselLatitude) * std::cos(latitude) * std::cos(deltaLongitude);
  double course = -1.0;  // stays for the vessel's own position
  if (y > 0) {
    if (x > 0) course = std::atan(y / x);
    else if (x < 0) course = kPi - std::atan(-y / x);
    else course = kPi / 2;
  } else if (y < 0) {
    if (x > 0) course = -std::atan(-y / x);
    else if (x < 0) course = std::atan(y / x) - kPi;
    else course = 4.71238898038469;
  } else {
    if (x > 0) course = 0.0;
    else if (x < 0) course = kPi;
  }
  if (course < 0) course += 2 * kPi;

  double headingRad = 0.0;
  oapiGetFocusHeading(&headingRad);
  double bearing = course - headingRad;
  if (bearing < -kPi) bearing += 2 * kPi;
  return bearing;
}

void TarvikMFD::DrawRouteLayer(oapi::Sketchpad* skp) {
  skp->SetPen(dimPen);
  oapi::Pen* selected = dimPen;
  for (std::size_t i = 0; i < route.waypoints.size(); ++i) {
    const Waypoint& w = route.waypoints[i];
    const MapPoint p = ProjectToMap(w.latitude, w.longitude, w.acceptRadius);
    if (!OnMap(p)) continue;
    const bool current = i == route.currentIndex;
    if (current) {
      skp->SetPen(selected = brightPen);
      DrawBox(skp, p, p.size);
    } else if (selected != dimPen) {
      // Only the current waypoint's circle is bright.
      skp->SetPen(selected = dimPen);
    }
    DrawCircle(skp, p, p.size);
    if (i > 0) {
      skp->SetPen(selected = dimPen);
      const Waypoint& previous = route.waypoints[i - 1];
      const MapPoint q = ProjectToMap(previous.latitude, previous.longitude, 0);
      if (OnMap(q)) skp->Line(p.x, p.y, q.x, q.y);
    }
    const std::string label = w.name.empty() ? std::to_string(i + 1) : w.name;
    DrawLabel(skp, 20, true, fontFace, ClampedPixel(p.x - 4.4), ClampedPixel(p.y - 10.0), label, &brightColor);
  }
}

void TarvikMFD::DrawOwnShipLayer(oapi::Sketchpad* skp) {
  skp->SetPen(brightPen);
  skp->MoveTo(centerX, centerY - 10);
  skp->LineTo(centerX + 10, centerY + 10);
  skp->LineTo(centerX - 10, centerY + 10);
  skp->LineTo(centerX, centerY - 10);

  if (route.currentIndex < route.waypoints.size()) {
    skp->SetPen(dimPen);
    const Waypoint& w = route.waypoints[route.currentIndex];
    const MapPoint p = ProjectToMap(w.latitude, w.longitude, w.acceptRadius);
    if (OnMap(p)) skp->Line(centerX, centerY, p.x, p.y);
  }

  const ScopedPen crosshairPen(oapiCreatePen(2, 1, dimColor));
  skp->SetPen(crosshairPen.Get());
  skp->Line(centerX, 0, centerX, displayHeight);
  skp->Line(0, centerY, displayWidth, centerY);
}

void TarvikMFD::DrawBaseLayer(oapi::Sketchpad* skp) {
  const VESSEL* focus = oapiGetFocusInterface();
  if (focus == nullptr) return;  // no vessel, no body to show
  VESSELSTATUS status;
  focus->GetStatus(status);
  const OBJHANDLE body = status.rbody;
  const double bodyRadiusMetres = oapiGetSize(body);
  const double scale = State().scale;

  skp->SetPen(dimPen);
  // Every point of the body lies within the antipode's projected distance.
  const double outlinePx = scale * bodyRadiusMetres * kPi;
  if (!std::isnan(outlinePx))
    skp->Ellipse(ClampedPixel(centerX - outlinePx), ClampedPixel(centerY - outlinePx),
                 ClampedPixel(centerX + outlinePx), ClampedPixel(centerY + outlinePx));

  for (int k = 0; static_cast<DWORD>(k) < oapiGetBaseCount(body); ++k) {
    const OBJHANDLE base = oapiGetBaseByIndex(body, k);
    double longitude = std::nan("");
    double latitude = std::nan("");
    oapiGetBaseEquPos(base, &longitude, &latitude);
    const MapPoint p = ProjectToMap(latitude, longitude, 0);

    if (OnMap(p)) {
      skp->SetPen(dimPen);
      DrawBox(skp, p, 5);
      if (status.base == base) {
        skp->SetPen(brightPen);
        skp->SetTextColor(brightColor);
        for (std::int32_t j = 1; j <= 4; ++j) DrawBox(skp, p, j);
        if (route.waypoints.empty()) {
          skp->Line(centerX, centerY, p.x, p.y);
          skp->SetFont(GetDefaultFont(0));
          char name[255];
          oapiGetObjectName(base, name, 255);
          char line[320];
          std::snprintf(line, sizeof line, "BASE: %s", name);
          DrawText(skp, 10, static_cast<int>(displayHeight / 20.0 * 2), line);
          std::snprintf(line, sizeof line, "DIST: %.0f km", DistanceFromFocus(latitude, longitude) / 1000);
          DrawText(skp, 10, static_cast<int>(displayHeight / 20.0 * 3), line);
        }
      } else {
        skp->SetTextColor(dimColor);
      }

      skp->SetPen(dimPen);
      char name[255];
      oapiGetObjectName(base, name, 255);
      DrawLabel(skp, 12, true, fontFace, Plus(p.x, 10), ClampedPixel(p.y - 6.0), name, nullptr);
    }

    for (DWORD j = 0; j < oapiGetBasePadCount(base); ++j) {
      double padLongitude = std::nan("");
      double padLatitude = std::nan("");
      oapiGetBasePadEquPos(base, j, &padLongitude, &padLatitude);
      const MapPoint q = ProjectToMap(padLatitude, padLongitude, 30.0);
      if (!OnMap(q)) continue;
      DrawCircle(skp, q, q.size);
      DrawCircle(skp, q, static_cast<std::int32_t>(q.size * 0.75));
      const std::int32_t numberPx = ClampedPixel(scale * 40.0);
      if (numberPx > 1)
        DrawLabel(skp, numberPx, false, fontFace, ClampedPixel(q.x - numberPx * 0.22),
                  ClampedPixel(q.y - numberPx * 0.5), std::to_string(j + 1), &brightColor);
    }
  }
}

void TarvikMFD::DrawNavaidLayer(oapi::Sketchpad* skp) {
  skp->SetPen(brightPen);
  skp->SetTextColor(brightColor);
  VESSEL* vessel = oapiGetFocusInterface();
  if (vessel == nullptr) return;
  for (DWORD i = 0; i < vessel->GetNavCount(); ++i) {
    const NAVHANDLE transmitter = vessel->GetNavSource(i);
    if (transmitter == nullptr) continue;  // receiver not tuned
    NAVDATA data;
    oapiGetNavData(transmitter, &data);
    if (data.type != TRANSMITTER_VOR) continue;
    const MapPoint p = ProjectToMap(data.vor.lat, data.vor.lng, 0);
    if (!OnMap(p)) continue;
    skp->Line(Plus(p.x, -3), p.y, Plus(p.x, 3), p.y);
    skp->Line(p.x, Plus(p.y, -3), p.x, Plus(p.y, 3));
    DrawLabel(skp, 12, true, fontFace, Plus(p.x, 3), p.y, std::string("VOR ") + data.id, nullptr);
  }
}

void TarvikMFD::DrawRunwayLayer(oapi::Sketchpad* skp) {
  skp->SetPen(brightPen);
  for (const Runway& runway : route.runways) {
    const MapPoint end1 = ProjectToMap(runway.end1Latitude, runway.end1Longitude, 0);
    const MapPoint end2 = ProjectToMap(runway.end2Latitude, runway.end2Longitude, 0);
    if (OnMap(end1) && OnMap(end2)) skp->Line(end1.x, end1.y, end2.x, end2.y);
  }
}
