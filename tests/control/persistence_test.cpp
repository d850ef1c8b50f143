// Loading and saving the control by its property map: a page's object parameters (property
// bag), a host's stream and storage, and the updater program's hand-over text.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "control/com/bstr.h"
#include "control/com/variant.h"
#include "tests/control/control_test_support.h"

namespace {

using kt_test::GetText;
using kt_test::PutText;

const wchar_t* const kMapProperties[] = {
    L"UpdateURL", L"Debug",     L"Version",   L"DeviceType",   L"Key",        L"StartXML",   L"Launch",
    L"ReInstall", L"ComponentPath", L"Top",   L"Left",         L"Width",      L"Height",     L"OnlyOne",
    L"Resource",  L"GlobalVal", L"ExeName",   L"UResource",    L"UpdateHandle", L"Retry",    L"TimeOut",
    L"StartImage", L"ExecPath", L"SiteKey",   L"UBKImage",     L"NotLaunchForErr", L"UpdateKillQuorix",
    L"EventReturn"};

// A property bag as a page's <param> list: names to values, with the order of writes.
class MemoryBag final : public IPropertyBag {
 public:
  ~MemoryBag() {
    for (auto& entry : values_) ::VariantClear(&entry.second);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IPropertyBag*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto found = values_.find(name);
    if (found == values_.end()) return E_INVALIDARG;
    const VARTYPE wanted = V_VT(value);
    ::VariantInit(value);
    return wanted == VT_EMPTY ? ::VariantCopy(value, &found->second)
                              : ::VariantChangeType(value, &found->second, 0, wanted);
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
    VARIANT& slot = values_[name];
    ::VariantClear(&slot);
    order_.push_back(name);
    return ::VariantCopy(&slot, value);
  }
  void SetText(const wchar_t* name, const std::string& text) {
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = kt::com::Bstr(text).Detach();
    values_[name] = value;
  }
  bool Has(const wchar_t* name) const { return values_.count(name) != 0; }
  std::vector<std::wstring> order_;

 private:
  std::map<std::wstring, VARIANT> values_;
};

class ControlPersistenceTest : public ::testing::Test {
 protected:
  // Sets every property of the map to a value that differs from its default.
  static void SetEveryProperty(IDispatch* control, const std::string& key) {
    const struct {
      const wchar_t* name;
      const char* value;
    } values[] = {{L"UpdateURL", "http://srv/config.xml"}, {L"Debug", "-1"}, {L"Version", "3.2"},
                  {L"DeviceType", "WIN32"}, {L"StartXML", "http://srv/start.xml"}, {L"Launch", "0"},
                  {L"ReInstall", "-1"}, {L"ComponentPath", "C:\\Quorix\\Comp"}, {L"Top", "11"}, {L"Left", "22"},
                  {L"Width", "640"}, {L"Height", "480"}, {L"OnlyOne", "-1"}, {L"Resource", "C:\\res\\a.dll"},
                  {L"GlobalVal", "g"}, {L"ExeName", "QuorixSim.exe"}, {L"UResource", "C:\\res\\u.dll"},
                  {L"UpdateHandle", "77"}, {L"Retry", "5"}, {L"TimeOut", "90"}, {L"StartImage", "C:\\i\\s.bmp"},
                  {L"ExecPath", "C:\\Quorix"}, {L"UBKImage", "C:\\i\\b.bmp"}, {L"NotLaunchForErr", "-1"},
                  {L"UpdateKillQuorix", "NOKILL"}, {L"EventReturn", "7"}};
    ASSERT_EQ(PutText(control, L"Key", key), S_OK);
    for (const auto& v : values) ASSERT_EQ(PutText(control, v.name, v.value), S_OK) << v.value;
  }
  static void ExpectSameProperties(IDispatch* saved, IDispatch* loaded) {
    for (const wchar_t* name : kMapProperties) EXPECT_EQ(GetText(loaded, name), GetText(saved, name)) << name;
  }

  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt_test::ComPtr<IKtQxInstaller320_V3> saved_ = kt_test::NewControl();
  kt_test::ComPtr<IKtQxInstaller320_V3> loaded_ = kt_test::NewControl();
};

TEST_F(ControlPersistenceTest, ObjectParametersAreAppliedInMapOrderSoTheKeyIsKnownForTheStartDescription) {
  MemoryBag bag;
  bag.SetText(L"StartXML", "..\\start.xml");
  bag.SetText(L"Key", "App");
  bag.SetText(L"Top", "12");
  bag.SetText(L"Launch", "false");
  bag.SetText(L"UpdateKillQuorix", "nokill");
  bag.SetText(L"_cx", "300");
  kt_test::ComPtr<IPersistPropertyBag> persist;
  ASSERT_EQ(loaded_->QueryInterface(IID_IPersistPropertyBag, persist.PutVoid()), S_OK);
  ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
  kt::com::Bstr expected;
  loaded_->AliasToRealPath(kt::com::Bstr("%USERAPP%App\\..\\start.xml").Get(), expected.Receive());
  EXPECT_EQ(GetText(loaded_.Get(), L"StartXML"), kt::com::AnsiFromBstr(expected.Get()));
  EXPECT_EQ(GetText(loaded_.Get(), L"Top"), "12");
  EXPECT_EQ(GetText(loaded_.Get(), L"Launch"), "0");
  EXPECT_EQ(GetText(loaded_.Get(), L"UpdateKillQuorix"), "nokill");
  kt_test::ComPtr<IOleObject> ole;
  ASSERT_EQ(loaded_->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
  SIZEL extent{};
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 300);
}

TEST_F(ControlPersistenceTest, PropertyBagRoundTripKeepsEveryProperty) {
  kt_test::ScratchApplication app("Bag");
  SetEveryProperty(saved_.Get(), app.Key());
  MemoryBag bag;
  kt_test::ComPtr<IPersistPropertyBag> save, load;
  ASSERT_EQ(saved_->QueryInterface(IID_IPersistPropertyBag, save.PutVoid()), S_OK);
  ASSERT_EQ(save->Save(&bag, TRUE, TRUE), S_OK);
  EXPECT_EQ(bag.order_.front(), L"_cx");
  ASSERT_EQ(loaded_->QueryInterface(IID_IPersistPropertyBag, load.PutVoid()), S_OK);
  ASSERT_EQ(load->Load(&bag, nullptr), S_OK);
  ExpectSameProperties(saved_.Get(), loaded_.Get());
}

TEST_F(ControlPersistenceTest, StreamRoundTripKeepsEveryPropertyAndUnsetNumbersStayUnset) {
  kt_test::ScratchApplication app("Stream");
  SetEveryProperty(saved_.Get(), app.Key());
  ASSERT_EQ(kt_test::PutNumber(saved_.Get(), L"Top", static_cast<long>(0x80000000u)), S_OK);
  kt_test::ComPtr<IStream> stream;
  ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.PutVoid())), S_OK);
  kt_test::ComPtr<IPersistStreamInit> save, load;
  ASSERT_EQ(saved_->QueryInterface(IID_IPersistStreamInit, save.PutVoid()), S_OK);
  ASSERT_EQ(save->Save(stream.Get(), TRUE), S_OK);
  EXPECT_EQ(save->IsDirty(), S_FALSE);
  // A host may keep its own data after the control's.
  const char trailer[] = "host";
  stream->Write(trailer, 4, nullptr);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);

  ASSERT_EQ(loaded_->QueryInterface(IID_IPersistStreamInit, load.PutVoid()), S_OK);
  ASSERT_EQ(load->Load(stream.Get()), S_OK);
  ExpectSameProperties(saved_.Get(), loaded_.Get());
  char after[5] = {};
  ULONG read = 0;
  stream->Read(after, 4, &read);
  EXPECT_STREQ(after, "host");

  // The extent changes nothing, but a stream cut inside the properties is refused.
  ULARGE_INTEGER size{};
  ASSERT_EQ(save->GetSizeMax(&size), S_OK);
  kt_test::ComPtr<IStream> cut;
  ::CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(cut.PutVoid()));
  save->Save(cut.Get(), FALSE);
  ULARGE_INTEGER shorter;
  shorter.QuadPart = size.QuadPart - 3;
  cut->SetSize(shorter);
  cut->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(kt_test::NewControl()->QueryInterface(IID_IPersistStreamInit, load.PutVoid()), S_OK);
  EXPECT_EQ(load->Load(cut.Get()), STG_E_READFAULT);
}

TEST_F(ControlPersistenceTest, StorageRoundTripKeepsEveryProperty) {
  kt_test::ScratchApplication app("Storage");
  SetEveryProperty(saved_.Get(), app.Key());
  kt_test::ComPtr<ILockBytes> bytes;
  ASSERT_EQ(::CreateILockBytesOnHGlobal(nullptr, TRUE, reinterpret_cast<ILockBytes**>(bytes.PutVoid())), S_OK);
  kt_test::ComPtr<IStorage> storage;
  ASSERT_EQ(::StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                           reinterpret_cast<IStorage**>(storage.PutVoid())),
            S_OK);
  kt_test::ComPtr<IPersistStorage> save, load;
  ASSERT_EQ(saved_->QueryInterface(IID_IPersistStorage, save.PutVoid()), S_OK);
  ASSERT_EQ(save->Save(storage.Get(), FALSE), S_OK);
  ASSERT_EQ(loaded_->QueryInterface(IID_IPersistStorage, load.PutVoid()), S_OK);
  ASSERT_EQ(load->Load(storage.Get()), S_OK);
  ExpectSameProperties(saved_.Get(), loaded_.Get());
}

HRESULT LoadText(IKtQxInstaller320_V3* control, const std::string& text) {
  kt_test::ComPtr<IStream> stream;
  ::CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.PutVoid()));
  stream->Write(text.c_str(), static_cast<ULONG>(text.size() + 1), nullptr);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  kt_test::ComPtr<IPersistStreamInit> load;
  control->QueryInterface(IID_IPersistStreamInit, load.PutVoid());
  return load->Load(stream.Get());
}

TEST_F(ControlPersistenceTest, HandOverWithALaunchDescriptionEqualsParsingIt) {
  const std::string file = kt_test::WriteFileInTemp(
      "handover\\app.qrd2",
      "<root><dataset id=\"WIN32\"><colinfo id=\"Key\" type=\"STRING\"/><colinfo id=\"UpdateURL\" type=\"STRING\"/>"
      "<record><Key>HandOver</Key><UpdateURL>http://srv/h.xml</UpdateURL></record></dataset></root>");
  std::string doubled;
  for (char ch : file) doubled += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
  ASSERT_EQ(LoadText(loaded_.Get(), "QxUpdater320 QRD=\"" + doubled + "\""), S_OK);
  ASSERT_EQ(saved_->ParseQRDFile(kt::com::Bstr(file).Get()), S_OK);
  ExpectSameProperties(saved_.Get(), loaded_.Get());
  EXPECT_EQ(GetText(loaded_.Get(), L"UpdateURL"), "http://srv/h.xml");
}

TEST_F(ControlPersistenceTest, HandOverWithNamedValuesSetsTheFour) {
  ASSERT_EQ(LoadText(loaded_.Get(), "QxUpdater320 DeviceType=\"CE\" Version=\"3.2\" Key=\"Pocket\" Other=\"x\""), S_OK);
  EXPECT_EQ(GetText(loaded_.Get(), L"DeviceType"), "CE");
  EXPECT_EQ(GetText(loaded_.Get(), L"Version"), "3.2");
  EXPECT_EQ(GetText(loaded_.Get(), L"Key"), "Pocket");
  EXPECT_EQ(GetText(loaded_.Get(), L"SiteKey"), "");
  // The prefix alone is not a hand-over: it is read as a property stream, and refused.
  EXPECT_TRUE(FAILED(LoadText(saved_.Get(), "QxUpdater320")));
}

}  // namespace
