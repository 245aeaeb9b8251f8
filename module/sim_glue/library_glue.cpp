// The library's entry function, as the host's platform calls it when the
// module file is loaded (attach) and unloaded (detach). Here the loader runs
// it as an ELF constructor and destructor. The module's static data needs
// no constructor, so it exists before attach; its destructors run after
// detach.
#include <dlfcn.h>

#include "host/oapi.h"
#include "platform/platform.h"
#include "module/entry_points.h"

namespace {

HINSTANCE instance = nullptr;
const char kAnchor = 0;  // any object of the module, to find its base

// The module's instance handle: its load base address. dladdr leaves the
// record zeroed when it cannot tell, which gives no handle.
HINSTANCE OwnInstance() {
  Dl_info info{};
  static_cast<void>(dladdr(&kAnchor, &info));
  return info.dli_fbase;
}

// The module defines ExitModule, so detach calls it directly; the host
// calls opcDLLExit itself when it ends the module.
__attribute__((constructor)) void AttachLibrary() {
  instance = OwnInstance();
  InitLib(instance);
}

__attribute__((destructor)) void DetachLibrary() { ExitModule(instance); }

}  // namespace
