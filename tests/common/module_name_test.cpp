#include "common/module_name.h"

#include <gtest/gtest.h>

TEST(ModuleBaseName, FolderExtensionAndLastUnderscorePartGo) {
  EXPECT_EQ(ModuleBaseNameOf("C:\\Program Files\\Corvale\\corvale.exe"), "corvale");
  EXPECT_EQ(ModuleBaseNameOf("C:\\x\\corvale_tests.exe"), "corvale");
  EXPECT_EQ(ModuleBaseNameOf("Z:/a.b/my_app_v2.exe"), "my_app");
  EXPECT_EQ(ModuleBaseNameOf("plain"), "plain");
  EXPECT_EQ(ModuleBaseNameOf(""), "");
}
