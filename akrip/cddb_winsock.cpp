#include "akrip/cddb_winsock.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <string>
#include <vector>

#include "akrip/shared_startup.h"

namespace akrip {
namespace {

// The socket functions, from ws2_32.dll loaded at the first lookup instead of
// imported: a program loads this library at start-up to list its drives, and
// the network stack is not needed until a disc is looked up.  The library
// then stays loaded for the rest of the run, as an imported one would.
struct WinsockFunctions {
  decltype(&::WSAStartup) startup = nullptr;
  decltype(&::WSACleanup) cleanup = nullptr;
  decltype(&::WSAGetLastError) last_error = nullptr;
  decltype(&::__WSAFDIsSet) is_in_set = nullptr;
  decltype(&::getaddrinfo) resolve = nullptr;
  decltype(&::freeaddrinfo) free_addresses = nullptr;
  decltype(&::socket) open_socket = nullptr;
  decltype(&::closesocket) close_socket = nullptr;
  decltype(&::ioctlsocket) control = nullptr;
  decltype(&::connect) connect_to = nullptr;
  decltype(&::getsockopt) get_option = nullptr;
  decltype(&::select) wait_for = nullptr;
  decltype(&::send) send_bytes = nullptr;
  decltype(&::recv) receive_bytes = nullptr;
  // Every function above was found.
  bool complete = false;
};

template <typename Fn>
bool Find(HMODULE library, const char* name, Fn* function) {
  *function = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *function != nullptr;
}

const WinsockFunctions& Winsock() {
  static const WinsockFunctions functions = [] {
    WinsockFunctions found;
    const HMODULE library = LoadLibraryA("ws2_32.dll");
    if (library == nullptr) return found;
    found.complete = Find(library, "WSAStartup", &found.startup) && Find(library, "WSACleanup", &found.cleanup) &&
                     Find(library, "WSAGetLastError", &found.last_error) &&
                     Find(library, "__WSAFDIsSet", &found.is_in_set) && Find(library, "getaddrinfo", &found.resolve) &&
                     Find(library, "freeaddrinfo", &found.free_addresses) &&
                     Find(library, "socket", &found.open_socket) && Find(library, "closesocket", &found.close_socket) &&
                     Find(library, "ioctlsocket", &found.control) && Find(library, "connect", &found.connect_to) &&
                     Find(library, "getsockopt", &found.get_option) && Find(library, "select", &found.wait_for) &&
                     Find(library, "send", &found.send_bytes) && Find(library, "recv", &found.receive_bytes);
    return found;
  }();
  return functions;
}

class Socket {
 public:
  explicit Socket(SOCKET socket) : socket_(socket) {}
  ~Socket() {
    if (socket_ != INVALID_SOCKET) Winsock().close_socket(socket_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

class AddressList {
 public:
  AddressList() = default;
  ~AddressList() {
    if (list_) Winsock().free_addresses(list_);
  }
  AddressList(const AddressList&) = delete;
  AddressList& operator=(const AddressList&) = delete;
  addrinfo** out() { return &list_; }
  const addrinfo* get() const { return list_; }

 private:
  addrinfo* list_ = nullptr;
};

// Milliseconds until the earlier of `limit` from now and the deadline; 0 when passed.
long WaitMs(std::chrono::milliseconds limit, CddbClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - CddbClock::now());
  const auto wait = left < limit ? left : limit;
  return wait.count() > 0 ? long(wait.count()) : 0;
}

enum class Ready { kYes, kTimeout, kError };

Ready WaitFor(SOCKET socket, bool for_writing, long ms) {
  if (ms <= 0) return Ready::kTimeout;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  fd_set errors;
  FD_ZERO(&errors);
  FD_SET(socket, &errors);
  timeval timeout{ms / 1000, (ms % 1000) * 1000};
  const int result =
      Winsock().wait_for(0, for_writing ? nullptr : &set, for_writing ? &set : nullptr, &errors, &timeout);
  if (result == 0) return Ready::kTimeout;
  if (result == SOCKET_ERROR || Winsock().is_in_set(socket, &errors)) return Ready::kError;
  return Ready::kYes;
}

LibError ConnectTo(const addrinfo* address, const CddbLimits& limits, CddbClock::time_point deadline,
                   SOCKET* connected) {
  SOCKET raw = Winsock().open_socket(address->ai_family, address->ai_socktype, address->ai_protocol);
  if (raw == INVALID_SOCKET) return kErrCddbNetwork;
  auto owned = std::make_unique<Socket>(raw);
  u_long non_blocking = 1;
  // FIONBIO is an unsigned bit pattern that ioctlsocket takes as a long.
  if (Winsock().control(raw, static_cast<long>(FIONBIO), &non_blocking) != 0) return kErrCddbNetwork;
  if (Winsock().connect_to(raw, address->ai_addr, int(address->ai_addrlen)) == SOCKET_ERROR &&
      Winsock().last_error() != WSAEWOULDBLOCK) {
    return kErrCddbNetwork;
  }
  const Ready ready = WaitFor(raw, true, WaitMs(limits.connect_timeout, deadline));
  if (ready == Ready::kTimeout) return kErrCddbTimeout;
  int error = 0;
  int length = sizeof error;
  if (ready == Ready::kError ||
      Winsock().get_option(raw, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error != 0) {
    return kErrCddbNetwork;
  }
  owned.release();
  *connected = raw;
  return kErrNone;
}

LibError SendAll(SOCKET socket, const std::string& data, const CddbLimits& limits, CddbClock::time_point deadline) {
  size_t sent = 0;
  while (sent < data.size()) {
    const Ready ready = WaitFor(socket, true, WaitMs(limits.receive_timeout, deadline));
    if (ready == Ready::kTimeout) return kErrCddbTimeout;
    if (ready == Ready::kError) return kErrCddbNetwork;
    const int n = Winsock().send_bytes(socket, data.data() + sent, int(data.size() - sent), 0);
    if (n == SOCKET_ERROR) {
      if (Winsock().last_error() == WSAEWOULDBLOCK) continue;
      return kErrCddbNetwork;
    }
    sent += size_t(n);
  }
  return kErrNone;
}

LibError ReceiveAll(SOCKET socket, const CddbLimits& limits, CddbClock::time_point deadline, std::string* reply) {
  char buffer[8192];
  for (;;) {
    const Ready ready = WaitFor(socket, false, WaitMs(limits.receive_timeout, deadline));
    if (ready == Ready::kTimeout) return kErrCddbTimeout;
    if (ready == Ready::kError) return kErrCddbNetwork;
    const int n = Winsock().receive_bytes(socket, buffer, sizeof buffer, 0);
    if (n == 0) return kErrNone;
    if (n == SOCKET_ERROR) {
      if (Winsock().last_error() == WSAEWOULDBLOCK) continue;
      return kErrCddbNetwork;
    }
    if (reply->size() + size_t(n) > limits.max_reply_bytes) return kErrCddbReply;
    reply->append(buffer, size_t(n));
  }
}

// Winsock is started by the first exchange of any thread and cleaned up after
// the last one, never per exchange: the CDDB lookup and the AccurateRip fetch
// run side by side, and one's cleanup must not close the other's socket.
// Nothing of it is left for this library's unloading: ws2_32.dll, loaded
// after this library, is let go before it when the process ends.
SharedStartup& WinsockStartup() {
  static SharedStartup startup(
      [] {
        WSADATA data;
        return Winsock().complete && Winsock().startup(MAKEWORD(2, 2), &data) == 0;
      },
      [] { Winsock().cleanup(); });
  return startup;
}

class WinsockTransport : public CddbTransport {
 public:
  LibError Exchange(const HttpTarget& target, const std::string& request, const CddbLimits& limits,
                    CddbClock::time_point deadline, std::string* reply) override {
    reply->clear();
    // Declared first, so the sockets and addresses below go before it.  A
    // missing library fails the exchange as a failed start of Winsock does.
    const SharedStartupUse winsock(WinsockStartup());
    if (!winsock.entered()) return kErrCddbNetwork;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    AddressList addresses;
    const std::string port = std::to_string(target.port);
    if (Winsock().resolve(target.host.c_str(), port.c_str(), &hints, addresses.out()) != 0) return kErrCddbNetwork;
    LibError error = kErrCddbNetwork;
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next) {
      SOCKET raw = INVALID_SOCKET;
      error = ConnectTo(address, limits, deadline, &raw);
      if (error == kErrCddbTimeout) return error;
      if (error != kErrNone) continue;
      Socket connected(raw);
      error = SendAll(raw, request, limits, deadline);
      if (error != kErrNone) return error;
      return ReceiveAll(raw, limits, deadline, reply);
    }
    return error;
  }
};

std::string Utf8ToAnsi(const std::string& utf8) {
  if (utf8.empty()) return "";
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  if (wide_length <= 0) return "";
  std::vector<wchar_t> wide(static_cast<size_t>(wide_length));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), wide_length);
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return "";
  std::string ansi(size_t(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, &ansi[0], length, nullptr, nullptr);
  return ansi;
}

}  // namespace

std::unique_ptr<CddbTransport> MakeWinsockTransport() { return std::make_unique<WinsockTransport>(); }

TextCodec AnsiCodec() {
  return {Utf8ToAnsi, [](unsigned char c) { return IsDBCSLeadByte(c) != 0; }};
}

}  // namespace akrip
