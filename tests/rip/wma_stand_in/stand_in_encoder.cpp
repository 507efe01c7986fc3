#include "stand_in_encoder.h"

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

// Connections nobody ended are let go with the encoder but stay counted.
com_stand_in::ConnectionPointSettings EventSettings() {
  com_stand_in::ConnectionPointSettings settings;
  settings.events = wma::kEncoderEventsId;
  settings.advised = &Record().advised_sinks;
  settings.unadvise_calls = &Record().unadvise_calls;
  settings.bad_unadvise_calls = &Record().bad_unadvise_calls;
  settings.leftovers_stay_counted = true;
  settings.unexpected = Unexpected;
  return settings;
}

}  // namespace

Encoder::Encoder() : point_(this, EventSettings()), creating_thread_(GetCurrentThreadId()) {}

Encoder::~Encoder() {
  if (window_) {
    KillTimer(window_, kTimerId);
    DestroyWindow(window_);
  }
  CloseFiles();
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
  return point_.Find(iid, point);
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
  DISPPARAMS params{arguments, nullptr, count, 0};
  point_.Fire(id, &params);
}

void Encoder::CloseFiles() {
  if (input_ != INVALID_HANDLE_VALUE) CloseHandle(input_);
  if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
  input_ = INVALID_HANDLE_VALUE;
  output_ = INVALID_HANDLE_VALUE;
}

}  // namespace stand_in
