// Names of the files a rip writes: the output base path made from the folder,
// the artist and the title, the numbered names that keep two tracks of one job
// apart, the "~" names beside an output, and the intermediate WAV names in
// "temp".
//
// Names are ANSI text: under a double-byte code page a character may be two
// bytes whose second is "\" or "|", so every function here steps through
// names by character, as the code page's lead bytes tell.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cd/cddb_disc_info.h"

constexpr int kRipPathSize = 260;  // 259 characters and the NUL

// Appends at most `count` bytes of `text` at `path`'s end, each character a
// file name cannot hold (" * / : < > ? \ | and the control characters 1 to 31)
// made a blank, clipped by whole characters to the room left in a buffer of
// `size` bytes.  Always NUL-terminates.  A lead byte without a trail byte
// (cut off by `count`, or followed by none a code page allows) becomes a blank
// or is dropped at the end.
void AppendFileNamePart(char* path, int size, const char* text, int count, LeadBytePredicate is_lead);

// Output folder (with one trailing backslash), artist, " - ", title.
void BuildOutputBasePath(const char* folder, const char* artist, const char* title, char path[kRipPathSize],
                         LeadBytePredicate is_lead);

// `base` with "(n)" when n > 0, then `extension` (".wav", ".ogg" ...).  The
// counter and the extension always come whole: the file name before them is
// shortened by whole characters as far as kRipPathSize - 1 requires (never
// into the folder, so a folder that leaves no room gives a longer path, which
// cannot be created).
std::string OutputFilePath(const std::string& base, int n, const std::string& extension, LeadBytePredicate is_lead);

// `path` with "(n)" put before the extension of its file name ("a\b.wav", 2
// gives "a\b(2).wav"; no extension: appended), shortened as OutputFilePath.
std::string NumberedPath(const std::string& path, int n, LeadBytePredicate is_lead);

// The name beside `path` in its folder under which the program writes a file
// for it, or keeps the earlier file of that name for a while: "~" before the
// file name, "(n)" before the extension when n > 0, the extension kept.
std::string SidePath(const std::string& path, int n, LeadBytePredicate is_lead);

// The output names given out during one job.  A name an earlier track of the
// same job already has gets its first numbered form that is still free, so
// two tracks with the same (or no) title keep both files; names on the disk
// from earlier jobs are not looked at, so a re-rip replaces them.
class JobOutputNames {
 public:
  // `fold_case` gives the form in which two names that the file system takes
  // for the same file are equal.
  JobOutputNames(std::function<std::string(const std::string&)> fold_case, LeadBytePredicate is_lead)
      : fold_case_(std::move(fold_case)), is_lead_(is_lead) {}

  // OutputFilePath of `base` and `extension`, numbered from 1 when that name
  // was given out already; remembered as taken.
  std::string Claim(const std::string& base, const std::string& extension);

 private:
  bool Taken(const std::string& key) const;

  std::function<std::string(const std::string&)> fold_case_;
  LeadBytePredicate is_lead_;
  std::vector<std::string> taken_;
};

// The folder of the intermediate WAVs: "temp" in the working folder.
std::string TempFolderPath();

enum class NameClaim { kCreated, kTaken, kFailed };

// Creates the first free one of `first`, then its NumberedPath forms 1, 2 ...
// through `create`, which makes the file only when no file of that name
// exists (kTaken when one does), so that two running instances never share
// one.  Returns the name created, or "" when `create` failed for another
// reason or no number was free.
std::string ClaimFreePath(const std::string& first, const std::function<NameClaim(const std::string&)>& create,
                          LeadBytePredicate is_lead);

// ClaimFreePath from `temp_folder`\corvale.wav.
std::string ClaimTempWavPath(const std::string& temp_folder, const std::function<NameClaim(const std::string&)>& create,
                             LeadBytePredicate is_lead);
