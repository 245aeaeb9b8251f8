// The host's free functions that the module calls. Angles in [rad], lengths
// in [m]. The module reaches the host only through the headers in host/.
#pragma once

#include "host/host_types.h"
#include "host/mfd.h"
#include "host/module.h"
#include "host/sketchpad.h"
#include "host/vessel.h"

inline namespace host_interface {

// Vessels and bodies
VESSEL* oapiGetFocusInterface();
double oapiGetSize(OBJHANDLE hObj);  // mean radius [m]
bool oapiGetFocusHeading(double* heading);  // [rad], 0 north, pi/2 east
void oapiGetObjectName(OBJHANDLE hObj, char* name, int n);

// Surface bases
DWORD oapiGetBaseCount(OBJHANDLE hPlanet);
OBJHANDLE oapiGetBaseByIndex(OBJHANDLE hPlanet, int index);
void oapiGetBaseEquPos(OBJHANDLE hBase, double* lng, double* lat, double* rad = nullptr);
DWORD oapiGetBasePadCount(OBJHANDLE hBase);
bool oapiGetBasePadEquPos(OBJHANDLE hBase, DWORD pad, double* lng, double* lat, double* rad = nullptr);

// Radio
void oapiGetNavData(NAVHANDLE hNav, NAVDATA* data);

// Drawing resources
oapi::Pen* oapiCreatePen(int style, int width, DWORD col);  // style 1 solid, 2 dashed
void oapiReleasePen(oapi::Pen* pen);
oapi::Font* oapiCreateFont(int height, bool prop, const char* face, oapi::FontStyle style = oapi::FONT_NORMAL);
void oapiReleaseFont(oapi::Font* font);

// Messages
char* oapiDebugString();  // the debug line's buffer, shown to the user
void oapiWriteLog(const char* line);  // one line of the host's log file

// Registration
int oapiRegisterMFDMode(MFDMODESPECEX& modeSpec);
bool oapiUnregisterMFDMode(int mode);
void oapiRegisterModule(oapi::Module* module);

// Library glue
void InitLib(HINSTANCE hModule);
int Date2Int(const char* date);  // "Mmm dd yyyy" to a sortable integer

}  // namespace host_interface

// Marks the module's entry points: exported by name, C linkage.
#if defined(_WIN32)
#define DLLCLBK extern "C" __declspec(dllexport)
#else
#define DLLCLBK extern "C" __attribute__((visibility("default")))
#endif
