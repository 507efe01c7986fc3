// Reads a shell shortcut as the Start menu would: prints its target on the
// first line and its working folder on the second.  Exit code 1, with the
// reason on standard error, when the shortcut cannot be read.
//
//   shortcut_probe LINK_FILE

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>

namespace {

// Holds one reference to a COM object and gives it back when it goes.
template <typename Interface>
class ComReference {
 public:
  ComReference() = default;
  ComReference(const ComReference&) = delete;
  ComReference& operator=(const ComReference&) = delete;
  ~ComReference() {
    if (object_) object_->Release();
  }
  Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  void** out() { return reinterpret_cast<void**>(&object_); }

 private:
  Interface* object_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  bool ok() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

int Fail(const char* what, HRESULT result) {
  std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(result));
  return 1;
}

int PrintShortcut(const char* link_file) {
  ComApartment apartment;
  if (!apartment.ok()) return Fail("CoInitializeEx", E_FAIL);
  ComReference<IShellLinkA> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out());
  if (FAILED(result)) return Fail("CoCreateInstance(ShellLink)", result);
  ComReference<IPersistFile> file;
  result = link->QueryInterface(IID_IPersistFile, file.out());
  if (FAILED(result)) return Fail("QueryInterface(IPersistFile)", result);
  wchar_t wide_name[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, link_file, -1, wide_name, MAX_PATH) == 0) {
    return Fail("MultiByteToWideChar", HRESULT_FROM_WIN32(GetLastError()));
  }
  result = file->Load(wide_name, STGM_READ);
  if (FAILED(result)) return Fail("IPersistFile::Load", result);
  char target[MAX_PATH] = "";
  result = link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  if (FAILED(result)) return Fail("IShellLink::GetPath", result);
  char folder[MAX_PATH] = "";
  result = link->GetWorkingDirectory(folder, MAX_PATH);
  if (FAILED(result)) return Fail("IShellLink::GetWorkingDirectory", result);
  std::printf("%s\n%s\n", target, folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: shortcut_probe LINK_FILE\n");
    return 2;
  }
  return PrintShortcut(argv[1]);
}
