// One row of the file list: a file, a folder, a drive or a ".." entry, with
// the texts the list shows for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum DirEntryKind : signed char {
  kDirEntryFile = 0,
  kDirEntryFolder = 1,
  kDirEntryDrive = 2,        // full path holds "(X:)"
  kDirEntryParent = 8,       // ".." as the file system reports it
  kDirEntryDriveRootUp = 9,  // ".." added at a drive root; leads to the drives
};

struct DirEntry {
  std::string name;
  signed char kind = kDirEntryFile;
  std::string date_text;  // "MM-DD-YYYY hh:mm:ss" (month first)
  std::string size_text;  // decimal bytes; empty for folders and drives
  std::string full_path;
};

// Entries in the order they were listed.  The pointers stay valid while the
// list holds them, so the list view can keep them as item data.
using DirEntryList = std::vector<std::unique_ptr<DirEntry>>;

// Drives and both kinds of ".." sort before everything else.
bool IsSpecialDirEntryKind(int kind);
bool IsFolderKind(int kind);

// The whole size in decimal; files past 2 GiB and 4 GiB keep their real size.
std::string FormatFileSizeText(std::uint64_t size);
// Value of a size text; an empty or malformed text counts as 0.
std::uint64_t ParseFileSizeText(const std::string& text);

struct FileDateParts {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
std::string FormatFileDateText(const FileDateParts& date);

// The drive letter of a drive entry's "(X:)" text, or 0 when it has none.
char DriveLetterOfEntry(const DirEntry& entry);
