// Registration of the mode and the module object, and their release. Each
// exit path acts at most once, whichever order the host calls them in.
#include "module/entry_points.h"

#include <new>

#include "mfd/tarvik_mfd.h"
#include "module/module_object.h"

namespace {

int modeId = 0;
bool modeRegistered = false;
Mymod* moduleObject = nullptr;

}  // namespace

DLLCLBK void InitModule(HINSTANCE hDLL) {
  MFDMODESPECEX modeSpec{kModeName, kModeKey, nullptr, ModeMessageProc};
  modeId = oapiRegisterMFDMode(modeSpec);
  modeRegistered = true;
  moduleObject = new (std::nothrow) Mymod(hDLL);
  if (moduleObject != nullptr) oapiRegisterModule(moduleObject);
}

DLLCLBK void ExitModule(HINSTANCE) {
  delete moduleObject;
  moduleObject = nullptr;
}

DLLCLBK bool opcDLLExit(HINSTANCE) {
  if (!modeRegistered) return false;
  modeRegistered = false;
  return oapiUnregisterMFDMode(modeId);
}

DLLCLBK const char* ModuleDate() { return "Aug 12 2012"; }

OAPI_MSGTYPE ModeMessageProc(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam) {
  if (msg != OAPI_MSG_MFD_OPENEDEX) return 0;
  const auto* open = reinterpret_cast<const MFDMODEOPENSPEC*>(wparam);
  try {
    MFD* display = new TarvikMFD(open->w, open->h, reinterpret_cast<VESSEL*>(lparam), mfd);
    return reinterpret_cast<OAPI_MSGTYPE>(display);
  } catch (...) {
    return 0;  // out of memory: the display stays without the mode
  }
}
