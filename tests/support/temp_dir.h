// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a relative name, with the platform's separator.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

std::vector<unsigned char> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const void* data, size_t size);
void WriteWholeFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// Names of the files and folders in `folder` (none when it cannot be read).
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace testing_support
