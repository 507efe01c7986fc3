#include "rip/wma_encoder.h"

#include <objbase.h>
#include <oleauto.h>

#include <algorithm>

#include "common/file_exists.h"
#include "common/win_owners.h"
#include "controls/bstr_convert.h"
#include "rip/format_encoders.h"
#include "rip/rip_job.h"
#include "rip/wma_com.h"
#include "rip/wma_constants.h"
#include "rip/wma_error_dialog.h"
#include "rip/wma_event_sink.h"

namespace wma {

namespace {

constexpr int32_t kEncoderError = 5;  // "An internal encoder error has occurred."

struct StateRelay {
  HWND window;
  HANDLE stopped;
};

// Runs on this thread from the event dispatch of the wait below.
void RelayState(void* context, long state) {
  auto* relay = static_cast<StateRelay*>(context);
  if (IsWindow(relay->window)) PostMessageA(relay->window, WM_USER, kRipMsgEncoderState, LPARAM(state));
  if (state == kStateStopped) SetEvent(relay->stopped);
}

// The sink as long as the encode runs: one reference, one disconnect.
class SinkConnection {
 public:
  SinkConnection(IUnknown* encoder, StateRelay* relay) : sink_(EncoderEventSink::Connect(encoder, RelayState, relay)) {}
  ~SinkConnection() {
    sink_->Disconnect();
    sink_->Release();
  }
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;

 private:
  EncoderEventSink* sink_;
};

ComRef CreateEncoder() {
  IUnknown* encoder = nullptr;
  const HRESULT hr = CoCreateInstance(kEncoderClassId, nullptr, CLSCTX_INPROC_SERVER, kEncoderInterfaceId,
                                      reinterpret_cast<void**>(&encoder));
  if (FAILED(hr) || !encoder) throw ENoInterface();
  return ComRef::Adopt(encoder);
}

class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {
    if (!value_) throw EOutOfMemory();
  }
  explicit Bstr(const char* text) : value_(TextToBstr(text, CP_ACP)) {
    if (!value_) throw EOutOfMemory();
  }
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

bool NameIsWantedProfile(const ComRef& profile) {
  BSTR name = nullptr;
  const HRESULT hr = CallSlot(profile.get(), slot::kProfileName, &name);
  const bool wanted = SUCCEEDED(hr) && name && lstrcmpiW(name, kProfileName) == 0;
  SysFreeString(name);
  return wanted;
}

// The first profile whose name is the wanted one, in any letter case.
ComRef FindProfile(const ComRef& profiles) {
  long count = 0;
  if (!profiles || FAILED(CallSlot(profiles.get(), slot::kProfileCollectionCount, &count))) return ComRef();
  for (long i = 0; i < count; ++i) {
    ComRef profile = GetSubObject(profiles, slot::kProfileCollectionItem, i);
    if (profile && NameIsWantedProfile(profile)) return profile;
  }
  return ComRef();
}

bool SetProfile(const ComRef& group, const ComRef& profile) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_UNKNOWN;
  V_UNKNOWN(&value) = profile.get();  // lent for the call, as any [in] argument
  return SUCCEEDED(CallSlot(group.get(), slot::kSourceGroupPutProfile, value));
}

void DispatchQueuedMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Sleeps until the event is set, a message arrives (dispatched here: the
// component's events come that way) or the time is up.  True once the event
// is set.
bool WaitDispatching(HANDLE event, DWORD timeout_ms) {
  const DWORD woke = MsgWaitForMultipleObjectsEx(1, &event, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woke == WAIT_OBJECT_0) return true;
  if (woke == WAIT_OBJECT_0 + 1) {
    DispatchQueuedMessages();
  } else if (woke == WAIT_FAILED) {
    Sleep(timeout_ms);
  }
  return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

bool StopRequested(const WmaEncodeRequest& request) { return request.stop && request.stop->load(); }

// Waits for the stopped state.  After a stop request the component gets the
// grace time to finish (it is not told to stop); false when it did not.
bool WaitForStoppedState(HANDLE stopped, const WmaEncodeRequest& request) {
  while (!StopRequested(request)) {
    if (WaitDispatching(stopped, kWmaStopPollMs)) return true;
  }
  const DWORD began = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - began;
    if (waited >= request.stop_grace_ms) return WaitForSingleObject(stopped, 0) == WAIT_OBJECT_0;
    if (WaitDispatching(stopped, std::min(request.stop_grace_ms - waited, kWmaStopPollMs))) return true;
  }
}

// Steps 3 to 5 of an encode on a connected encoder.
WmaEncodeOutcome ConfigureAndRun(const ComRef& encoder, HANDLE stopped, const WmaEncodeRequest& request,
                                 const char* full_wav_path) {
  const WmaEncodeOutcome failed{kEncoderError, false};
  ComRef groups = GetSubObject(encoder, slot::kEncoderSourceGroupCollection);
  const Bstr group_name(kSourceGroupName);
  ComRef group = GetSubObject(groups, slot::kSourceGroupCollectionAdd, group_name.get());
  ComRef source = GetSubObject(group, slot::kSourceGroupAddSource, kAudioSource);
  if (!source) return failed;
  const Bstr input(full_wav_path);
  const Bstr no_text(L"");
  if (FAILED(CallSlot(source.get(), slot::kSourceSetInput, input.get(), no_text.get(), no_text.get()))) {
    return failed;
  }
  ComRef file = GetSubObject(encoder, slot::kEncoderFile);
  if (!file || !request.wma_path || !*request.wma_path) return failed;
  const Bstr output(request.wma_path);
  if (FAILED(CallSlot(file.get(), slot::kFilePutLocalFileName, output.get()))) return failed;
  ComRef profiles = GetSubObject(encoder, slot::kEncoderProfileCollection);
  ComRef profile = FindProfile(profiles);
  if (!profile || !SetProfile(group, profile)) return failed;
  if (FAILED(CallSlot(encoder.get(), slot::kEncoderStart))) return failed;
  if (WaitForStoppedState(stopped, request)) return {};
  // The user stopped the job; a component that did not finish in the grace
  // time after that is no error of theirs to read about.
  return {0, true};
}

WmaEncodeOutcome Encode(const WmaEncodeRequest& request) {
  char full_wav_path[MAX_PATH];
  const DWORD length = request.wav_path ? GetFullPathNameA(request.wav_path, MAX_PATH, full_wav_path, nullptr) : 0;
  if (length == 0 || length >= MAX_PATH) return {kEncoderError, false};
  const bool output_existed = request.wma_path && FileExists(request.wma_path);

  ComRef encoder = CreateEncoder();
  KernelHandle stopped(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!stopped) throw Exception();
  StateRelay relay{request.job_window, stopped.get()};
  WmaEncodeOutcome outcome;
  {
    SinkConnection sink(encoder.get(), &relay);
    outcome = ConfigureAndRun(encoder, stopped.get(), request, full_wav_path);
  }
  encoder.Reset();
  // An output given up is incomplete.  Only a file this encode made is
  // removed; one that was there before is not ours to delete.
  const bool complete = outcome.result == 0 && !outcome.wav_in_use;
  if (!complete && !output_existed && request.wma_path) DeleteFileA(request.wma_path);
  return outcome;
}

}  // namespace

}  // namespace wma

WmaEncodeOutcome EncodeWmaFile(const WmaEncodeRequest& request) {
  try {
    return wma::Encode(request);
  } catch (const wma::Exception&) {
    AskForWmaErrorDialog(request.job_window);
    return {};
  }
}

int32_t EncodeWmaTrack(HWND job_window, const char* wav_path, const char* wma_path, const std::atomic<bool>& stop) {
  WmaEncodeRequest request;
  request.job_window = job_window;
  request.wav_path = wav_path;
  request.wma_path = wma_path;
  request.stop = &stop;
  const WmaEncodeOutcome outcome = EncodeWmaFile(request);
  if (outcome.wav_in_use) return kEncodeGivenUp;
  if (wav_path) DeleteFileA(wav_path);
  return outcome.result;
}
