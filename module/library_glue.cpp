// The library's entry function, as the host's platform calls it when the
// module file is loaded (attach) and unloaded (detach). Here the loader runs
// it as an ELF constructor and destructor. The module's static data needs
// no constructor, so it exists before attach; its destructors run after
// detach.
#include <dlfcn.h>

#include "host/oapi.h"
#include "host/platform.h"

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

using ExitRoutine = void (*)(HINSTANCE);

HINSTANCE instance = nullptr;
ExitRoutine exitRoutine = nullptr;
const char kAnchor = 0;  // any object of the module, to find its base

// The module's instance handle: its load base address.
HINSTANCE OwnInstance() {
  Dl_info info{};
  if (dladdr(&kAnchor, &info) == 0) return nullptr;
  return info.dli_fbase;
}

BOOL LibraryEntry(HINSTANCE hinstDLL, DWORD reason, void*) {
  if (reason == kProcessAttach) {
    instance = hinstDLL;
    InitLib(hinstDLL);
    FARPROC found = GetProcAddress(hinstDLL, "ExitModule");
    if (found == nullptr) found = GetProcAddress(hinstDLL, "opcDLLExit");
    exitRoutine = reinterpret_cast<ExitRoutine>(found);
  } else if (reason == kProcessDetach) {
    if (exitRoutine != nullptr) exitRoutine(hinstDLL);
  }
  return 1;
}

__attribute__((constructor)) void AttachLibrary() { LibraryEntry(OwnInstance(), kProcessAttach, nullptr); }

__attribute__((destructor)) void DetachLibrary() { LibraryEntry(instance, kProcessDetach, nullptr); }

}  // namespace
