// The version of the host interface the module is built against. Built
// for the real host, the SDK's own glue library exports this entry point
// instead (with the build date), so it stays in a file of its own.
#include "module/entry_points.h"

DLLCLBK int GetModuleVersion() {
  static const int version = Date2Int("Aug 30 2010");
  return version;
}
