// The text pages: route file browser, waypoint table and the map's info block.
#include "mfd/tarvik_mfd.h"

void TarvikMFD::DrawFilePage(oapi::Sketchpad*) {}
void TarvikMFD::DrawListPage(oapi::Sketchpad*) {}
void TarvikMFD::DrawInfoBlock(oapi::Sketchpad*) {}
