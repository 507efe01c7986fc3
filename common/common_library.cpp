#include "common/common_library.h"

#include <string>
#include <vector>

#include "common/atl_library.h"
#include "common/dialog_class.h"
#include "common/image_lists.h"
#include "common/language.h"
#include "common/module_name.h"
#include "common/strings.h"

namespace {

struct LibraryState {
  HINSTANCE instance = nullptr;
  MenuIconHook menu_icon_hook = nullptr;
  std::string product_name;
  std::string product_code;
  std::string module_base_name;
  bool initialised = false;
  std::vector<void (*)()> releases;
};

LibraryState& State() {
  static LibraryState state;
  return state;
}

const char* TextOrNull(const LibraryState& state, const std::string& text) {
  return state.initialised ? text.c_str() : nullptr;
}

std::string ProgramPath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

int InitCommonLibrary(HINSTANCE instance, MenuIconHook hook, const char* product_name, const char* product_code) {
  LibraryState& state = State();
  state.instance = instance;
  state.menu_icon_hook = hook;
  state.product_name = product_name != nullptr ? product_name : "";
  state.product_code = product_code != nullptr ? product_code : "";
  state.module_base_name = ModuleBaseNameOf(ProgramPath());
  state.initialised = true;
  return RegisterDialogClass(instance);
}

bool LoadControlHostLibrary() {
  // The browser host is optional: without it help pages show as plain text.
  if (!LoadAtlLibrary()) return false;
  RegisterLibraryRelease(UnloadAtlLibrary);
  return true;
}

void ShutdownCommonLibrary() {
  LibraryState& state = State();
  DestroyImageLists();
  ReleaseStringTexts();
  ReleaseLanguage();
  std::vector<void (*)()> releases;
  releases.swap(state.releases);
  for (auto it = releases.rbegin(); it != releases.rend(); ++it) (*it)();
  state.menu_icon_hook = nullptr;
  state.product_name.clear();
  state.product_code.clear();
  state.module_base_name.clear();
  state.initialised = false;
}

void RegisterLibraryRelease(void (*release)()) {
  if (release == nullptr) return;
  for (auto registered : State().releases) {
    if (registered == release) return;
  }
  State().releases.push_back(release);
}

HINSTANCE LibraryInstance() { return State().instance != nullptr ? State().instance : GetModuleHandleA(nullptr); }

MenuIconHook LibraryMenuIconHook() { return State().menu_icon_hook; }
const char* LibraryProductName() { return TextOrNull(State(), State().product_name); }
const char* LibraryProductCode() { return TextOrNull(State(), State().product_code); }
const char* LibraryModuleBaseName() { return TextOrNull(State(), State().module_base_name); }
