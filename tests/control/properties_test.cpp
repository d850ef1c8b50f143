// The control's properties through its dispatch interface, as a page's script sets and reads
// them: defaults, puts with their rules, null out pointers, remembered settings.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "control/com/bstr.h"
#include "control/control_properties.h"
#include "tests/control/control_test_support.h"

namespace {

using kt_test::GetText;
using kt_test::PutNumber;
using kt_test::PutText;
using kt_test::ReadRemembered;

class ControlPropertiesTest : public ::testing::Test {
 protected:
  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  kt_test::ComPtr<IKtQxInstaller320_V3> control_ = kt_test::NewControl();
  IDispatch* Control() { return control_.Get(); }
};

TEST_F(ControlPropertiesTest, EveryPropertyStartsAtItsDefault) {
  ASSERT_TRUE(control_);
  const struct {
    const wchar_t* name;
    const char* value;
  } defaults[] = {
      {L"VersionLocalFile", ""}, {L"ErrorCode", "0"},    {L"ErrorMsg", "SUCC"},    {L"Debug", "0"},
      {L"Top", "-1"},            {L"Left", "-1"},        {L"Width", ""},           {L"Height", ""},
      {L"OnlyOne", "0"},         {L"Resource", ""},      {L"Key", ""},             {L"StartXML", ""},
      {L"GlobalVal", ""},        {L"Version", "3.0"},    {L"ExeName", ""},         {L"UpdateURL", ""},
      {L"ComponentPath", ""},    {L"Launch", "-1"},      {L"ReInstall", "0"},      {L"DeviceType", ""},
      {L"UResource", ""},        {L"UpdateHandle", ""},  {L"Retry", "-1"},         {L"TimeOut", "-1"},
      {L"PreVersionCompare", "0"}, {L"StartImage", ""},  {L"ExecPath", ""},        {L"Scroll", ""},
      {L"SiteKey", ""},          {L"UBKImage", ""},      {L"NotLaunchForErr", "0"}, {L"UpdateKillQuorix", "CONFIRM"},
      {L"EventReturn", ""},
  };
  for (const auto& expected : defaults) EXPECT_EQ(GetText(Control(), expected.name), expected.value) << expected.name;
}

TEST_F(ControlPropertiesTest, PutsReadBackByTheirRules) {
  const struct {
    const wchar_t* name;
    const char* put;
    const char* expected;
  } cases[] = {
      {L"Top", "12", "12"},
      {L"Top", "-2147483648", "-1"},  // 0x80000000 is "unset"
      {L"Left", "-5", "-5"},
      {L"Width", "MAX", "MAX"},
      {L"Retry", "3", "3"},
      {L"Launch", "0", "0"},
      {L"Debug", "-1", "-1"},
      {L"UpdateKillQuorix", "kill", "kill"},
      {L"UpdateKillQuorix", "", "CONFIRM"},
      {L"Version", "3.2", "3.2"},
      {L"DeviceType", "CE", "CE"},
      {L"UpdateHandle", "0x1234", "0x1234"},
      {L"EventReturn", "6", "6"},
      {L"StartXML", "http://srv/app/start.xml", "http://srv/app/start.xml"},
      {L"StartXML", "HTTPS://srv/a.xml", "HTTPS://srv/a.xml"},
      {L"StartXML", "file://C:/data/start.xml", "C:\\data\\start.xml"},
      {L"StartXML", "C:\\data\\start.xml", "C:\\data\\start.xml"},
      {L"StartXML", "\\\\server\\share\\start.xml", "\\\\server\\share\\start.xml"},
      {L"ExecPath", "", ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(PutText(Control(), c.name, c.put), S_OK) << c.put;
    EXPECT_EQ(GetText(Control(), c.name), c.expected) << c.put;
  }
}

TEST_F(ControlPropertiesTest, RelativeStartDescriptionsLandUnderTheUsersApplicationFolder) {
  ASSERT_EQ(PutText(Control(), L"Key", "App"), S_OK);
  kt::com::Bstr expanded;
  ASSERT_EQ(control_->AliasToRealPath(kt::com::Bstr("%USERAPP%App\\..\\start.xml").Get(), expanded.Receive()), S_OK);
  ASSERT_EQ(PutText(Control(), L"StartXML", "..\\start.xml"), S_OK);
  EXPECT_EQ(GetText(Control(), L"StartXML"), kt::com::AnsiFromBstr(expanded.Get()));

  // Any other relative path is placed under the platform's alias folder.
  ASSERT_EQ(PutText(Control(), L"StartXML", "sub/start.xml"), S_OK);
  const std::string placed = GetText(Control(), L"StartXML");
  EXPECT_FALSE(::PathIsRelativeA(placed.c_str())) << placed;
  EXPECT_EQ(placed.substr(placed.size() - 14), "\\sub\\start.xml");
}

TEST(KillCodeTest, WordsWithoutCaseDigitsExactly) {
  using kt::control::KillCode;
  const struct {
    const char* text;
    KillCode code;
  } cases[] = {{"KILL", KillCode::Kill},       {"kill", KillCode::Kill},   {"1", KillCode::Kill},
               {"NoKill", KillCode::NoKill},   {"2", KillCode::NoKill},    {"confirmonfailed", KillCode::ConfirmOnFailed},
               {"3", KillCode::ConfirmOnFailed}, {"CONFIRM", KillCode::Confirm}, {"", KillCode::Confirm},
               {"01", KillCode::Confirm},      {"KILL ", KillCode::Confirm}, {"4", KillCode::Confirm}};
  for (const auto& c : cases) EXPECT_EQ(kt::control::KillCodeOf(c.text), c.code) << c.text;
}

TEST_F(ControlPropertiesTest, NullOutPointersAnswerAsEachGetterPromises) {
  EXPECT_EQ(control_->get_Debug(nullptr), S_OK);
  EXPECT_EQ(control_->get_ErrorCode(nullptr), S_OK);
  EXPECT_EQ(control_->get_PreVersionCompare(nullptr), S_OK);
  EXPECT_EQ(control_->get_VersionLocalFile(nullptr), S_OK);
  EXPECT_EQ(control_->get_ErrorMsg(nullptr), S_OK);
  EXPECT_EQ(control_->get_UpdateHandle(nullptr), S_OK);
  EXPECT_EQ(control_->get_Width(nullptr), E_POINTER);
  EXPECT_EQ(control_->get_Top(nullptr), E_POINTER);
  EXPECT_EQ(control_->get_EventReturn(nullptr), E_POINTER);
  EXPECT_EQ(control_->IsUACEnabled(nullptr), E_INVALIDARG);
  EXPECT_EQ(control_->IsElevatedProcess(nullptr), E_INVALIDARG);
  EXPECT_EQ(control_->IsAdministratorsGroup(nullptr), E_INVALIDARG);
  EXPECT_EQ(control_->IsPowerUsersGroup(nullptr), E_INVALIDARG);
  EXPECT_EQ(control_->AliasToRealPath(kt::com::Bstr("%SYSTEM%").Get(), nullptr), E_INVALIDARG);
  IDispatch* created = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(control_->CreateObject(kt::com::Bstr("Scripting.Dictionary").Get(), &created), E_NOTIMPL);
  EXPECT_EQ(created, nullptr);
}

TEST_F(ControlPropertiesTest, ReservedEntriesAnswerByTheirArgumentType) {
  VARIANT result;
  ::VariantInit(&result);
  VARIANT number;
  ::VariantInit(&number);
  V_VT(&number) = VT_I4;
  V_I4(&number) = 5;
  ASSERT_EQ(control_->Reserved(kt::com::Bstr("AliasToReal").Get(), number, nullptr, &result), S_OK);
  EXPECT_EQ(V_VT(&result), VT_EMPTY);  // untouched for a non-text argument

  kt::com::Bstr path("%SYSTEM%kt.dll");
  VARIANT text;
  ::VariantInit(&text);
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = path.Get();
  ASSERT_EQ(control_->Reserved(kt::com::Bstr("AliasToReal").Get(), text, nullptr, &result), S_OK);
  ASSERT_EQ(V_VT(&result), VT_BSTR);
  char system[MAX_PATH] = {};
  ::GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_STRCASEEQ(kt::com::AnsiFromBstr(V_BSTR(&result)).c_str(), (std::string(system) + "\\kt.dll").c_str());

  ASSERT_EQ(control_->Reserved(kt::com::Bstr("IsIeProtectedMode").Get(), number, nullptr, &result), S_OK);
  EXPECT_EQ(V_VT(&result), VT_BOOL);
  ::VariantClear(&result);
}

// --- Remembered settings ---

struct RememberCase {
  const char* deviceType;
  bool pc;
};

class RememberedSettingsTest : public ControlPropertiesTest, public ::testing::WithParamInterface<RememberCase> {};

TEST_P(RememberedSettingsTest, AreWrittenOnceTheEngineHasStartedAndNotBefore) {
  const RememberCase& target = GetParam();
  kt_test::ScratchApplication app("Remember", target.deviceType);
  ASSERT_EQ(PutText(Control(), L"DeviceType", target.deviceType), S_OK);
  ASSERT_EQ(PutText(Control(), L"Key", app.Key()), S_OK);
  ASSERT_EQ(PutText(Control(), L"StartXML", "http://srv/start.xml"), S_OK);
  ASSERT_EQ(PutText(Control(), L"Width", "1024"), S_OK);
  ASSERT_EQ(PutNumber(Control(), L"Top", 5), S_OK);
  ASSERT_EQ(PutNumber(Control(), L"Retry", 3), S_OK);
  ASSERT_EQ(PutText(Control(), L"OnlyOne", "-1"), S_OK);
  ASSERT_EQ(PutText(Control(), L"GlobalVal", "g1"), S_OK);
  ASSERT_EQ(PutText(Control(), L"Scroll", "yes"), S_OK);
  EXPECT_EQ(ReadRemembered(app.Path(), "StartXML"), "<missing>") << "nothing is remembered before the start";

  // The start stores every set property; the run itself stops at the empty server address.
  ASSERT_EQ(kt_test::CallMethod(Control(), L"StartDownload"), S_OK);
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "123");
  EXPECT_EQ(ReadRemembered(app.Path(), "StartXML"), "http://srv/start.xml");
  EXPECT_EQ(ReadRemembered(app.Path(), "Retry"), "3");
  const char* pcOnly[][2] = {{"Width", "1024"}, {"top", "5"}, {"OnlyOne", "True"}, {"GlobalVal", "g1"}, {"Scroll", "yes"}};
  for (const auto& value : pcOnly) {
    EXPECT_EQ(ReadRemembered(app.Path(), value[0]), target.pc ? value[1] : "<missing>") << value[0];
  }
  EXPECT_EQ(GetText(Control(), L"OnlyOne"), target.pc ? "1" : "0");
  EXPECT_EQ(GetText(Control(), L"GlobalVal"), target.pc ? "g1" : "");

  // Once started, a put is remembered at once; an unset number is not.
  ASSERT_EQ(PutText(Control(), L"UpdateURL", "http://srv/config.xml"), S_OK);
  ASSERT_EQ(PutText(Control(), L"Height", "700"), S_OK);
  ASSERT_EQ(PutNumber(Control(), L"Top", static_cast<long>(0x80000000u)), S_OK);
  ASSERT_EQ(PutText(Control(), L"Resource", "C:\\res\\skin.dll"), S_OK);
  EXPECT_EQ(ReadRemembered(app.Path(), "UpdateURL"), "http://srv/config.xml");
  EXPECT_EQ(ReadRemembered(app.Path(), "Height"), target.pc ? "700" : "<missing>");
  EXPECT_EQ(ReadRemembered(app.Path(), "top"), target.pc ? "5" : "<missing>");
  EXPECT_EQ(GetText(Control(), L"Resource"), "C:\\res\\skin.dll");
}

INSTANTIATE_TEST_SUITE_P(Targets, RememberedSettingsTest,
                         ::testing::Values(RememberCase{"WIN32", true}, RememberCase{"CE", false}),
                         [](const auto& info) { return std::string(info.param.deviceType); });

TEST_F(ControlPropertiesTest, AKeySetAfterTheStartLoadsWhatWasRememberedForIt) {
  kt_test::ScratchApplication app("Load");
  {
    auto earlier = kt_test::NewControl();
    ASSERT_EQ(PutText(earlier.Get(), L"Key", app.Key()), S_OK);
    ASSERT_EQ(PutText(earlier.Get(), L"StartXML", "http://srv/start.xml"), S_OK);
    ASSERT_EQ(PutText(earlier.Get(), L"Width", "1024"), S_OK);
    ASSERT_EQ(PutNumber(earlier.Get(), L"Left", 40), S_OK);
    ASSERT_EQ(kt_test::CallMethod(earlier.Get(), L"StartDownload"), S_OK);
    ASSERT_EQ(PutText(earlier.Get(), L"UpdateURL", "http://srv/config.xml"), S_OK);
  }
  ASSERT_EQ(kt_test::CallMethod(Control(), L"StartDownload"), S_OK);  // starts without a key: 124, then 123
  ASSERT_EQ(PutText(Control(), L"Key", app.Key()), S_OK);
  EXPECT_EQ(GetText(Control(), L"UpdateURL"), "http://srv/config.xml");
  EXPECT_EQ(GetText(Control(), L"StartXML"), "http://srv/start.xml");
  EXPECT_EQ(GetText(Control(), L"Width"), "1024");
  EXPECT_EQ(GetText(Control(), L"Height"), "600");  // the remembered default
  EXPECT_EQ(GetText(Control(), L"Left"), "40");
  EXPECT_EQ(GetText(Control(), L"Top"), "-1");
}

TEST_F(ControlPropertiesTest, TheSiteKeyPrefixesTheApplicationKeyOnlyWhenSet) {
  kt_test::ScratchApplication app("Site");
  const std::string prefixed = kt_test::AppKeyPath("Zz_" + app.Key());
  ::SHDeleteKeyA(HKEY_CURRENT_USER, prefixed.c_str());
  ASSERT_EQ(PutText(Control(), L"Key", app.Key()), S_OK);
  // The site key's bytes read as UTF-16: 'Z' 0 'z' 0 is "Zz".
  kt::com::Bstr siteKey(std::string("Z\0z\0", 4));
  ASSERT_EQ(control_->put_SiteKey(siteKey.Get()), S_OK);
  ASSERT_EQ(PutText(Control(), L"StartXML", "http://srv/site.xml"), S_OK);
  ASSERT_EQ(kt_test::CallMethod(Control(), L"StartDownload"), S_OK);
  EXPECT_EQ(ReadRemembered(prefixed, "StartXML"), "http://srv/site.xml");
  EXPECT_EQ(ReadRemembered(app.Path(), "StartXML"), "<missing>");

  // An empty site key leaves the key alone.
  ASSERT_EQ(PutText(Control(), L"SiteKey", ""), S_OK);
  ASSERT_EQ(PutText(Control(), L"StartXML", "http://srv/plain.xml"), S_OK);
  EXPECT_EQ(ReadRemembered(app.Path(), "StartXML"), "http://srv/plain.xml");
  ::SHDeleteKeyA(HKEY_CURRENT_USER, prefixed.c_str());
}

TEST_F(ControlPropertiesTest, ALaunchDescriptionSetsEveryColumnItNames) {
  kt_test::ScratchApplication app("Qrd");
  const std::string columns[][2] = {
      {"Version", "3.2"}, {"Key", app.Key()}, {"StartXML", "http://srv/start.xml"},
      {"UpdateURL", "http://srv/config.xml"}, {"EXECPATH", "C:\\Quorix"}, {"ComponentPath", "C:\\Quorix\\Comp"},
      {"StartImage", "C:\\img\\start.bmp"}, {"UBKImage", "C:\\img\\back.bmp"}, {"Resource", "C:\\res\\skin.dll"},
      {"UResource", "C:\\res\\user.dll"}, {"GlobalVal", "g"}, {"OnlyOne", "true"}, {"NotLaunchForErr", "true"},
      {"Retry", "4"}, {"TimeOut", "60"}, {"Launch", "false"}, {"ReInstall", "true"}, {"left", "Center"},
      {"top", "20"}, {"Width", "MAX"}, {"Height", "480"}, {"Scroll", "no"}, {"PreVersionCompare", "true"},
      {"ExeName", "QuorixSim.exe"}, {"UPDATEKILLQXP", "nokill"}};
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n<dataset id=\"WIN32\">\n";
  for (const auto& column : columns) xml += "<colinfo id=\"" + column[0] + "\" size=\"255\" type=\"STRING\"/>\n";
  xml += "<record>";
  for (const auto& column : columns) xml += "<" + column[0] + ">" + column[1] + "</" + column[0] + ">";
  xml += "</record>\n</dataset>\n</root>\n";
  const std::string file = kt_test::WriteFileInTemp("launch\\every.qrd2", xml);

  ASSERT_EQ(control_->ParseQRDFile(kt::com::Bstr(file).Get()), S_OK);
  const struct {
    const wchar_t* name;
    const char* value;
  } expected[] = {
      {L"DeviceType", "WIN32"}, {L"Version", "3.2"}, {L"StartXML", "http://srv/start.xml"},
      {L"UpdateURL", "http://srv/config.xml"}, {L"ExecPath", "C:\\Quorix"}, {L"ComponentPath", "C:\\Quorix\\Comp"},
      {L"StartImage", "C:\\img\\start.bmp"}, {L"UBKImage", "C:\\img\\back.bmp"}, {L"NotLaunchForErr", "-1"},
      {L"Retry", "4"}, {L"TimeOut", "60"}, {L"Launch", "0"}, {L"ReInstall", "-1"}, {L"Left", "-1"},
      {L"Top", "20"}, {L"Width", "MAX"}, {L"Height", "480"}, {L"Scroll", "no"}, {L"PreVersionCompare", "-1"},
      {L"ExeName", "QuorixSim.exe"}, {L"UpdateKillQuorix", "nokill"},
  };
  for (const auto& e : expected) EXPECT_EQ(GetText(Control(), e.name), e.value) << e.name;
  EXPECT_EQ(GetText(Control(), L"Key"), app.Key());

  // An unknown kill word becomes CONFIRM; a file that is not a list fails with its reason.
  const std::string other = kt_test::WriteFileInTemp("launch\\kill.qrd",
      "<root><dataset id=\"WIN32\"><colinfo id=\"UPDATEKILLQXP\" type=\"STRING\"/>"
      "<record><UPDATEKILLQXP>sometimes</UPDATEKILLQXP></record></dataset></root>");
  ASSERT_EQ(control_->ParseQRDFile(kt::com::Bstr(other).Get()), S_OK);
  EXPECT_EQ(GetText(Control(), L"UpdateKillQuorix"), "CONFIRM");
  const std::string broken = kt_test::WriteFileInTemp("launch\\broken.qrd", "<root><dataset id=\"WIN32\">");
  EXPECT_EQ(control_->ParseQRDFile(kt::com::Bstr(broken).Get()), E_FAIL);
  EXPECT_NE(GetText(Control(), L"ErrorMsg").find(broken), std::string::npos);
  EXPECT_NE(control_->ParseQRDFile(kt::com::Bstr(broken + ".missing").Get()), S_OK);
}

}  // namespace
