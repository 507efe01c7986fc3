// Names of the files a rip writes: the output base path made from the folder,
// the artist and the title, the numbered names that keep two tracks of one job
// apart, and the intermediate WAV names in "temp".
#pragma once

#include <functional>
#include <string>
#include <vector>

constexpr int kRipPathSize = 260;  // 259 characters and the NUL

// Appends `count` characters of `text` at `path`'s end, each character a file
// name cannot hold (" * / : < > ? \ | and the control characters 1 to 31)
// made a blank, clipped to the room left in a buffer of `size` bytes.  Always
// NUL-terminates.
void AppendFileNamePart(char* path, int size, const char* text, int count);

// Output folder (with one trailing backslash), artist, " - ", title.
void BuildOutputBasePath(const char* folder, const char* artist, const char* title, char path[kRipPathSize]);

// `base` followed by `extension` (".wav", ".ogg" ...) as far as the limit allows.
void AppendExtension(char path[kRipPathSize], const char* extension);

// `path` with "(n)" put before the extension of its last part ("a\b.wav", 2
// gives "a\b(2).wav"; no extension: appended).  The name before the counter
// is shortened as far as needed to keep the whole within kRipPathSize - 1.
std::string NumberedPath(const std::string& path, int n);

// The output names given out during one job.  A name an earlier track of the
// same job already has gets its first numbered form that is still free, so
// two tracks with the same (or no) title keep both files; names on the disk
// from earlier jobs are not looked at, so a re-rip replaces them.
class JobOutputNames {
 public:
  // `fold_case` gives the form in which two names that the file system takes
  // for the same file are equal.
  explicit JobOutputNames(std::function<std::string(const std::string&)> fold_case)
      : fold_case_(std::move(fold_case)) {}

  // `path`, or its first numbered form not yet given out; remembered as taken.
  std::string Claim(const std::string& path);

 private:
  bool Taken(const std::string& key) const;

  std::function<std::string(const std::string&)> fold_case_;
  std::vector<std::string> taken_;
};

// The folder of the intermediate WAVs: "temp" in the working folder.
std::string TempFolderPath();

enum class NameClaim { kCreated, kTaken, kFailed };

// Creates the first free one of `temp_folder`\corvale.wav, corvale(1).wav,
// corvale(2).wav ... through `create`, which makes the file only when no file
// of that name exists (kTaken when one does), so that two running instances
// never share one.  Returns the name created, or "" when `create` failed for
// another reason or no number was free.
std::string ClaimTempWavPath(const std::string& temp_folder,
                             const std::function<NameClaim(const std::string&)>& create);
