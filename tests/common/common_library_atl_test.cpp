#include <gtest/gtest.h>

#include "common/atl_library.h"
#include "common/common_library.h"

namespace {

TEST(CommonLibrary, LoadsTheControlHostAndReleasesItAtShutdown) {
  ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
  EXPECT_NE(AtlAxGetControlFunction(), nullptr);
  EXPECT_NE(AtlAdviseFunction(), nullptr);
  WNDCLASSA host_class;
  EXPECT_TRUE(GetClassInfoA(nullptr, "AtlAxWin", &host_class) ||
              GetClassInfoA(GetModuleHandleA("atl.dll"), "AtlAxWin", &host_class));
  ShutdownCommonLibrary();
  EXPECT_EQ(AtlAxGetControlFunction(), nullptr);
  EXPECT_EQ(AtlAdviseFunction(), nullptr);
  ShutdownCommonLibrary();
}

}  // namespace
