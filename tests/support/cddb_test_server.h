// A CDDB server for tests, inside the test process: a Winsock listener on
// 127.0.0.1 (port chosen by the system) that answers each HTTP request as the
// test's handler says.  It serves requests sent directly and, since it reads
// whatever request line arrives, requests sent to it as an HTTP proxy.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

struct ServerAnswer {
  enum Kind {
    kSend,         // send `bytes`, then close
    kStall,        // send `bytes`, then say nothing until the client hangs up or the server stops
    kCloseAtOnce,  // close without answering
  };
  Kind kind = kSend;
  std::string bytes;
};

// "HTTP/1.0 200 OK" with a text body.
ServerAnswer HttpAnswer(const std::string& body);

class CddbTestServer {
 public:
  using Handler = std::function<ServerAnswer(const std::string& request)>;

  explicit CddbTestServer(Handler handler);
  ~CddbTestServer();  // stops and joins the server thread
  CddbTestServer(const CddbTestServer&) = delete;
  CddbTestServer& operator=(const CddbTestServer&) = delete;

  bool ok() const { return port_ != 0; }
  uint16_t port() const { return port_; }

  // The requests received so far (the bytes up to the blank line).
  std::vector<std::string> Requests();

 private:
  static DWORD WINAPI Serve(void* self);
  void ServeOne(uintptr_t client);

  Handler handler_;
  uintptr_t listener_;
  uint16_t port_ = 0;
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;
  std::mutex lock_;
  std::vector<std::string> requests_;
};

}  // namespace testing_support
