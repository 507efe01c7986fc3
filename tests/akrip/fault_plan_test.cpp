#include "akrip/fault_plan.h"

#include <gtest/gtest.h>

#include "akrip/akrip.h"

namespace {

TEST(FaultPlan, ParsesEveryRuleKind) {
  akrip::FaultPlan plan;
  ASSERT_TRUE(akrip::ParseFaultPlan(" toc-fail=2 ; read-fail=100-120:-15, read-fail=7:-6*2;short-read=300 ", &plan).ok);
  EXPECT_EQ(plan.toc_failures, 2);
  EXPECT_EQ(plan.toc_code, akrip::kErrNotReady);
  ASSERT_EQ(plan.read_failures.size(), 2u);
  EXPECT_EQ(plan.read_failures[0].first, 100u);
  EXPECT_EQ(plan.read_failures[0].last, 120u);
  EXPECT_EQ(plan.read_failures[0].code, akrip::kErrShortRead);
  EXPECT_EQ(plan.read_failures[0].times, -1);
  EXPECT_EQ(plan.read_failures[1].first, 7u);
  EXPECT_EQ(plan.read_failures[1].last, 7u);
  EXPECT_EQ(plan.read_failures[1].times, 2);
  ASSERT_EQ(plan.short_reads.size(), 1u);
  EXPECT_EQ(plan.short_reads[0], 300u);

  ASSERT_TRUE(akrip::ParseFaultPlan("corrupt=10-12*1;noise=20;read-offset=-667;cache=64", &plan).ok);
  ASSERT_EQ(plan.corruptions.size(), 1u);
  EXPECT_EQ(plan.corruptions[0].last, 12u);
  EXPECT_EQ(plan.corruptions[0].times, 1);
  ASSERT_EQ(plan.noise.size(), 1u);
  EXPECT_EQ(plan.noise[0].first, 20u);
  EXPECT_EQ(plan.read_offset, -667);
  EXPECT_EQ(plan.cache_sectors, 64u);

  ASSERT_TRUE(akrip::ParseFaultPlan("toc-fail=1:-6", &plan).ok);
  EXPECT_EQ(plan.toc_code, akrip::kErrMediumError);
  ASSERT_TRUE(akrip::ParseFaultPlan("", &plan).ok);
  EXPECT_EQ(plan.toc_failures, 0);
  EXPECT_TRUE(plan.read_failures.empty());
}

TEST(FaultPlan, RefusesMalformedRules) {
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"toc-fail", "a rule needs name=value"},
      {"toc-fail=x", "bad toc-fail count"},
      {"toc-fail=-1", "bad toc-fail count"},
      {"toc-fail=1:-12", "unknown error code"},
      {"read-fail=100-120", "read-fail needs A-B:CODE"},
      {"read-fail=120-100:-6", "bad sector range"},
      {"read-fail=a-b:-6", "bad sector range"},
      {"read-fail=1-2:0", "unknown error code"},
      {"read-fail=1-2:5", "unknown error code"},
      {"read-fail=1-2:-6*0", "bad repeat count"},
      {"short-read=", "bad sector address"},
      {"short-read=4294967296", "bad sector address"},
      {"slow-read=5", "unknown fault"},
      {"corrupt=9-3", "bad sector range"},
      {"corrupt=1-2*0", "bad sector range"},
      {"noise=1-2*3", "bad sector range"},
      {"read-offset=5881", "bad read offset"},
      {"read-offset=+x", "bad read offset"},
      {"cache=-1", "bad cache size"},
  };
  for (const auto& c : cases) {
    akrip::FaultPlan plan;
    akrip::FaultResult result = akrip::ParseFaultPlan(c.text, &plan);
    EXPECT_FALSE(result.ok) << c.text;
    EXPECT_STREQ(result.reason, c.reason) << c.text;
  }
}

TEST(FaultPlan, ReadVerdicts) {
  akrip::FaultPlan plan;
  ASSERT_TRUE(akrip::ParseFaultPlan("read-fail=100-109:-15;read-fail=500:-7*1;short-read=1000", &plan).ok);
  akrip::FaultVerdict v = akrip::ApplyReadFaults(&plan, 90, 10);  // 90..99 ends just before
  EXPECT_EQ(v.kind, akrip::FaultVerdict::kNone);
  v = akrip::ApplyReadFaults(&plan, 95, 27);
  EXPECT_EQ(v.kind, akrip::FaultVerdict::kFail);
  EXPECT_EQ(v.code, akrip::kErrShortRead);
  EXPECT_EQ(v.sectors_before, 5u);
  v = akrip::ApplyReadFaults(&plan, 109, 1);
  EXPECT_EQ(v.kind, akrip::FaultVerdict::kFail);
  EXPECT_EQ(v.sectors_before, 0u);
  EXPECT_EQ(akrip::ApplyReadFaults(&plan, 110, 27).kind, akrip::FaultVerdict::kNone);

  EXPECT_EQ(akrip::ApplyReadFaults(&plan, 490, 27).code, akrip::kErrIllegalRequest);
  EXPECT_EQ(akrip::ApplyReadFaults(&plan, 490, 27).kind, akrip::FaultVerdict::kNone);  // used up

  v = akrip::ApplyReadFaults(&plan, 990, 27);
  EXPECT_EQ(v.kind, akrip::FaultVerdict::kShort);
  EXPECT_EQ(v.sectors_before, 10u);
}

TEST(FaultPlan, TocFailuresAreCounted) {
  akrip::FaultPlan plan;
  ASSERT_TRUE(akrip::ParseFaultPlan("toc-fail=2", &plan).ok);
  EXPECT_TRUE(akrip::TakeTocFailure(&plan));
  EXPECT_TRUE(akrip::TakeTocFailure(&plan));
  EXPECT_FALSE(akrip::TakeTocFailure(&plan));
}

}  // namespace
