// The host's display classes and the records of mode registration.
//
// Lifecycle of a display object: the host sends message 4 to the mode's
// message procedure when a display selects the mode, and owns the object
// it gets back; it calls the virtuals below on its simulation thread, one
// at a time, and deletes the object when the display leaves the mode.
#pragma once

#include <cstdio>

#include "host/host_types.h"
#include "host/sketchpad.h"

inline namespace host_interface {

class VESSEL;

// One line of a display's button menu.
struct MFDBUTTONMENU {
  const char* line1;  // first menu line, or null
  const char* line2;  // second menu line, or null
  char selchar;       // key hint, 0 for none
};

// Description of a display mode, handed to oapiRegisterMFDMode.
struct MFDMODESPECEX {
  const char* name;
  DWORD key;  // selection key (scan code)
  void* context;
  OAPI_MSGTYPE (*msgproc)(UINT msg, UINT mfd, WPARAM wparam, LPARAM lparam);
};

// Record behind wparam of the "display opened" message.
struct MFDMODEOPENSPEC {
  DWORD w;  // [pixels]
  DWORD h;  // [pixels]
};

constexpr UINT OAPI_MSG_MFD_OPENEDEX = 4;

// Bits of a button event, as the SDK has them (checked against it in the
// binding, where both are seen).
constexpr int PANEL_MOUSE_LBDOWN = 0x01;  // press
constexpr int PANEL_MOUSE_LBUP = 0x04;    // release
constexpr int PANEL_MOUSE_LBPRESSED = 0x10;  // held

// The defaults of the virtuals are defined here, once for both hosts; the
// destructor (the host forgets the display), InvalidateButtons and
// GetDefaultFont are each host's.
class MFD {
 public:
  MFD(DWORD w, DWORD h, VESSEL* vessel) : W(w), H(h), pV(vessel) {}
  virtual ~MFD();
  virtual void Update(void* /*hDC*/) {}
  virtual bool ConsumeKeyQueued(DWORD /*key*/) { return false; }
  virtual bool ConsumeKeyImmediate(char* /*kstate*/) { return false; }
  virtual bool ConsumeButtonPress(int /*bt*/, int /*event*/) { return false; }
  virtual char* LabelOfButton(int /*bt*/) { return nullptr; }
  virtual int MenuOfButtons(const MFDBUTTONMENU** /*menu*/) const { return 0; }
  virtual bool WriteStatus(std::FILE* /*scn*/) const { return true; }
  virtual bool ReadStatus(std::FILE* /*scn*/) { return true; }
  virtual void StoreStatus() const {}
  virtual void RecallStatus() {}

  // Asks the host to query the button labels again.
  void InvalidateButtons();

 protected:
  DWORD W;  // [pixels]
  DWORD H;  // [pixels]
  VESSEL* pV;
};

class MFD2 : public MFD {
 public:
  MFD2(DWORD w, DWORD h, VESSEL* vessel) : MFD(w, h, vessel) {}
  ~MFD2() override = default;
  virtual bool UpdateSketchpad(oapi::Sketchpad* /*skp*/) { return false; }

  // A font of the display's own; the host owns it, never release it.
  oapi::Font* GetDefaultFont(DWORD fontidx) const;
};

}  // namespace host_interface
