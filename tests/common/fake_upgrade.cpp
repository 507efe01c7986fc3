// A stand-in for the maker's upgrade program, for the upgrade launcher's
// tests.  It appends one line to "upgrade.log" in its own folder: its command
// line, "|", and the size of its own file, so that a test can tell a freshly
// swapped-in copy (made longer) from the old one.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
  char path[MAX_PATH] = "";
  if (!GetModuleFileNameA(nullptr, path, sizeof path)) return 1;
  WIN32_FILE_ATTRIBUTE_DATA attributes = {};
  const DWORD size = GetFileAttributesExA(path, GetFileExInfoStandard, &attributes) ? attributes.nFileSizeLow : 0;
  char* slash = std::strrchr(path, '\\');
  if (!slash) return 1;
  std::snprintf(slash + 1, sizeof path - size_t(slash + 1 - path), "%s", "upgrade.log");
  FILE* log = std::fopen(path, "ab");
  if (!log) return 1;
  std::fprintf(log, "%s|%lu\n", GetCommandLineA(), static_cast<unsigned long>(size));
  std::fclose(log);
  return 0;
}
