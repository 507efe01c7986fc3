// The system's ActiveX control host library, "atl.dll", loaded at run time:
// it provides the "AtlAxWin" window class that hosts the web browser control.
#pragma once

#include <windows.h>
#include <unknwn.h>

using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND window, IUnknown** control);
using AtlAdviseFn = HRESULT(WINAPI*)(IUnknown* source, IUnknown* sink, const IID& interface_id, DWORD* cookie);

// Loads the library once, registers its window class and looks up the two
// functions the host uses.  A missing library or function is no error: the
// functions below then answer null.  Returns true when the library is loaded.
bool LoadAtlLibrary();
// Unloads the library and forgets its functions; may be repeated.  The
// functions registered with RunBeforeAtlUnload run first (newest first), so
// that nothing hosted through the library outlives it.
void UnloadAtlLibrary();
// Registers a release to run before the library is freed; once per function.
void RunBeforeAtlUnload(void (*release)());

// True when the library is loaded and all three entry points were found.
bool AtlEntryPointsComplete();

AtlAxGetControlFn AtlAxGetControlFunction();
AtlAdviseFn AtlAdviseFunction();
