#include "stand_in_encoder.h"

#include <olectl.h>

#include <algorithm>

#include "rip/wma_constants.h"

namespace stand_in {

namespace {

constexpr char kWindowClass[] = "CorvaleStandInEncoder";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kFastTickMs = 10;
constexpr UINT kSlowTickMs = 50;
constexpr DWORD kCopyBlock = 65536;
constexpr long kSourceRunning = 2;

HWND CreateMessageWindow(void* owner, WNDPROC procedure) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = Module();
  window_class.lpszClassName = kWindowClass;
  RegisterClassA(&window_class);  // fails harmlessly when registered already
  HWND window = CreateWindowA(kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module(), nullptr);
  if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

template <typename T>
HRESULT HandOutLazily(T** member, IDispatch** result) {
  if (!result) return E_POINTER;
  if (!*member) *member = new T();
  (*member)->AddRef();
  *result = *member;
  return S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID iid, void** result) {
  if (!result) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *result = this;
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::AddRef() { return encoder_->AddRef(); }
ULONG STDMETHODCALLTYPE EventConnectionPoint::Release() { return encoder_->Release(); }

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = wma::kEncoderEventsId;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = encoder_;
  encoder_->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  IDispatch* events = nullptr;
  if (FAILED(sink->QueryInterface(wma::kEncoderEventsId, reinterpret_cast<void**>(&events))) || !events) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = encoder_->next_cookie_++;
  encoder_->connections_.push_back({*cookie, events});
  InterlockedIncrement(&Record().advised_sinks);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
  InterlockedIncrement(&Record().unadvise_calls);
  auto& connections = encoder_->connections_;
  const auto found = std::find_if(connections.begin(), connections.end(),
                                  [cookie](const Encoder::Connection& c) { return c.cookie == cookie; });
  if (found == connections.end()) {
    InterlockedIncrement(&Record().bad_unadvise_calls);
    return CONNECT_E_NOCONNECTION;
  }
  IDispatch* sink = found->sink;
  connections.erase(found);
  InterlockedDecrement(&Record().advised_sinks);
  sink->Release();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections**) { return Unexpected(); }

Encoder::Encoder() : creating_thread_(GetCurrentThreadId()) {}

Encoder::~Encoder() {
  if (window_) {
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
  }
  CloseFiles();
  // Connections nobody ended: let the sinks go, but they stay counted.
  for (const Connection& connection : connections_) connection.sink->Release();
  if (groups_) groups_->Release();
  if (file_) file_->Release();
  if (profiles_) profiles_->Release();
}

HRESULT STDMETHODCALLTYPE Encoder::QueryInterface(REFIID iid, void** result) {
  if (!result) return E_POINTER;
  if (IsEqualIID(iid, wma::kEncoderInterfaceId)) {
    *result = static_cast<IEncoder*>(this);
    AddRef();
    return S_OK;
  }
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *result = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
  }
  return Object::QueryInterface(iid, result);
}

HRESULT STDMETHODCALLTYPE Encoder::EnumConnectionPoints(IEnumConnectionPoints**) { return Unexpected(); }

HRESULT STDMETHODCALLTYPE Encoder::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, wma::kEncoderEventsId)) return CONNECT_E_NOCONNECTION;
  *point = &point_;
  point_.AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Encoder::get_SourceGroupCollection(IDispatch** groups) {
  return HandOutLazily(&groups_, groups);
}

HRESULT STDMETHODCALLTYPE Encoder::get_File(IDispatch** file) { return HandOutLazily(&file_, file); }

HRESULT STDMETHODCALLTYPE Encoder::get_ProfileCollection(IDispatch** profiles) {
  return HandOutLazily(&profiles_, profiles);
}

HRESULT STDMETHODCALLTYPE Encoder::Start() {
  InterlockedIncrement(&Record().starts);
  const SourceGroup* group = groups_ ? groups_->first() : nullptr;
  if (!group || !group->source() || group->source()->input().empty() || group->profile_name().empty() || !file_ ||
      file_->path().empty()) {
    return E_FAIL;
  }
  if (phase_ != Phase::kIdle) return E_UNEXPECTED;
  input_ =
      CreateFileW(group->source()->input().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  if (input_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(input_, &size)) {
    CloseFiles();
    return E_FAIL;
  }
  input_size_ = ULONGLONG(size.QuadPart);
  output_ = CreateFileW(file_->path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (output_ == INVALID_HANDLE_VALUE ||
      !WriteFile(output_, kStandInOutputTag, sizeof kStandInOutputTag, &written, nullptr) || Behaviour().start_fails) {
    CloseFiles();
    return E_FAIL;
  }
  window_ = CreateMessageWindow(this, WindowProc);
  if (!window_) {
    CloseFiles();
    return E_FAIL;
  }
  SetTimer(window_, kTimerId, Behaviour().encode_ms ? kSlowTickMs : kFastTickMs, nullptr);
  phase_ = Phase::kStarting;
  return S_OK;
}

LRESULT CALLBACK Encoder::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* encoder = reinterpret_cast<Encoder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_TIMER && wparam == kTimerId && encoder) {
    // The client's own events may release the encoder; keep it for the tick.
    encoder->AddRef();
    encoder->in_dispatch_ = true;
    encoder->Tick();
    encoder->in_dispatch_ = false;
    encoder->Release();
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void Encoder::Tick() {
  switch (phase_) {
    case Phase::kStarting:
      FireState(wma::kStateStarting);
      phase_ = Phase::kRunning;
      break;
    case Phase::kRunning: {
      FireState(wma::kStateRunning);
      VARIANT arguments[4];
      for (VARIANT& argument : arguments) {
        VariantInit(&argument);
        V_VT(&argument) = VT_I4;
        V_I4(&argument) = kSourceRunning;
      }
      Fire(wma::event::kSourceStateChange, arguments, 4);
      copy_began_ = GetTickCount();
      phase_ = Phase::kCopying;
      break;
    }
    case Phase::kCopying:
      if (CopyInput()) phase_ = Phase::kStopping;
      break;
    case Phase::kStopping:
      CloseFiles();
      FireState(wma::kStateStopping);
      phase_ = Phase::kStopped;
      break;
    case Phase::kStopped:
      KillTimer(window_, kTimerId);
      phase_ = Phase::kDone;
      if (Behaviour().reports_stopped) FireState(wma::kStateStopped);
      break;
    default:
      break;
  }
}

// Copies as much of the input as the encode's pace allows; true when all is copied.
bool Encoder::CopyInput() {
  const DWORD pace = Behaviour().encode_ms;
  const ULONGLONG elapsed = GetTickCount() - copy_began_;
  const ULONGLONG due = pace == 0 || elapsed >= pace ? input_size_ : input_size_ * elapsed / pace;
  static char block[kCopyBlock];
  while (copied_ < due) {
    DWORD read = 0;
    const DWORD wanted = DWORD(std::min<ULONGLONG>(kCopyBlock, due - copied_));
    if (!ReadFile(input_, block, wanted, &read, nullptr) || read == 0) return true;
    DWORD written = 0;
    if (!WriteFile(output_, block, read, &written, nullptr) || written != read) return true;
    copied_ += read;
  }
  return copied_ >= input_size_;
}

void Encoder::FireState(long state) {
  VARIANT argument;
  VariantInit(&argument);
  V_VT(&argument) = VT_I4;
  V_I4(&argument) = state;
  InterlockedIncrement(&Record().states_fired);
  Fire(wma::event::kStateChange, &argument, 1);
}

void Encoder::Fire(DISPID id, VARIANT* arguments, UINT count) {
  if (GetCurrentThreadId() != creating_thread_) InterlockedIncrement(&Record().events_off_thread);
  if (!in_dispatch_) InterlockedIncrement(&Record().events_outside_dispatch);
  // A sink may disconnect while it handles the event.
  std::vector<IDispatch*> sinks;
  for (const Connection& connection : connections_) {
    connection.sink->AddRef();
    sinks.push_back(connection.sink);
  }
  DISPPARAMS params{arguments, nullptr, count, 0};
  for (IDispatch* sink : sinks) {
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    sink->Release();
  }
}

void Encoder::CloseFiles() {
  if (input_ != INVALID_HANDLE_VALUE) CloseHandle(input_);
  if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
  input_ = INVALID_HANDLE_VALUE;
  output_ = INVALID_HANDLE_VALUE;
}

}  // namespace stand_in
