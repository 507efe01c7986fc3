// Start-up and shutdown of the dialog library, and the library-wide values
// kept between them.
#pragma once

#include <windows.h>

// Asked by the owner-drawn menus for the icon of an item: the item's state
// flags, its command id and its sub-menu word; answers an index into the
// small image list or a negative value for no icon.
using MenuIconHook = int (*)(unsigned state_flags, int command_id, unsigned submenu);

// Stores the values (replacing earlier copies), derives the module base name
// and registers the dialog window class.  1 when the class is registered.
int InitCommonLibrary(HINSTANCE instance, MenuIconHook hook, const char* product_name, const char* product_code);

// Brings up the ActiveX host library (common/atl_library.h) when that module
// is present, once, and has ShutdownCommonLibrary release it.  No window of
// the main window's needs it, so it waits for the first window that may host
// a browser control.  True when the library is loaded.
bool LoadControlHostLibrary();

// Releases everything the library holds; safe to call again.
void ShutdownCommonLibrary();

HINSTANCE LibraryInstance();
MenuIconHook LibraryMenuIconHook();
// Null until InitCommonLibrary; null again after shutdown.
const char* LibraryProductName();
const char* LibraryProductCode();
const char* LibraryModuleBaseName();

// Modules that load libraries or build state at run time register how to
// release it; ShutdownCommonLibrary runs each release once, newest first,
// and forgets them.
void RegisterLibraryRelease(void (*release)());
