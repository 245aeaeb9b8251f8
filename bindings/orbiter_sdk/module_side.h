// What the two halves of the module side share: the module's VESSEL object
// of a real vessel, and the opening of a display in a registered mode.
// InitLib and Date2Int are left undefined here: only the simulated host's
// library glue calls them, and the real SDK's glue library does their work.
#pragma once

#include "host/oapi.h"

namespace module_side {

// The module's VESSEL for a real vessel's handle; null for null. It lives
// until the vessel is deleted or the run ends.
VESSEL* VesselOf(OBJHANDLE handle);

// Sends "display opened" to the mode registered under modeContext; the
// display object the module made, or null.
MFD* OpenModeDisplay(void* modeContext, UINT displayId, int widthPx, int heightPx, OBJHANDLE vessel);

}  // namespace module_side
