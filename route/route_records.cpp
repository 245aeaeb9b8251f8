#include "route/route_records.h"

double RunwayCentre(double end1, double end2) {
  if (end1 > end2) return end2 + (end1 - end2) * 0.5;
  if (end1 < end2) return end1 + (end2 - end1) * 0.5;
  return end1;
}
