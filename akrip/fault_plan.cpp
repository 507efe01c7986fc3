#include "akrip/fault_plan.h"

#include <cerrno>
#include <cstdlib>

#include "akrip/akrip.h"
#include "akrip/cdda.h"

namespace akrip {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

bool ParseInteger(const std::string& text, long long low, long long high, long long* value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool IsKnownError(long long code) {
  switch (code) {
    case kErrNoDrive:
    case kErrBadArgument:
    case kErrNoMemory:
    case kErrTransport:
    case kErrNotReady:
    case kErrMediumError:
    case kErrIllegalRequest:
    case kErrImageIo:
    case kErrNotSupported:
    case kErrShortRead:
      return true;
    default:
      return false;
  }
}

constexpr long long kLargestLba = 0xFFFFFFFFLL;

// "A-B" or "A", then an optional "*N".
bool ParseRangeRule(const std::string& value, bool repeat_allowed, SectorRangeRule* rule) {
  std::string range = value;
  long long times = -1;
  const size_t star = range.find('*');
  if (star != std::string::npos) {
    if (!repeat_allowed || !ParseInteger(range.substr(star + 1), 1, 1000000, &times)) return false;
    range = range.substr(0, star);
  }
  long long first = 0, last = 0;
  const size_t dash = range.find('-');
  if (dash == std::string::npos) {
    if (!ParseInteger(range, 0, kLargestLba, &first)) return false;
    last = first;
  } else if (!ParseInteger(range.substr(0, dash), 0, kLargestLba, &first) ||
             !ParseInteger(range.substr(dash + 1), 0, kLargestLba, &last) || last < first) {
    return false;
  }
  *rule = {static_cast<uint32_t>(first), static_cast<uint32_t>(last), static_cast<int32_t>(times)};
  return true;
}

// XORs every 16-bit sample of the sectors of [lba, lba + sectors) that the
// rule covers.
void XorSectors(const SectorRangeRule& rule, uint32_t lba, uint32_t sectors, uint8_t* data, uint16_t mask) {
  for (uint32_t i = 0; i < sectors; ++i) {
    const uint64_t sector = static_cast<uint64_t>(lba) + i;
    if (sector < rule.first || sector > rule.last) continue;
    uint8_t* bytes = data + static_cast<size_t>(i) * cdda::kSectorBytes;
    for (int at = 0; at < cdda::kSectorBytes; at += 2) {
      bytes[at] = static_cast<uint8_t>(bytes[at] ^ (mask & 0xFF));
      bytes[at + 1] = static_cast<uint8_t>(bytes[at + 1] ^ (mask >> 8));
    }
  }
}

bool Touches(const SectorRangeRule& rule, uint32_t lba, uint32_t sectors) {
  return sectors > 0 && rule.first < static_cast<uint64_t>(lba) + sectors && rule.last >= lba;
}

}  // namespace

FaultResult ParseFaultPlan(const std::string& text, FaultPlan* plan) {
  *plan = FaultPlan();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(";,", start);
    if (end == std::string::npos) end = text.size();
    const std::string rule = Trim(text.substr(start, end - start));
    start = end + 1;
    if (rule.empty()) continue;
    size_t equals = rule.find('=');
    if (equals == std::string::npos) return {false, "a rule needs name=value"};
    const std::string name = Trim(rule.substr(0, equals));
    const std::string value = rule.substr(equals + 1);
    if (name == "toc-fail") {
      size_t colon = value.find(':');
      long long count = 0, code = kErrNotReady;
      if (!ParseInteger(value.substr(0, colon), 0, 1000000, &count)) return {false, "bad toc-fail count"};
      if (colon != std::string::npos &&
          (!ParseInteger(value.substr(colon + 1), -99, 0, &code) || !IsKnownError(code))) {
        return {false, "unknown error code"};
      }
      plan->toc_failures = static_cast<int32_t>(count);
      plan->toc_code = static_cast<int32_t>(code);
    } else if (name == "read-fail") {
      size_t colon = value.find(':');
      if (colon == std::string::npos) return {false, "read-fail needs A-B:CODE"};
      const std::string range = value.substr(0, colon);
      std::string code_text = value.substr(colon + 1);
      long long times = -1;
      size_t star = code_text.find('*');
      if (star != std::string::npos) {
        if (!ParseInteger(code_text.substr(star + 1), 1, 1000000, &times)) return {false, "bad repeat count"};
        code_text = code_text.substr(0, star);
      }
      size_t dash = range.find('-');
      long long first = 0, last = 0, code = 0;
      if (dash == std::string::npos) {
        if (!ParseInteger(range, 0, kLargestLba, &first)) return {false, "bad sector range"};
        last = first;
      } else if (!ParseInteger(range.substr(0, dash), 0, kLargestLba, &first) ||
                 !ParseInteger(range.substr(dash + 1), 0, kLargestLba, &last)) {
        return {false, "bad sector range"};
      }
      if (last < first) return {false, "bad sector range"};
      if (!ParseInteger(code_text, -99, 0, &code) || !IsKnownError(code)) return {false, "unknown error code"};
      plan->read_failures.push_back({static_cast<uint32_t>(first), static_cast<uint32_t>(last),
                                     static_cast<int32_t>(code), static_cast<int32_t>(times)});
    } else if (name == "short-read") {
      long long lba = 0;
      if (!ParseInteger(value, 0, kLargestLba, &lba)) return {false, "bad sector address"};
      plan->short_reads.push_back(static_cast<uint32_t>(lba));
    } else if (name == "corrupt" || name == "noise") {
      SectorRangeRule range;
      if (!ParseRangeRule(value, name == "corrupt", &range)) return {false, "bad sector range"};
      (name == "corrupt" ? plan->corruptions : plan->noise).push_back(range);
    } else if (name == "read-offset") {
      long long samples = 0;
      if (!ParseInteger(value, -kLargestReadOffset, kLargestReadOffset, &samples)) return {false, "bad read offset"};
      plan->read_offset = static_cast<int32_t>(samples);
    } else if (name == "cache") {
      long long sectors = 0;
      if (!ParseInteger(value, 0, kLargestCacheSectors, &sectors)) return {false, "bad cache size"};
      plan->cache_sectors = static_cast<uint32_t>(sectors);
    } else {
      return {false, "unknown fault"};
    }
  }
  return {true, ""};
}

FaultVerdict ApplyReadFaults(FaultPlan* plan, uint32_t lba, uint32_t count) {
  FaultVerdict verdict;
  const uint64_t end = static_cast<uint64_t>(lba) + count;  // exclusive
  for (ReadFailRule& rule : plan->read_failures) {
    if (rule.times == 0 || rule.first >= end || rule.last < lba) continue;
    if (rule.times > 0) --rule.times;
    verdict.kind = FaultVerdict::kFail;
    verdict.code = rule.code;
    verdict.sectors_before = rule.first > lba ? rule.first - lba : 0;
    return verdict;
  }
  for (uint32_t sector : plan->short_reads) {
    if (sector >= lba && sector < end) {
      verdict.kind = FaultVerdict::kShort;
      verdict.sectors_before = sector - lba;
      return verdict;
    }
  }
  return verdict;
}

void ApplyDataFaults(FaultPlan* plan, uint32_t lba, uint8_t* data, uint32_t delivered) {
  const uint32_t sectors = delivered / static_cast<uint32_t>(cdda::kSectorBytes);
  for (SectorRangeRule& rule : plan->corruptions) {
    if (rule.times == 0 || !Touches(rule, lba, sectors)) continue;
    if (rule.times > 0) --rule.times;
    XorSectors(rule, lba, sectors, data, 0x0101);
  }
  bool noisy = false;
  for (const SectorRangeRule& rule : plan->noise) {
    if (!Touches(rule, lba, sectors)) continue;
    if (!noisy) ++plan->noisy_reads;
    noisy = true;
    // An odd factor maps the read counts 1..65535 to distinct masks, none 0.
    XorSectors(rule, lba, sectors, data, static_cast<uint16_t>(plan->noisy_reads * 0x9E3Bu));
  }
}

bool TakeTocFailure(FaultPlan* plan) {
  if (plan->toc_failures <= 0) return false;
  --plan->toc_failures;
  return true;
}

}  // namespace akrip
