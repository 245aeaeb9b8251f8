// Plain records and handles that pass between the module and the host.
// Names and shapes follow the host's own interface so that the module's
// code reads the same against the real host.
//
// Every name of host/ lives in the inline namespace host_interface: the code
// uses the plain names, while the linker sees names of their own. The
// binding to the real host's SDK (host/orbiter_sdk/) defines these over the
// SDK's functions of the same plain names, in one library, without a clash.
#pragma once

#include <cstdint>

inline namespace host_interface {

using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
// The message procedure returns a display object through this type, so it
// must be pointer-sized on a 64-bit platform.
using OAPI_MSGTYPE = std::intptr_t;

using OBJHANDLE = void*;  // body, base or vessel
using NAVHANDLE = void*;  // radio transmitter
using HINSTANCE = void*;  // loaded module (its base address)

struct VECTOR3 {
  double x;
  double y;  // vertical axis of a vessel's own frame
  double z;
};

// The parts of a vessel's status that the module reads.
struct VESSELSTATUS {
  OBJHANDLE rbody = nullptr;  // reference body
  OBJHANDLE base = nullptr;   // landing base, null when not landed at one
  int status = 0;             // 0 flying, 1 landed
};

constexpr DWORD TRANSMITTER_NONE = 0;
constexpr DWORD TRANSMITTER_VOR = 1;
constexpr DWORD TRANSMITTER_VTOL = 2;
constexpr DWORD TRANSMITTER_ILS = 3;
constexpr DWORD TRANSMITTER_IDS = 4;
constexpr DWORD TRANSMITTER_XPDR = 5;

constexpr int NAVDATA_ID_LENGTH = 32;

struct NAVDATA {
  DWORD type = TRANSMITTER_NONE;
  char id[NAVDATA_ID_LENGTH] = {};  // identifier text, NUL-terminated
  struct {
    OBJHANDLE hPlanet = nullptr;
    double lng = 0.0;  // [rad]
    double lat = 0.0;  // [rad]
  } vor;
};

}  // namespace host_interface
