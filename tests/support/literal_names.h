// Files and folders under names Windows would rewrite ("abc.", "song.mp3 ",
// "..."), made and removed through literal paths as another file system
// keeps them.  The temporary folder's own cleanup must not meet them: it
// would take "..." for the folder above and never end.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

class LiteralNames {
 public:
  explicit LiteralNames(const std::string& folder) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (length > 0 && length < sizeof full) folder_ = std::string("\\\\?\\") + full;
  }
  ~LiteralNames() {
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
      if (!DeleteFileA(made->c_str())) RemoveDirectoryA(made->c_str());
    }
  }
  LiteralNames(const LiteralNames&) = delete;
  LiteralNames& operator=(const LiteralNames&) = delete;

  // Makes the file with the content, or with a null content a folder; the
  // name may lead into a folder made before.  False when it cannot be made.
  bool Make(const std::string& name, const char* content) {
    const std::string path = folder_ + "\\" + name;
    if (!content) {
      if (!CreateDirectoryA(path.c_str(), nullptr)) return false;
    } else {
      HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) return false;
      DWORD written = 0;
      WriteFile(file, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
      CloseHandle(file);
    }
    made_.push_back(path);
    return true;
  }
  // Removes the name too when it is found in another folder of the test.
  void Forget(const std::string& path) { made_.push_back(path); }
  bool Exists(const std::string& name) const {
    return GetFileAttributesA((folder_ + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::vector<std::string> made_;
};

}  // namespace testing_support
