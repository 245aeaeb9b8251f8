// The module's entry points, exported by name for the host, and the mode's
// message procedure. The host calls them on its simulation thread.
#pragma once

#include "host/oapi.h"

DLLCLBK void InitModule(HINSTANCE hDLL);
DLLCLBK void ExitModule(HINSTANCE hDLL);
DLLCLBK bool opcDLLExit(HINSTANCE hDLL);
DLLCLBK const char* ModuleDate();
DLLCLBK int GetModuleVersion();

// Message 4 (a display selects the mode) creates the display object; every
// other message is answered with 0.
OAPI_MSGTYPE ModeMessageProc(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam);

// The mode's registration: its name and selection key (scan code of W).
inline constexpr const char* kModeName = "TarvikMFD";
inline constexpr DWORD kModeKey = 0x11;
