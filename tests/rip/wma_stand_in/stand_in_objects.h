// The objects of the stand-in encoder component.  Their vtables follow the
// slots the bridge calls; every other slot of the component's interfaces is
// a placeholder that only counts the call.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "stand_in_control.h"

namespace stand_in {

StandInBehaviour& Behaviour();
StandInRecord& Record();
HINSTANCE Module();
HRESULT Unexpected();

#define STAND_IN_PLACEHOLDER(n) \
  virtual HRESULT STDMETHODCALLTYPE Slot##n() { return Unexpected(); }

// IUnknown and IDispatch for one interface of an object that is destroyed
// with its last reference.  No virtual destructor: it would take vtable slots.
template <typename Derived, typename Interface>
class Object : public Interface {
 public:
  Object() { InterlockedIncrement(&Record().live_objects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *result = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete static_cast<Derived*>(this);
      InterlockedDecrement(&Record().live_objects);
    }
    return ULONG(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return Unexpected(); }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return Unexpected();
  }

 private:
  LONG references_ = 1;
};

struct IProfile : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;  // 7
};

struct IProfileCollection : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;  // 8
  STAND_IN_PLACEHOLDER(9)
  STAND_IN_PLACEHOLDER(10)
  STAND_IN_PLACEHOLDER(11)
  virtual HRESULT STDMETHODCALLTYPE Item(long index, IDispatch** profile) = 0;  // 12
};

struct ISource : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  virtual HRESULT STDMETHODCALLTYPE SetInput(BSTR input, BSTR scheme, BSTR stream) = 0;  // 8
};

struct ISourceGroup : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  STAND_IN_PLACEHOLDER(8)
  STAND_IN_PLACEHOLDER(9)
  STAND_IN_PLACEHOLDER(10)
  virtual HRESULT STDMETHODCALLTYPE AddSource(long type, IDispatch** source) = 0;  // 11
  STAND_IN_PLACEHOLDER(12)
  STAND_IN_PLACEHOLDER(13)
  virtual HRESULT STDMETHODCALLTYPE put_Profile(VARIANT profile) = 0;  // 14
};

struct ISourceGroupCollection : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  STAND_IN_PLACEHOLDER(8)
  STAND_IN_PLACEHOLDER(9)
  STAND_IN_PLACEHOLDER(10)
  virtual HRESULT STDMETHODCALLTYPE Add(BSTR name, IDispatch** group) = 0;  // 11
};

struct IFile : IDispatch {
  STAND_IN_PLACEHOLDER(7)
  virtual HRESULT STDMETHODCALLTYPE put_LocalFileName(BSTR path) = 0;  // 8
};

class Profile final : public Object<Profile, IProfile> {
 public:
  explicit Profile(std::wstring name) : name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
  const std::wstring& name() const { return name_; }

 private:
  std::wstring name_;
};

class ProfileCollection final : public Object<ProfileCollection, IProfileCollection> {
 public:
  ProfileCollection();
  ~ProfileCollection();
  HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
  HRESULT STDMETHODCALLTYPE Item(long index, IDispatch** profile) override;

 private:
  std::vector<Profile*> profiles_;
};

class Source final : public Object<Source, ISource> {
 public:
  HRESULT STDMETHODCALLTYPE SetInput(BSTR input, BSTR scheme, BSTR stream) override;
  const std::wstring& input() const { return input_; }

 private:
  std::wstring input_;
};

class SourceGroup final : public Object<SourceGroup, ISourceGroup> {
 public:
  ~SourceGroup();
  HRESULT STDMETHODCALLTYPE AddSource(long type, IDispatch** source) override;
  HRESULT STDMETHODCALLTYPE put_Profile(VARIANT profile) override;
  const Source* source() const { return source_; }
  const std::wstring& profile_name() const { return profile_name_; }

 private:
  Source* source_ = nullptr;
  std::wstring profile_name_;
};

class SourceGroupCollection final : public Object<SourceGroupCollection, ISourceGroupCollection> {
 public:
  ~SourceGroupCollection();
  HRESULT STDMETHODCALLTYPE Add(BSTR name, IDispatch** group) override;
  const SourceGroup* first() const { return groups_.empty() ? nullptr : groups_.front(); }

 private:
  std::vector<SourceGroup*> groups_;
};

class File final : public Object<File, IFile> {
 public:
  HRESULT STDMETHODCALLTYPE put_LocalFileName(BSTR path) override;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Copies a text into a fixed field of the record, always terminated.
void Remember(wchar_t* field, size_t size, const std::wstring& text);

}  // namespace stand_in
