// The stand-in WMA encoder component as the tests use it: registered in the
// machine's classes while an object of this class lives, steered and read
// through the DLL's own controls.
#pragma once

#include <windows.h>

#include <string>

#include "support/registered_stand_in.h"
#include "wma_stand_in/stand_in_control.h"

namespace rip_tests {

class StandInComponent {
 public:
  // Loads the DLL beside the test program and registers it.
  StandInComponent() { Configure(StandInBehaviour()); }
  StandInComponent(const StandInComponent&) = delete;
  StandInComponent& operator=(const StandInComponent&) = delete;

  bool registered() const { return dll_.registered(); }
  void Unregister() { dll_.Unregister(); }
  // Sets the behaviour and clears the record.
  void Configure(const StandInBehaviour& behaviour);
  StandInRecord Read() const;

 private:
  testing_support::RegisteredStandIn dll_{"wma_stand_in.dll"};
};

std::string Narrow(const wchar_t* text);

}  // namespace rip_tests
