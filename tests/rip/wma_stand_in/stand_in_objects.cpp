#include "stand_in_objects.h"

#include <shlwapi.h>

#include "rip/wma_constants.h"

namespace stand_in {

namespace {

constexpr wchar_t kNearMissProfile[] = L"Windows Media Audio 8 for ISDN (Better than CD quality, 128 Kbps) Mono";

template <typename T, typename Interface>
HRESULT HandOut(T* object, Interface** result) {
  if (!result) return E_POINTER;
  object->AddRef();
  *result = object;
  return S_OK;
}

// The profile behind a VARIANT that the bridge passes as VT_UNKNOWN: the
// stand-in only ever hands out its own profiles, which answer IDispatch with
// their IProfile vtable.
const Profile* ProfileOf(const VARIANT& value) {
  if (V_VT(&value) != VT_UNKNOWN || !V_UNKNOWN(&value)) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(V_UNKNOWN(&value)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return nullptr;
  const auto* profile = static_cast<const Profile*>(static_cast<IProfile*>(dispatch));
  dispatch->Release();
  return profile;
}

}  // namespace

void Remember(wchar_t* field, size_t size, const std::wstring& text) { lstrcpynW(field, text.c_str(), int(size)); }

HRESULT STDMETHODCALLTYPE Profile::get_Name(BSTR* name) {
  if (!name) return E_POINTER;
  *name = SysAllocString(name_.c_str());
  return *name ? S_OK : E_OUTOFMEMORY;
}

ProfileCollection::ProfileCollection() {
  std::wstring wanted = wma::kProfileName;
  if (Behaviour().profile_other_case) CharUpperW(&wanted[0]);
  profiles_.push_back(new Profile(L"Windows Media Audio 8 for Dial-up Modem (Mono, 16 Kbps)"));
  profiles_.push_back(new Profile(kNearMissProfile));
  if (Behaviour().offers_profile) profiles_.push_back(new Profile(wanted));
  profiles_.push_back(new Profile(L"Windows Media Video 8 for Local Area Network (384 Kbps)"));
}

ProfileCollection::~ProfileCollection() {
  for (Profile* profile : profiles_) profile->Release();
}

HRESULT STDMETHODCALLTYPE ProfileCollection::get_Count(long* count) {
  if (!count) return E_POINTER;
  *count = long(profiles_.size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ProfileCollection::Item(long index, IDispatch** profile) {
  if (index < 0 || size_t(index) >= profiles_.size()) return E_INVALIDARG;
  return HandOut<Profile, IDispatch>(profiles_[size_t(index)], profile);
}

HRESULT STDMETHODCALLTYPE Source::SetInput(BSTR input, BSTR scheme, BSTR stream) {
  if (!input) return E_INVALIDARG;
  Remember(Record().input_path, MAX_PATH, input);
  // The component resolves nothing against its caller's working folder.
  if (PathIsRelativeW(input)) return E_INVALIDARG;
  if ((scheme && *scheme) || (stream && *stream)) return E_INVALIDARG;
  input_ = input;
  return S_OK;
}

SourceGroup::~SourceGroup() {
  if (source_) source_->Release();
}

HRESULT STDMETHODCALLTYPE SourceGroup::AddSource(long type, IDispatch** source) {
  if (type != wma::kAudioSource || source_) return E_INVALIDARG;
  source_ = new Source();
  return HandOut<Source, IDispatch>(source_, source);
}

HRESULT STDMETHODCALLTYPE SourceGroup::put_Profile(VARIANT profile) {
  const Profile* chosen = ProfileOf(profile);
  if (!chosen) return E_INVALIDARG;
  profile_name_ = chosen->name();
  Remember(Record().chosen_profile, ARRAYSIZE(Record().chosen_profile), profile_name_);
  return S_OK;
}

SourceGroupCollection::~SourceGroupCollection() {
  for (SourceGroup* group : groups_) group->Release();
}

HRESULT STDMETHODCALLTYPE SourceGroupCollection::Add(BSTR name, IDispatch** group) {
  if (!name || lstrcmpW(name, wma::kSourceGroupName) != 0) return E_INVALIDARG;
  groups_.push_back(new SourceGroup());
  return HandOut<SourceGroup, IDispatch>(groups_.back(), group);
}

HRESULT STDMETHODCALLTYPE File::put_LocalFileName(BSTR path) {
  if (!path) return E_INVALIDARG;
  Remember(Record().output_path, MAX_PATH, path);
  if (Behaviour().refuses_output) return E_ACCESSDENIED;
  path_ = path;
  return S_OK;
}

}  // namespace stand_in
