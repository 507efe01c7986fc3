#include "common/atl_library.h"

#include <vector>

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();

HMODULE g_atl = nullptr;
AtlAxWinInitFn g_win_init = nullptr;
AtlAxGetControlFn g_get_control = nullptr;
AtlAdviseFn g_advise = nullptr;

std::vector<void (*)()>& BeforeUnload() {
  static std::vector<void (*)()> releases;
  return releases;
}

template <typename Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_atl, name)));
}

}  // namespace

bool LoadAtlLibrary() {
  if (g_atl) return true;
  g_atl = LoadLibraryA("atl.dll");
  if (!g_atl) return false;
  g_win_init = Lookup<AtlAxWinInitFn>("AtlAxWinInit");
  if (g_win_init) g_win_init();
  g_get_control = Lookup<AtlAxGetControlFn>("AtlAxGetControl");
  g_advise = Lookup<AtlAdviseFn>("AtlAdvise");
  return true;
}

void UnloadAtlLibrary() {
  // Windows and controls hosted through the library run its code: they go
  // first, while it is still loaded.
  std::vector<void (*)()> releases = BeforeUnload();
  for (auto it = releases.rbegin(); it != releases.rend(); ++it) (*it)();
  g_win_init = nullptr;
  g_get_control = nullptr;
  g_advise = nullptr;
  // The library stays loaded for the whole run; this is the one place that
  // lets it go, after the function pointers into it are forgotten.
  if (g_atl) FreeLibrary(g_atl);
  g_atl = nullptr;
}

void RunBeforeAtlUnload(void (*release)()) {
  if (release == nullptr) return;
  for (auto registered : BeforeUnload()) {
    if (registered == release) return;
  }
  BeforeUnload().push_back(release);
}

bool AtlEntryPointsComplete() { return g_atl && g_win_init && g_get_control && g_advise; }

AtlAxGetControlFn AtlAxGetControlFunction() { return g_get_control; }
AtlAdviseFn AtlAdviseFunction() { return g_advise; }
