#include "common/atl_library.h"

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();

HMODULE g_atl = nullptr;
AtlAxGetControlFn g_get_control = nullptr;
AtlAdviseFn g_advise = nullptr;

template <typename Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_atl, name)));
}

}  // namespace

bool LoadAtlLibrary() {
  if (g_atl) return true;
  g_atl = LoadLibraryA("atl.dll");
  if (!g_atl) return false;
  if (auto init = Lookup<AtlAxWinInitFn>("AtlAxWinInit")) init();
  g_get_control = Lookup<AtlAxGetControlFn>("AtlAxGetControl");
  g_advise = Lookup<AtlAdviseFn>("AtlAdvise");
  return true;
}

void UnloadAtlLibrary() {
  g_get_control = nullptr;
  g_advise = nullptr;
  // The library stays loaded for the whole run; this is the one place that
  // lets it go, after the function pointers into it are forgotten.
  if (g_atl) FreeLibrary(g_atl);
  g_atl = nullptr;
}

AtlAxGetControlFn AtlAxGetControlFunction() { return g_get_control; }
AtlAdviseFn AtlAdviseFunction() { return g_advise; }
