// Thin helpers over the Windows registry.  Each call opens the key it needs,
// does one thing and closes the key again; the answer is 1 for done and 0 for
// not done.  No handle is kept between calls and no error text is produced:
// callers decide what a failed read or write means (usually: take a default).
//
// Each helper opens its key for what it does and no more: reads with query
// access only, so they work on keys the user may read but not write (a
// standard user below HKEY_LOCAL_MACHINE).
#pragma once

#include <windows.h>

// Creates root\sub_key (and any missing parents) or opens it when it exists,
// then closes it.  0 when sub_key is null or the system refuses.
int CreateRegKey(HKEY root, const char* sub_key);

// Stores text as REG_SZ, terminating zero included.  The key must exist: it is
// not created.  A null text deletes the value instead (see DeleteRegValue); a
// null value name writes the key's default value.
int WriteRegString(HKEY root, const char* sub_key, const char* value_name, const char* text);

// Reads a value of any type into buffer (buffer_size bytes).  A null sub_key
// means the program key; with no program key set the call fails at once.
// Fails when the key or value is missing or the value does not fit.  A text
// value always arrives terminated: one that fills the buffer without its zero
// is refused rather than handed out unterminated.
int ReadRegValue(HKEY root, const char* sub_key, const char* value_name, void* buffer, DWORD buffer_size);

// Deletes a value.  0 also when the value did not exist.
int DeleteRegValue(HKEY root, const char* sub_key, const char* value_name);

// With a value name: 1 when the key opens and holds that value.  With a null
// value name: 1 when the key itself opens.
int RegValueExists(HKEY root, const char* sub_key, const char* value_name);

// Names the parent's sub-key number `index` (system enumeration order) into
// name_buffer and opens it for reading.  Returns the opened key, which
// the caller closes, or nullptr past the end of the list or on failure.
HKEY OpenRegSubkeyAt(HKEY parent, DWORD index, char* name_buffer, DWORD name_buffer_size);

// Scans the open key's values for one whose name equals value_name ignoring
// case and copies its data as text into out (truncated, always terminated).
// Entries whose name or data exceed 256 bytes are skipped.  0 when none match
// or the key cannot be enumerated.
int FindRegValue(HKEY key, const char* value_name, char* out, DWORD out_size);

// The product's own key below a root, used by ReadRegValue when no sub-key is
// given.  Set once at start-up; a null text clears it.
void SetProgramKey(const char* sub_key);
// The current program key, or nullptr when none is set.
const char* ProgramKey();
