// The stand-in's encoder object: the component's encoder interface, its
// connection point for the events, and an encode that copies the WAV into
// the output file while it reports its states from the creating thread's
// message loop.
#pragma once

#include "stand_in_objects.h"
#include "support/stand_in_connection_point.h"

namespace stand_in {

struct IEncoder : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  STAND_IN_PLACEHOLDER(8)
  STAND_IN_PLACEHOLDER(9)
  virtual HRESULT STDMETHODCALLTYPE Start() = 0;  // 10
  STAND_IN_PLACEHOLDER(11)
  STAND_IN_PLACEHOLDER(12)
  STAND_IN_PLACEHOLDER(13)
  STAND_IN_PLACEHOLDER(14)
  STAND_IN_PLACEHOLDER(15)
  STAND_IN_PLACEHOLDER(16)
  STAND_IN_PLACEHOLDER(17)
  STAND_IN_PLACEHOLDER(18)
  STAND_IN_PLACEHOLDER(19)
  STAND_IN_PLACEHOLDER(20)
  STAND_IN_PLACEHOLDER(21)
  STAND_IN_PLACEHOLDER(22)
  STAND_IN_PLACEHOLDER(23)
  STAND_IN_PLACEHOLDER(24)
  STAND_IN_PLACEHOLDER(25)
  virtual HRESULT STDMETHODCALLTYPE get_SourceGroupCollection(IDispatch** groups) = 0;  // 26
  STAND_IN_PLACEHOLDER(27)
  STAND_IN_PLACEHOLDER(28)
  STAND_IN_PLACEHOLDER(29)
  STAND_IN_PLACEHOLDER(30)
  STAND_IN_PLACEHOLDER(31)
  virtual HRESULT STDMETHODCALLTYPE get_File(IDispatch** file) = 0;  // 32
  STAND_IN_PLACEHOLDER(33)
  virtual HRESULT STDMETHODCALLTYPE get_ProfileCollection(IDispatch** profiles) = 0;  // 34
};

class Encoder final : public Object<Encoder, IEncoder>, public IConnectionPointContainer {
 public:
  Encoder();
  ~Encoder();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return Object::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Object::Release(); }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  HRESULT STDMETHODCALLTYPE Start() override;
  HRESULT STDMETHODCALLTYPE get_SourceGroupCollection(IDispatch** groups) override;
  HRESULT STDMETHODCALLTYPE get_File(IDispatch** file) override;
  HRESULT STDMETHODCALLTYPE get_ProfileCollection(IDispatch** profiles) override;

 private:
  enum class Phase { kIdle, kStarting, kRunning, kCopying, kStopping, kStopped, kDone };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Tick();
  bool CopyInput();
  void FireState(long state);
  void Fire(DISPID id, VARIANT* arguments, UINT count);
  void CloseFiles();

  com_stand_in::ConnectionPoint point_;
  DWORD creating_thread_;
  SourceGroupCollection* groups_ = nullptr;
  File* file_ = nullptr;
  ProfileCollection* profiles_ = nullptr;

  Phase phase_ = Phase::kIdle;
  HWND window_ = nullptr;
  bool in_dispatch_ = false;
  HANDLE input_ = INVALID_HANDLE_VALUE;
  HANDLE output_ = INVALID_HANDLE_VALUE;
  ULONGLONG input_size_ = 0;
  ULONGLONG copied_ = 0;
  DWORD copy_began_ = 0;
};

}  // namespace stand_in
