// The library's own dialog window class, "velmarondlg", that dialog templates
// of the program and of the dialog-resource library name.
#pragma once

#include <windows.h>

constexpr const char kDialogClassName[] = "velmarondlg";
constexpr const char kDialogLibraryName[] = "VelmaronDialogs.dll";

// Registers "velmarondlg" for the instance unless it exists already.
int RegisterDialogClass(HINSTANCE instance);
LRESULT CALLBACK VelmaronDialogWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
