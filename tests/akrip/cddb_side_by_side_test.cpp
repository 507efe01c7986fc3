// A CDDB lookup and an AccurateRip fetch through akrip.dll side by side, as
// the program starts them for every disc, round after round: each must get
// its answer.  The rounds run in a child process whose only Winsock user is
// the library, so that nothing else holds Winsock up between its exchanges
// (this process's server would), as in the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "akrip/akrip.h"
#include "support/akrip_exports.h"
#include "support/cddb_test_server.h"
#include "support/disc_image.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CddbTestServer;
using Exports = testing_support::AkripExports;
using testing_support::HttpAnswer;
using testing_support::TempDir;

constexpr char kProxyPortVariable[] = "CORVALE_TEST_SIDE_BY_SIDE_PORT";
constexpr char kReportVariable[] = "CORVALE_TEST_SIDE_BY_SIDE_REPORT";
// Enough rounds to have met the fault this guards against in every run tried
// (it came within 450 rounds in each of eleven runs), bounded in time for a loaded machine.
constexpr int kRounds = 600;
constexpr auto kLongestRun = std::chrono::seconds(8);

// What went wrong in the rounds, one line each.
class Failures {
 public:
  void Add(int round, const std::string& what, int error) {
    std::lock_guard<std::mutex> guard(lock_);
    lines_.push_back("round " + std::to_string(round) + ": " + what + " failed with " + std::to_string(error));
  }
  std::vector<std::string> lines() {
    std::lock_guard<std::mutex> guard(lock_);
    return lines_;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> lines_;
};

void Lookup(const Exports& dll, akrip::Handle drive, int round, Failures* failures) {
  std::vector<akrip::CddbMatch> matches(akrip::kCddbMaxMatches);
  akrip::CddbQueryRequest request{akrip::kCddbMaxMatches, matches.data()};
  if (dll.query(drive, &request) != 1) return failures->Add(round, "query", dll.last_error());
  if (request.capacity != 1) return failures->Add(round, "query's match count", request.capacity);
  std::vector<char> text(10000);
  if (dll.get_disk_info(&matches[0], text.data(), int32_t(text.size())) != 1) {
    return failures->Add(round, "read", dll.last_error());
  }
}

void Fetch(const Exports& dll, int round, Failures* failures) {
  uint8_t body[256];
  int32_t size = 0;
  int32_t status = 0;
  if (dll.http_get("127.0.0.1", 9, "/accuraterip/1/2/3/dBAR-004.bin", body, sizeof body, &size, &status) != 1) {
    return failures->Add(round, "fetch", dll.last_error());
  }
  if (status != 404) failures->Add(round, "fetch's status", status);
}

// The child's rounds, against the proxy whose port the parent gives.
TEST(CddbSideBySideChild, RunsTheRounds) {
  const char* port_text = std::getenv(kProxyPortVariable);
  const char* report_path = std::getenv(kReportVariable);
  if (port_text == nullptr || report_path == nullptr) GTEST_SKIP() << "runs only as a child";
  std::ofstream report(report_path);
  Exports dll;
  ASSERT_NE(dll.http_get, nullptr);
  TempDir folder;
  const testing_support::TestDisc disc =
      testing_support::WriteTestDisc(folder.path(), "side by side", {{4000}, {5000}, {3000}});
  ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_IMAGES", disc.cue_path.c_str()));
  // A round that fails may leave the server waiting on its dropped line: the
  // rounds after it meet a stall and should not wait 10 s each.
  ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "1500"));
  akrip::DriveList list;
  std::memset(&list, 0, sizeof list);
  list.capacity = akrip::kMaxDrives;
  ASSERT_EQ(dll.get_cd_list(&list), 1);
  ASSERT_GE(list.count, 1);
  akrip::OpenRequest open{12, 1, list.drives[list.count - 1].host_adapter, 0, 0, 0, 0, 2, 4};
  const akrip::Handle drive = dll.get_cd_handle(&open);
  ASSERT_NE(drive, 0u);
  dll.set_option(akrip::kCddbUseProxy, nullptr, 1);
  dll.set_option(akrip::kCddbProxyHost, "127.0.0.1", 0);
  dll.set_option(akrip::kCddbProxyPort, nullptr, std::atoi(port_text));
  dll.set_option(akrip::kCddbServer, "cddb.server.invalid", 0);

  Failures failures;
  int rounds = 0;
  const auto end = std::chrono::steady_clock::now() + kLongestRun;
  for (; rounds < kRounds && std::chrono::steady_clock::now() < end; ++rounds) {
    std::thread fetch([&dll, rounds, &failures] { Fetch(dll, rounds, &failures); });
    std::thread lookup([&dll, drive, rounds, &failures] { Lookup(dll, drive, rounds, &failures); });
    fetch.join();
    lookup.join();
  }
  dll.close_cd_handle(drive);
  SetEnvironmentVariableA("AKRIP_IMAGES", nullptr);
  SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);
  report << "rounds " << rounds << "\n";
  for (const std::string& line : failures.lines()) report << line << "\n";
}

TEST(CddbSideBySide, EveryLookupAndFetchGetsItsAnswer) {
  CddbTestServer server([](const std::string& request) {
    if (request.find("cmd=cddb+query+") != std::string::npos) return HttpAnswer("200 rock 0a0b0c0d A / B\r\n");
    if (request.find("cmd=cddb+read+") != std::string::npos) {
      return HttpAnswer("210 rock 0a0b0c0d\r\nDTITLE=A / B\r\nTTITLE0=One\r\n.\r\n");
    }
    return testing_support::ServerAnswer{testing_support::ServerAnswer::kSend, "HTTP/1.0 404 Not Found\r\n\r\n"};
  });
  ASSERT_TRUE(server.ok());
  TempDir folder;
  const std::string report_path = folder.File("report.txt");
  char program[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, program, sizeof program), 0u);
  std::string command = std::string("\"") + program + "\" --gtest_filter=CddbSideBySideChild.*";
  SetEnvironmentVariableA(kProxyPortVariable, std::to_string(server.port()).c_str());
  SetEnvironmentVariableA(kReportVariable, report_path.c_str());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kProxyPortVariable, nullptr);
  SetEnvironmentVariableA(kReportVariable, nullptr);
  ASSERT_TRUE(started) << GetLastError();
  const DWORD waited = WaitForSingleObject(process.hProcess, 120000);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the rounds did not end";
  EXPECT_EQ(exit_code, 0u);

  std::ifstream in(report_path);
  std::string first;
  ASSERT_TRUE(std::getline(in, first)) << "the child wrote no report";
  EXPECT_EQ(first.rfind("rounds ", 0), 0u) << first;
  EXPECT_GT(std::atoi(first.c_str() + 7), 0);
  std::string failures;
  for (std::string line; std::getline(in, line);) failures += line + "\n";
  EXPECT_EQ(failures, "") << first;
}

}  // namespace
