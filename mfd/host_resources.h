// Host resources that the display holds for one step of its work, given
// back however the step ends: a drawing call or an allocation that throws
// must not leave a pen, a font or a folder search behind in the host.
#pragma once

#include "host/oapi.h"
#include "platform/platform.h"

// Owns one handle and gives it back with release when it goes.
template <typename Handle, void (*release)(Handle)>
class HostResource {
 public:
  explicit HostResource(Handle handle) : handle_(handle) {}
  ~HostResource() { release(handle_); }
  HostResource(const HostResource&) = delete;
  HostResource& operator=(const HostResource&) = delete;
  Handle Get() const { return handle_; }

 private:
  Handle handle_;
};

// The host answers null, or an invalid search, when it has nothing to give.
inline void ReleaseFontIfAny(oapi::Font* font) {
  if (font != nullptr) oapiReleaseFont(font);
}
inline void ReleasePenIfAny(oapi::Pen* pen) {
  if (pen != nullptr) oapiReleasePen(pen);
}
inline void CloseSearchIfAny(HANDLE search) {
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

using ScopedFont = HostResource<oapi::Font*, ReleaseFontIfAny>;
using ScopedPen = HostResource<oapi::Pen*, ReleasePenIfAny>;
using ScopedFolderSearch = HostResource<HANDLE, CloseSearchIfAny>;
