// Winsock's header must come before the one of windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/cddb_test_server.h"

namespace testing_support {
namespace {

constexpr DWORD kPollMs = 20;
constexpr size_t kMaxRequestBytes = 64 * 1024;
constexpr DWORD kLongestStallMs = 60000;

bool Readable(SOCKET socket, long ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval timeout{ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &timeout) == 1;
}

void SendAll(SOCKET socket, const std::string& bytes, HANDLE stop) {
  size_t sent = 0;
  while (sent < bytes.size() && WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
    const int chunk = int(bytes.size() - sent < 65536 ? bytes.size() - sent : 65536);
    const int n = send(socket, bytes.data() + sent, chunk, 0);
    if (n <= 0) return;  // the client went away
    sent += size_t(n);
  }
}

}  // namespace

ServerAnswer HttpAnswer(const std::string& body) {
  return {ServerAnswer::kSend, "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n" + body};
}

CddbTestServer::CddbTestServer(Handler handler) : handler_(std::move(handler)), listener_(INVALID_SOCKET) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return;
  listener_ = listener;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stop_) return;
  thread_ = CreateThread(nullptr, 0, Serve, this, 0, nullptr);
  if (thread_) port_ = ntohs(address.sin_port);
}

CddbTestServer::~CddbTestServer() {
  if (stop_) SetEvent(stop_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  if (stop_) CloseHandle(stop_);
  if (listener_ != INVALID_SOCKET) closesocket(SOCKET(listener_));
  WSACleanup();
}

std::vector<std::string> CddbTestServer::Requests() {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

DWORD WINAPI CddbTestServer::Serve(void* self) {
  auto* server = static_cast<CddbTestServer*>(self);
  const SOCKET listener = SOCKET(server->listener_);
  while (WaitForSingleObject(server->stop_, 0) != WAIT_OBJECT_0) {
    if (!Readable(listener, kPollMs)) continue;
    const SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    server->ServeOne(uintptr_t(client));
    closesocket(client);
  }
  return 0;
}

void CddbTestServer::ServeOne(uintptr_t raw) {
  const SOCKET client = SOCKET(raw);
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
    if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return;
    if (!Readable(client, kPollMs)) continue;
    const int n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, size_t(n));
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
  }
  const ServerAnswer answer = handler_(request);
  if (answer.kind == ServerAnswer::kCloseAtOnce) return;
  SendAll(client, answer.bytes, stop_);
  if (answer.kind != ServerAnswer::kStall) return;
  // Silent until the client gives up and closes, the server stops, or the longest stall passed.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kLongestStallMs && WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
    if (Readable(client, kPollMs) && recv(client, buffer, sizeof buffer, 0) <= 0) return;
  }
}

}  // namespace testing_support
