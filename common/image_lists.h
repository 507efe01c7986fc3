// The library's three image lists: the program's own small icons followed by
// the system icons of the file types met so far, the state icons, and the
// large icons.  List views take the small and state lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Each list is a zero-terminated list of icon resource ids, or null for a
// list that is not wanted.  0 when the lists exist already or a creation
// fails; 1 when made.
int CreateImageLists(const int* small_ids, const int* state_ids, const int* large_ids);
void DestroyImageLists();

HIMAGELIST SmallImageList();
HIMAGELIST StateImageList();
HIMAGELIST LargeImageList();

// Index in the small list of the shell's icon for a path, judged by its name
// alone (the file need not exist); -1 when the shell has none.  Each system
// icon is added to the small list once, and the shell is asked once per
// extension (in any case) while the lists live.
int FileIconIndex(const char* path);
// The same for the generic folder icon.
int FolderIconIndex();

// Replaces the shell lookup; tests use it to hand out chosen system indexes.
// The function fills *icon and *system_index and returns nonzero on success.
using ShellIconLookup = int (*)(const char* path, DWORD attributes, HICON* icon, int* system_index);
void SetShellIconLookup(ShellIconLookup lookup);
