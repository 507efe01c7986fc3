#include "stand_in_component.h"

namespace rip_tests {

void StandInComponent::Configure(const StandInBehaviour& behaviour) {
  if (const auto configure = dll_.Export<StandInConfigureFunc>("StandInConfigure")) configure(&behaviour);
}

StandInRecord StandInComponent::Read() const {
  StandInRecord record{};
  if (const auto read = dll_.Export<StandInReadFunc>("StandInRead")) read(&record);
  return record;
}

std::string Narrow(const wchar_t* text) {
  char narrow[MAX_PATH * 2] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

}  // namespace rip_tests
