#include <gtest/gtest.h>

#include "common/atl_library.h"
#include "common/common_library.h"

namespace {

// The host library is not brought up with the library itself but by its
// first user, once, and still released at shutdown.
TEST(CommonLibrary, LoadsTheControlHostOnFirstUseAndReleasesItAtShutdown) {
  ASSERT_EQ(InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, "Corvale Rip", "RP"), 1);
  EXPECT_EQ(AtlAxGetControlFunction(), nullptr);
  ASSERT_TRUE(LoadControlHostLibrary());
  EXPECT_TRUE(LoadControlHostLibrary());
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
