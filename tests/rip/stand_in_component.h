// The stand-in WMA encoder component as the tests use it: registered in the
// machine's classes while an object of this class lives, steered and read
// through the DLL's own controls.
#pragma once

#include <windows.h>

#include <string>

#include "common/win_owners.h"

#include "wma_stand_in/stand_in_control.h"

namespace rip_tests {

class StandInComponent {
 public:
  // Loads the DLL beside the test program and registers it.
  StandInComponent();
  // Unregisters.  COM keeps its own load of the DLL.
  ~StandInComponent();
  StandInComponent(const StandInComponent&) = delete;
  StandInComponent& operator=(const StandInComponent&) = delete;

  bool registered() const { return registered_; }
  void Unregister();
  // Sets the behaviour and clears the record.
  void Configure(const StandInBehaviour& behaviour);
  StandInRecord Read() const;

 private:
  ModuleHandle module_;
  bool registered_ = false;
};

std::string Narrow(const wchar_t* text);

}  // namespace rip_tests
