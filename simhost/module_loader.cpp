#include "simhost/module_loader.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "module/module_strings.h"
#include "simhost/sim_host.h"

namespace simhost {

namespace {

std::vector<const LoadedModule*>& ModuleList() {
  static std::vector<const LoadedModule*> modules;
  return modules;
}

template <typename Function>
Function EntryPoint(void* handle, const char* name) {
  return reinterpret_cast<Function>(dlsym(handle, name));
}

// The section's bytes, found through the section headers of a 64-bit ELF
// file; empty when the file has no such section.
std::vector<char> ReadSection(const std::string& path, const char* sectionName) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto fits = [&](std::uint64_t offset, std::uint64_t size) {
    return offset <= file.size() && size <= file.size() - offset;
  };
  Elf64_Ehdr header;
  if (!fits(0, sizeof header)) return {};
  std::memcpy(&header, file.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return {};
  if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum) return {};
  if (!fits(header.e_shoff, std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr))) return {};

  auto sectionHeader = [&](std::size_t index) {
    Elf64_Shdr section;
    std::memcpy(&section, file.data() + header.e_shoff + index * sizeof section, sizeof section);
    return section;
  };
  const Elf64_Shdr names = sectionHeader(header.e_shstrndx);
  if (!fits(names.sh_offset, names.sh_size)) return {};
  const std::size_t wantedLength = std::strlen(sectionName);
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr section = sectionHeader(i);
    if (section.sh_name + wantedLength >= names.sh_size) continue;
    const char* name = file.data() + names.sh_offset + section.sh_name;
    if (std::strncmp(name, sectionName, wantedLength + 1) != 0) continue;
    if (section.sh_type == SHT_NOBITS || !fits(section.sh_offset, section.sh_size)) return {};
    const char* begin = file.data() + section.sh_offset;
    return std::vector<char>(begin, begin + section.sh_size);
  }
  return {};
}

}  // namespace

const std::vector<const LoadedModule*>& LoadedModules() { return ModuleList(); }

std::map<int, std::string> ReadModuleStrings(const std::string& path) {
  const std::vector<char> bytes = ReadSection(path, kModuleStringsSection);
  std::map<int, std::string> strings;
  for (std::size_t at = 0; at + sizeof(ModuleStringRecord) <= bytes.size(); at += sizeof(ModuleStringRecord)) {
    ModuleStringRecord record;
    std::memcpy(&record, bytes.data() + at, sizeof record);
    strings[static_cast<int>(record.id)] = std::string(record.text, strnlen(record.text, sizeof record.text));
  }
  return strings;
}

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::string& path, std::string& error) {
  std::unique_ptr<LoadedModule> module(new LoadedModule);
  module->path_ = path;
  module->handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module->handle_ == nullptr) {
    const char* reason = dlerror();
    error = "cannot load module " + path + ": " + (reason != nullptr ? reason : "unknown reason");
    return nullptr;
  }
  auto initModule = EntryPoint<void (*)(HINSTANCE)>(module->handle_, "InitModule");
  if (initModule == nullptr) {
    error = "module " + path + " has no entry point InitModule";
    return nullptr;  // the destructor unloads it
  }
  module->opcDLLExit_ = EntryPoint<bool (*)(HINSTANCE)>(module->handle_, "opcDLLExit");
  module->moduleDate_ = EntryPoint<const char* (*)()>(module->handle_, "ModuleDate");
  module->moduleVersion_ = EntryPoint<int (*)()>(module->handle_, "GetModuleVersion");
  // The instance handle is the load base address, as the attach step sees it.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(initModule), &info) != 0) module->instance_ = info.dli_fbase;
  module->strings_ = ReadModuleStrings(path);
  ModuleList().push_back(module.get());
  initModule(module->instance_);
  return module;
}

LoadedModule::~LoadedModule() { Unload(); }

void LoadedModule::Unload() {
  if (handle_ == nullptr) return;
  std::erase(ModuleList(), this);
  if (opcDLLExit_ != nullptr) opcDLLExit_(instance_);
  dlclose(handle_);
  handle_ = nullptr;
  opcDLLExit_ = nullptr;
  moduleDate_ = nullptr;
  moduleVersion_ = nullptr;
}

const char* LoadedModule::Date() const { return moduleDate_ != nullptr ? moduleDate_() : ""; }

int LoadedModule::Version() const { return moduleVersion_ != nullptr ? moduleVersion_() : 0; }

DisplaySlot::DisplaySlot(UINT displayId, DWORD widthPx, DWORD heightPx)
    : id_(displayId), width_(widthPx), height_(heightPx) {}

DisplaySlot::~DisplaySlot() { LeaveMode(); }

bool DisplaySlot::SelectMode(DWORD key, VESSEL* vessel) {
  LeaveMode();
  const ModeRegistration* mode = host().ModeByKey(key);
  if (mode == nullptr || mode->msgproc == nullptr) return false;
  MFDMODEOPENSPEC open{width_, height_};
  const OAPI_MSGTYPE result = mode->msgproc(OAPI_MSG_MFD_OPENEDEX, id_, reinterpret_cast<WPARAM>(&open),
                                            reinterpret_cast<LPARAM>(vessel));
  auto* opened = reinterpret_cast<MFD*>(result);
  if (opened == nullptr) return false;
  display_ = dynamic_cast<MFD2*>(opened);
  if (display_ == nullptr) {  // an older kind of display: this host draws only on sketchpads
    delete opened;
    return false;
  }
  return true;
}

void DisplaySlot::LeaveMode() {
  delete display_;
  display_ = nullptr;
}

bool DisplaySlot::Key(DWORD key) { return display_ != nullptr && display_->ConsumeKeyQueued(key); }

bool DisplaySlot::Button(int button, int event) {
  return display_ != nullptr && display_->ConsumeButtonPress(button, event);
}

const char* DisplaySlot::Label(int button) const {
  return display_ != nullptr ? display_->LabelOfButton(button) : nullptr;
}

int DisplaySlot::Menu(const MFDBUTTONMENU** menu) const {
  return display_ != nullptr ? display_->MenuOfButtons(menu) : 0;
}

bool DisplaySlot::Redraw(oapi::Sketchpad& surface) {
  return display_ != nullptr && display_->UpdateSketchpad(&surface);
}

}  // namespace simhost
