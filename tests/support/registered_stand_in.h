// A stand-in COM server DLL beside the test program, registered in the
// machine's classes while an object of this class lives; the DLL's own
// controls are reached through its exports.
#pragma once

#include <windows.h>

#include "common/win_owners.h"

namespace testing_support {

class RegisteredStandIn {
 public:
  // Loads `dll_name` from the test program's folder and registers it.
  explicit RegisteredStandIn(const char* dll_name);
  // Unregisters.  COM keeps its own load of the DLL.
  ~RegisteredStandIn() { Unregister(); }
  RegisteredStandIn(const RegisteredStandIn&) = delete;
  RegisteredStandIn& operator=(const RegisteredStandIn&) = delete;

  bool registered() const { return registered_; }
  void Unregister();

  // The DLL's export `name` as a `Function`; null when it has none.
  template <typename Function>
  Function Export(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
  }

 private:
  ModuleHandle module_;
  bool registered_ = false;
};

}  // namespace testing_support
