// Reading shared machine-wide texts with read access only, so that a
// standard user, who may not open those keys for writing, still sees them.
#pragma once

#include <windows.h>

// Reads a REG_SZ or REG_EXPAND_SZ value below HKEY_LOCAL_MACHINE into out
// (always terminated).  A null sub_key means the program key.  0 when the key
// or value is missing, has another type or does not fit.
int ReadMachineText(const char* sub_key, const char* value_name, char* out, DWORD out_size);
