#include "rip/wma_event_sink.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <vector>

#include "rip/wma_com.h"
#include "rip/wma_constants.h"
#include "stand_in_component.h"

namespace {

using rip_tests::StandInComponent;

void RecordState(void* context, long state) { static_cast<std::vector<long>*>(context)->push_back(state); }

class EventSink : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(component_.registered());
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(wma::kEncoderClassId, nullptr, CLSCTX_INPROC_SERVER,
                                           wma::kEncoderInterfaceId, reinterpret_cast<void**>(&encoder_))));
  }
  void TearDown() override {
    if (encoder_) encoder_->Release();
    EXPECT_EQ(component_.Read().live_objects, 0);
    CoUninitialize();
  }

  HRESULT Invoke(IDispatch* sink, DISPID id, WORD flags, std::vector<VARIANT> arguments) {
    DISPPARAMS params{arguments.data(), nullptr, UINT(arguments.size()), 0};
    return sink->Invoke(id, IID_NULL, 0, flags, &params, nullptr, nullptr, nullptr);
  }
  static VARIANT Long(long value) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = value;
    return variant;
  }

  StandInComponent component_;
  IUnknown* encoder_ = nullptr;
  std::vector<long> states_;
};

// The creator's reference and one disconnect: the connection's own
// reference goes with Unadvise, never a second teardown.
TEST_F(EventSink, ConnectsOnceAndTearsDownOnce) {
  wma::EncoderEventSink* sink = wma::EncoderEventSink::Connect(encoder_, RecordState, &states_);
  EXPECT_TRUE(sink->connected());
  EXPECT_EQ(component_.Read().advised_sinks, 1);
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 1);

  sink->Disconnect();
  sink->Disconnect();
  EXPECT_FALSE(sink->connected());
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 1);
  EXPECT_EQ(sink->Release(), 0u);

  const StandInRecord record = component_.Read();
  EXPECT_EQ(record.advised_sinks, 0);
  EXPECT_EQ(record.unadvise_calls, 1);
  EXPECT_EQ(record.bad_unadvise_calls, 0);
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
}

TEST_F(EventSink, PassesOnOnlyStateChangesCalledAsMethodsWithOneArgument) {
  wma::EncoderEventSink* sink = wma::EncoderEventSink::Connect(encoder_, RecordState, &states_);
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_METHOD, {Long(2)}), S_OK);
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_PROPERTYGET, {Long(3)}), S_OK);
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_METHOD, {Long(4), Long(4)}), S_OK);
  EXPECT_EQ(Invoke(sink, wma::event::kError, DISPATCH_METHOD, {Long(6)}), S_OK);
  EXPECT_EQ(Invoke(sink, wma::event::kSourceStateChange, DISPATCH_METHOD, {Long(7), Long(7), Long(7), Long(7)}), S_OK);
  EXPECT_EQ(Invoke(sink, 42, DISPATCH_METHOD, {Long(8)}), S_OK);
  EXPECT_EQ(sink->Invoke(wma::event::kStateChange, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
            S_OK);

  // A state sent as another integer type, or by reference, is still a state.
  VARIANT small;
  VariantInit(&small);
  V_VT(&small) = VT_I2;
  V_I2(&small) = 5;
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_METHOD, {small}), S_OK);
  long referenced = 1;
  VARIANT by_reference;
  VariantInit(&by_reference);
  V_VT(&by_reference) = VT_I4 | VT_BYREF;
  V_I4REF(&by_reference) = &referenced;
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_METHOD, {by_reference}), S_OK);

  EXPECT_EQ(states_, (std::vector<long>{2, 5, 1}));
  sink->Disconnect();
  sink->Release();
}

TEST_F(EventSink, AnswersForItsThreeInterfacesOnly) {
  wma::EncoderEventSink* sink = wma::EncoderEventSink::Connect(encoder_, nullptr, nullptr);
  for (const IID& iid : {IID_IUnknown, IID_IDispatch, wma::kEncoderEventsId}) {
    void* answer = nullptr;
    EXPECT_EQ(sink->QueryInterface(iid, &answer), S_OK);
    EXPECT_EQ(answer, static_cast<IDispatch*>(sink));
    sink->Release();
  }
  void* answer = reinterpret_cast<void*>(1);
  EXPECT_EQ(sink->QueryInterface(IID_IConnectionPoint, &answer), E_NOINTERFACE);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(sink->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
  UINT count = 9;
  EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(sink->GetTypeInfo(0, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL);
  // Without a state function the events are still acknowledged.
  EXPECT_EQ(Invoke(sink, wma::event::kStateChange, DISPATCH_METHOD, {Long(2)}), S_OK);
  sink->Disconnect();
  sink->Release();
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
}

// An object without the encoder's connection point cannot carry the sink:
// the failure is the bridge's exception, and no sink is left over.
TEST_F(EventSink, AnObjectWithoutTheEventsConnectionRaisesAndLeavesNothing) {
  IUnknown* collection = nullptr;
  ASSERT_EQ(wma::CallSlot(encoder_, wma::slot::kEncoderFile, &collection), S_OK);
  bool raised = false;
  try {
    wma::EncoderEventSink::Connect(collection, RecordState, &states_);
  } catch (const wma::Exception& failure) {
    raised = true;
    EXPECT_STREQ(failure.message(), "Unknown Exception");
  }
  collection->Release();
  EXPECT_TRUE(raised);
  EXPECT_EQ(wma::EncoderEventSink::LiveCount(), 0);
}

}  // namespace
