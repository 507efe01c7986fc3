// CDDB replies as a server or a proxy sends them, from the corpus in
// cddb_replies/: query/ holds query replies, read/ disc record replies, each
// .txt (the whole HTTP reply) with its .expected beside it, named after what
// it tests.  Then the request a lookup sends.
#include "akrip/cddb_protocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "akrip/cddb_record.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::vector<unsigned char> bytes = testing_support::ReadWholeFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

std::string Error(const akrip::ProtocolResult& result) { return std::string("error: ") + result.reason + "\n"; }

std::string DescribeQuery(const std::string& reply) {
  int status = 0;
  std::string body;
  akrip::ProtocolResult http = akrip::ParseHttpReply(reply, &status, &body);
  if (!http.ok) return Error(http);
  std::vector<akrip::ReplyMatch> matches;
  akrip::ProtocolResult parsed = akrip::ParseQueryReply(body, &matches);
  if (!parsed.ok) return Error(parsed);
  if (matches.empty()) return "no matches\n";
  std::string text;
  for (const akrip::ReplyMatch& match : matches) {
    const akrip::DiscTitleSplit split = akrip::SplitCddbDiscTitle(match.disc_title);
    text += "match " + match.category + " " + match.disc_id + (match.exact ? " exact" : " close") + " artist=[" +
            split.artist + "] title=[" + split.title + "]\n";
  }
  return text;
}

std::string DescribeRead(const std::string& reply) {
  int status = 0;
  std::string body;
  akrip::ProtocolResult http = akrip::ParseHttpReply(reply, &status, &body);
  if (!http.ok) return Error(http);
  std::vector<std::string> lines;
  akrip::ProtocolResult parsed = akrip::ParseReadReply(body, &lines);
  if (!parsed.ok) return Error(parsed);
  return akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), 10000);
}

void CheckCorpus(const char* folder, std::string (*describe)(const std::string&)) {
  const fs::path dir = fs::path(AKRIP_CDDB_REPLY_DIR) / folder;
  int cases = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".txt") continue;
    ++cases;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string actual = describe(ReadText(entry.path()));
    fs::path expected_path = entry.path();
    expected_path.replace_extension(".expected");
    ASSERT_TRUE(fs::exists(expected_path)) << "the reply gives:\n" << actual;
    EXPECT_EQ(ReadText(expected_path), actual);
  }
  EXPECT_GT(cases, 10);
}

TEST(CddbReplyCorpus, QueryReplies) { CheckCorpus("query", DescribeQuery); }
TEST(CddbReplyCorpus, ReadReplies) { CheckCorpus("read", DescribeRead); }

akrip::CddbOptions DirectOptions() {
  akrip::CddbOptions options;
  options.server = "cddb.example.org";
  options.http_port = 80;
  options.cgi_path = "/~cddb/cddb.cgi";
  options.user_email = "rip@corvale.example";
  options.client_name = "audiocd v1.0";
  return options;
}

TEST(CddbRequest, DirectRequestNamesTheCommandHelloAndProtocolLevel) {
  std::string request;
  akrip::HttpTarget target;
  ASSERT_TRUE(akrip::BuildCddbRequest(DirectOptions(), "cddb query 0a01f103 3 150 2000 4000 90", &request, &target).ok);
  EXPECT_EQ(target.host, "cddb.example.org");
  EXPECT_EQ(target.port, 80);
  EXPECT_EQ(request,
            "GET /~cddb/cddb.cgi?cmd=cddb+query+0a01f103+3+150+2000+4000+90"
            "&hello=rip+corvale.example+audiocd+v1.0&proto=6 HTTP/1.0\r\n"
            "Host: cddb.example.org\r\n"
            "User-Agent: audiocd/v1.0\r\n"
            "Accept: text/plain\r\n\r\n");
}

TEST(CddbRequest, ProxyGetsTheAbsoluteUriAndTheServerNameUnresolved) {
  akrip::CddbOptions options = DirectOptions();
  options.http_port = 8880;
  options.use_proxy = true;
  options.proxy_host = "proxy.lan";
  options.proxy_port = 3128;
  std::string request;
  akrip::HttpTarget target;
  ASSERT_TRUE(akrip::BuildCddbRequest(options, "cddb read rock 0a01f103", &request, &target).ok);
  EXPECT_EQ(target.host, "proxy.lan");
  EXPECT_EQ(target.port, 3128);
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            "GET http://cddb.example.org:8880/~cddb/cddb.cgi?cmd=cddb+read+rock+0a01f103"
            "&hello=rip+corvale.example+audiocd+v1.0&proto=6 HTTP/1.0");
  EXPECT_NE(request.find("\r\nHost: cddb.example.org:8880\r\n"), std::string::npos);

  options.proxy_port = 0;  // no port: the proxy's is 80
  ASSERT_TRUE(akrip::BuildCddbRequest(options, "cddb read rock 0a01f103", &request, &target).ok);
  EXPECT_EQ(target.port, 80);
}

TEST(CddbRequest, ParametersAreEncodedAndLineBreaksRefused) {
  akrip::CddbOptions options = DirectOptions();
  options.user_email = "a b&c=d@host";
  options.client_name = "my client 2.0";
  std::string request;
  akrip::HttpTarget target;
  ASSERT_TRUE(akrip::BuildCddbRequest(options, "cddb query x%y", &request, &target).ok);
  EXPECT_NE(request.find("cmd=cddb+query+x%25y&hello=a_b%26c%3Dd+host+my+client_2.0&proto=6 "), std::string::npos)
      << request;

  const std::vector<std::pair<const char*, std::string akrip::CddbOptions::*>> fields = {
      {"server", &akrip::CddbOptions::server},
      {"path", &akrip::CddbOptions::cgi_path},
      {"e-mail", &akrip::CddbOptions::user_email},
      {"client", &akrip::CddbOptions::client_name}};
  for (const auto& field : fields) {
    for (const char* bad : {"\r\nX-Injected: 1", "\n", "x\ry"}) {
      akrip::CddbOptions broken = DirectOptions();
      broken.*field.second += bad;
      EXPECT_FALSE(akrip::BuildCddbRequest(broken, "cddb query", &request, &target).ok) << field.first;
    }
  }
  EXPECT_FALSE(akrip::BuildCddbRequest(DirectOptions(), "cddb\r\nquery", &request, &target).ok);
  akrip::CddbOptions proxied = DirectOptions();
  proxied.use_proxy = true;
  proxied.proxy_host = "proxy\r\nHost: evil";
  EXPECT_FALSE(akrip::BuildCddbRequest(proxied, "cddb query", &request, &target).ok);
  proxied.proxy_host = "";
  EXPECT_FALSE(akrip::BuildCddbRequest(proxied, "cddb query", &request, &target).ok);
  akrip::CddbOptions no_port = DirectOptions();
  no_port.http_port = 70000;
  EXPECT_FALSE(akrip::BuildCddbRequest(no_port, "cddb query", &request, &target).ok);
}

TEST(CddbText, InvalidUtf8IsReadAsLatin1) {
  EXPECT_EQ(akrip::AsUtf8("plain"), "plain");
  EXPECT_EQ(akrip::AsUtf8("\xc3\xa9"), "\xc3\xa9");
  EXPECT_EQ(akrip::AsUtf8("\xe9"), "\xc3\xa9");
  // Overlong forms and surrogates are not UTF-8.
  EXPECT_EQ(akrip::AsUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf");
  EXPECT_EQ(akrip::AsUtf8("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xc2\x80");
  EXPECT_EQ(akrip::AsUtf8("\xf0\x9f\x8e\xb5"), "\xf0\x9f\x8e\xb5");
  EXPECT_EQ(akrip::AsUtf8("\xf0\x9f\x8e"), "\xc3\xb0\xc2\x9f\xc2\x8e");
}

TEST(CddbText, DiscTitleSplitsAtTheFirstSlashWithBlanks) {
  akrip::DiscTitleSplit split = akrip::SplitCddbDiscTitle("AC/DC / Back in Black");
  EXPECT_EQ(split.artist, "AC/DC");
  EXPECT_EQ(split.title, "Back in Black");
  split = akrip::SplitCddbDiscTitle("A/B");
  EXPECT_EQ(split.artist, "A");
  EXPECT_EQ(split.title, "B");
}

}  // namespace
