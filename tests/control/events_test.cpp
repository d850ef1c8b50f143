// Events on both event interfaces, property-change notification, class information and object
// safety, as a host sees them.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <objsafe.h>

#include <string>
#include <vector>

#include "control/com/bstr.h"
#include "control/com/variant.h"
#include "control/kt_qx_installer.h"
#include "tests/control/control_test_support.h"
#include "tests/control/recording_sink.h"

namespace {

class ControlEventsTest : public ::testing::Test {
 protected:
  DWORD Connect(REFIID iid, IUnknown* sink) {
    kt_test::ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()), S_OK);
    kt_test::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(iid, reinterpret_cast<IConnectionPoint**>(point.PutVoid())), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    return cookie;
  }
  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }

  // The control goes first, releasing its sinks while they still exist.
  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  std::vector<std::string> log_;
  kt_test::RecordingSink first_{"A", log_}, second_{"B", log_}, third_{"C", log_};
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
};

TEST_F(ControlEventsTest, EventsReachTheFirstInterfacesSinksFirstThenTheSecondsInConnectionOrder) {
  Connect(DIID__IKtQxInstaller320Events, static_cast<IDispatch*>(&first_));
  Connect(DIID__IKtQxInstaller320_V2Events, static_cast<IDispatch*>(&second_));
  Connect(DIID__IKtQxInstaller320Events, static_cast<IDispatch*>(&third_));

  // No key and no server address: the settings store reports 124, the run 123.
  ASSERT_EQ(control_->StartDownload(), S_OK);
  EXPECT_EQ(log_, (std::vector<std::string>{"A:1:124", "C:1:124", "B:1:124", "A:1:123", "C:1:123", "B:1:123"}));

  log_.clear();
  EXPECT_EQ(Object().FireConfirm(true), VARIANT_TRUE);
  Object().FireProgress("file.dll", 1, 2, "status");
  Object().FireStartDownLoad("list.xml", "file.dll", 3, 4, 1);
  Object().FireEndDownLoad("list.xml", "file.dll", 3, 4, 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"A:4", "C:4", "B:4", "A:5", "C:5", "B:5", "A:2:3", "C:2:3", "B:2:3",
                                           "A:3:3", "C:3:3", "B:3:3"}));
}

TEST_F(ControlEventsTest, ConfirmExReachesOnlyVersionTwoSinksAndTakesTheirMessage) {
  Connect(DIID__IKtQxInstaller320Events, static_cast<IDispatch*>(&first_));
  Connect(DIID__IKtQxInstaller320_V2Events, static_cast<IDispatch*>(&second_));
  kt::com::Variant info;
  std::string message = "in use";
  LONG answer = 0;
  EXPECT_FALSE(Object().FireConfirmEx("KILL", *info.Get(), message, answer));
  EXPECT_EQ(log_, (std::vector<std::string>{"B:6:in use"}));
  EXPECT_EQ(message, "answered");
}

TEST_F(ControlEventsTest, DisconnectedSinksHearNothingAndAreReleased) {
  const DWORD cookie = Connect(DIID__IKtQxInstaller320Events, static_cast<IDispatch*>(&first_));
  EXPECT_GT(first_.references_, 0u);
  kt_test::ComPtr<IConnectionPointContainer> container;
  control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
  kt_test::ComPtr<IConnectionPoint> point;
  container->FindConnectionPoint(DIID__IKtQxInstaller320Events, reinterpret_cast<IConnectionPoint**>(point.PutVoid()));
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(first_.references_, 0u);
  control_->StartDownload();
  EXPECT_TRUE(log_.empty());

  kt_test::ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, reinterpret_cast<IConnectionPoint**>(none.PutVoid())),
            CONNECT_E_NOCONNECTION);
  kt_test::ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(reinterpret_cast<IEnumConnectionPoints**>(points.PutVoid())), S_OK);
  IConnectionPoint* all[4] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(4, all, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 3u);
  for (ULONG i = 0; i < fetched; ++i) all[i]->Release();
}

TEST_F(ControlEventsTest, PutsNotifyPropertyChangeSinks) {
  Connect(IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(&first_));
  control_->put_Width(kt::com::Bstr("640").Get());
  control_->put_Launch(VARIANT_FALSE);
  EXPECT_EQ(log_, (std::vector<std::string>{"A:changed:10", "A:changed:23"}));
}

TEST_F(ControlEventsTest, ReportsTheVersionThreeClassWithTheVersionTwoEvents) {
  kt_test::ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(control_->QueryInterface(IID_IProvideClassInfo2, classInfo.PutVoid()), S_OK);
  GUID events{};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(IsEqualGUID(events, DIID__IKtQxInstaller320_V2Events));
  kt_test::ComPtr<ITypeInfo> info;
  ASSERT_EQ(classInfo->GetClassInfo(reinterpret_cast<ITypeInfo**>(info.PutVoid())), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_KtQxInstaller320_V3));
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  info->ReleaseTypeAttr(attributes);
}

TEST_F(ControlEventsTest, IsSafeForScriptingAndForInitialisation) {
  kt_test::ComPtr<IObjectSafety> safety;
  ASSERT_EQ(control_->QueryInterface(IID_IObjectSafety, safety.PutVoid()), S_OK);
  const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  for (REFIID iid : {IID_IDispatch, IID_IKtQxInstaller320, IID_IPersistPropertyBag, IID_IPersistStreamInit}) {
    DWORD supported = 0, enabled = 0;
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(iid, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, both);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(iid, both, both), S_OK);
  }
  DWORD supported = 0, enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled), E_NOINTERFACE);
  EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 0x100, 0x100), E_FAIL);
}

}  // namespace
