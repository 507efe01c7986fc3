#include "common/version_format.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionFormatTest, EachPartHasItsWidth) {
  VersionNumbers version{2, 1, 1, 501};
  EXPECT_EQ(FormatVersionText("Major.Middle.Minor", version), "2.01.001");
  EXPECT_EQ(FormatVersionText("Build", version), "0501");
  EXPECT_EQ(FormatVersionText("v Major.Middle (Build Build)", version), "v 2.01 (0501 0501)");
  EXPECT_EQ(FormatVersionText("Major.Middle.Minor.Build", VersionNumbers{65535, 123, 4567, 65535}),
            "65535.123.4567.65535");
  EXPECT_EQ(FormatVersionText("Major.Middle.Minor.Build", VersionNumbers{}), "0.00.000.0000");
  EXPECT_EQ(FormatVersionText(nullptr, version), "");
}

}  // namespace
