// What the bridge needs to know about the Windows Media Encoder automation
// component: its identifiers, the vtable slots of the operations it calls,
// the event dispatch ids and the fixed encoding choices.
#pragma once

#include <windows.h>

#include "rip/rip_job.h"

namespace wma {

// {632B606A-BBC6-11D2-A329-006097C4E476}
constexpr GUID kEncoderClassId = {0x632B606A, 0xBBC6, 0x11D2, {0xA3, 0x29, 0x00, 0x60, 0x97, 0xC4, 0xE4, 0x76}};
// {632B607F-BBC6-11D2-A329-006097C4E476}
constexpr GUID kEncoderInterfaceId = {0x632B607F, 0xBBC6, 0x11D2, {0xA3, 0x29, 0x00, 0x60, 0x97, 0xC4, 0xE4, 0x76}};
// {632B6062-BBC6-11D2-A329-006097C4E476}: the events, as a dispatch interface.
constexpr GUID kEncoderEventsId = {0x632B6062, 0xBBC6, 0x11D2, {0xA3, 0x29, 0x00, 0x60, 0x97, 0xC4, 0xE4, 0x76}};

// Vtable slots.  Every interface of the component derives from IDispatch,
// so its own operations start at slot 7.
namespace slot {
constexpr int kEncoderStart = 10;                  // ()
constexpr int kEncoderSourceGroupCollection = 26;  // (IDispatch** collection)
constexpr int kEncoderFile = 32;                   // (IDispatch** file)
constexpr int kEncoderProfileCollection = 34;      // (IDispatch** collection)
constexpr int kSourceGroupCollectionAdd = 11;      // (BSTR name, IDispatch** group)
constexpr int kSourceGroupAddSource = 11;          // (long source type, IDispatch** source)
constexpr int kSourceGroupPutProfile = 14;         // (VARIANT profile, VT_UNKNOWN)
constexpr int kSourceSetInput = 8;                 // (BSTR input, BSTR scheme, BSTR stream)
constexpr int kFilePutLocalFileName = 8;           // (BSTR path)
constexpr int kProfileCollectionCount = 8;         // (long* count)
constexpr int kProfileCollectionItem = 12;         // (long index, IDispatch** profile)
constexpr int kProfileName = 7;                    // (BSTR* name)
}  // namespace slot

// Dispatch ids of the events and the argument count each carries.
namespace event {
constexpr DISPID kStateChange = 1150;  // 1: the new state
constexpr DISPID kError = 1151;        // 1
constexpr DISPID kArchiveStateChange = 1152;
constexpr DISPID kConfigChange = 1153;
constexpr DISPID kClientConnect = 1154;
constexpr DISPID kClientDisconnect = 1155;
constexpr DISPID kSourceStateChange = 1156;  // 4
constexpr DISPID kIndexerStateChange = 1157;
}  // namespace event

// Encoder states; others may be reported and are relayed as they come.
constexpr long kStateStarting = kEncoderStarting;
constexpr long kStateRunning = kEncoderRunning;
constexpr long kStateStopping = kEncoderStopping;
constexpr long kStateStopped = kEncoderStopped;

constexpr wchar_t kSourceGroupName[] = L"Group1";
constexpr long kAudioSource = 1;
constexpr wchar_t kProfileName[] = L"Windows Media Audio 8 for ISDN (Better than CD quality, 128 Kbps)";

}  // namespace wma
