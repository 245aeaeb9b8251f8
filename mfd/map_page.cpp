// The heading-up map page.
#include "mfd/tarvik_mfd.h"

MapPoint TarvikMFD::ProjectToMap(double, double, double) { return {}; }
double TarvikMFD::RelativeBearing(double, double) { return 0.0; }
void TarvikMFD::DrawRouteLayer(oapi::Sketchpad*) {}
void TarvikMFD::DrawOwnShipLayer(oapi::Sketchpad*) {}
void TarvikMFD::DrawBaseLayer(oapi::Sketchpad*) {}
void TarvikMFD::DrawNavaidLayer(oapi::Sketchpad*) {}
void TarvikMFD::DrawRunwayLayer(oapi::Sketchpad*) {}
