// The control library as a machine meets it: registered by regsvr32 from a folder with a space,
// created by every class and program identifier, driven by a script, unregistered again; and its
// server-mode exports.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <fstream>
#include <string>

#include "control/qxinstaller.h"
#include "device/com_ptr.h"
#include "tests/control/control_test_support.h"

namespace {

const char kProgIds[][40] = {"Kt_QxInstaller3.KtQxInstaller320", "Kt_QxInstaller3.KtQxInstaller320.1",
                             "Kt_QxInstaller3.KtQxInstaller320.2", "Kt_QxInstaller3.KtQxInstaller320.3"};

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& ch : path) {
    if (ch == '/') ch = '\\';
  }
  return path;
}

std::string GuidText(REFGUID guid) {
  wchar_t wide[40] = {};
  ::StringFromGUID2(guid, wide, 40);
  char text[40] = {};
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

std::string ClassesValue(const std::string& key, const char* name = "") {
  char data[1024] = {};
  DWORD size = sizeof data - 1;
  if (::RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), *name ? name : nullptr, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return "<missing>";
  }
  return data;
}

// Runs a program and waits at most 60 s; its exit code, with standard output in `output`.
DWORD RunProgram(const std::string& commandLine, std::string* output = nullptr) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string outputFile = std::string(temp) + "kt_registration_out.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = ::CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = file;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ::CloseHandle(file);
    return 0xFFFFFFFF;
  }
  ::CloseHandle(file);
  DWORD code = 0xFFFFFFFE;
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
  else ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  if (output) {
    std::ifstream in(outputFile, std::ios::binary);
    output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return code;
}

class RegistrationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "Qx Control " + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    library_ = folder_ + "QxInstlr320.dll";
    ASSERT_TRUE(::CopyFileA(WindowsPath(KT_CONTROL_DLL).c_str(), library_.c_str(), FALSE));
  }
  static void TearDownTestSuite() {
    RunProgram("regsvr32.exe /s /u \"" + library_ + "\"");
    ::DeleteFileA(library_.c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }

  kt_test::PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  static std::string folder_;
  static std::string library_;
};

std::string RegistrationTest::folder_;
std::string RegistrationTest::library_;

TEST_F(RegistrationTest, RegistersEveryClassAndTheAssociationWithAQuotedUpdaterPath) {
  ASSERT_EQ(RunProgram("regsvr32.exe /s \"" + library_ + "\""), 0u);
  const std::string typeLib = GuidText(LIBID_KT_QXINSTALLER3Lib);
  const struct {
    REFCLSID id;
    const char* name;
    const char* progId;
  } classes[] = {{CLSID_KtQxInstaller320, "KtQxInstaller320 Class", kProgIds[1]},
                 {CLSID_KtQxInstaller320_V2, "KtQxInstaller320_V2 Class", kProgIds[2]},
                 {CLSID_KtQxInstaller320_V3, "KtQxInstaller320_V3 Class", kProgIds[3]}};
  for (const auto& c : classes) {
    const std::string key = "CLSID\\" + GuidText(c.id);
    EXPECT_EQ(ClassesValue(key), c.name);
    EXPECT_EQ(ClassesValue(key + "\\ProgID"), c.progId);
    EXPECT_EQ(ClassesValue(key + "\\VersionIndependentProgID"), kProgIds[0]);
    EXPECT_STRCASEEQ(ClassesValue(key + "\\InprocServer32").c_str(), library_.c_str());
    EXPECT_EQ(ClassesValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_STRCASEEQ(ClassesValue(key + "\\ToolboxBitmap32").c_str(), (library_ + ", 101").c_str());
    EXPECT_EQ(ClassesValue(key + "\\MiscStatus\\1"), "131473");
    EXPECT_EQ(ClassesValue(key + "\\TypeLib"), typeLib);
    EXPECT_EQ(ClassesValue(key + "\\Version"), "1.2");
    for (const char* empty : {"\\Programmable", "\\Control", "\\Insertable"}) {
      HKEY opened = nullptr;
      EXPECT_EQ(::RegOpenKeyExA(HKEY_CLASSES_ROOT, (key + empty).c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS) << empty;
      if (opened) ::RegCloseKey(opened);
    }
    EXPECT_EQ(ClassesValue(std::string(c.progId) + "\\CLSID"), GuidText(c.id));
  }
  EXPECT_EQ(ClassesValue(std::string(kProgIds[0]) + "\\CurVer"), kProgIds[3]);
  EXPECT_EQ(ClassesValue(".qrd2"), "QxUpdatr320.Document");
  EXPECT_EQ(ClassesValue(".qrd2", "Content Type"), "text/xml");
  const std::string updater = folder_ + "QxUpdater320.exe";
  EXPECT_STRCASEEQ(ClassesValue("QxUpdatr320.Document\\shell\\open\\command").c_str(),
                   ("\"" + updater + "\" \"%1\"").c_str());
  EXPECT_STRCASEEQ(ClassesValue("QxUpdatr320.Document\\DefaultIcon").c_str(), (updater + ",1").c_str());

  // Every class and program identifier creates the control.
  for (REFCLSID id : {CLSID_KtQxInstaller320, CLSID_KtQxInstaller320_V2, CLSID_KtQxInstaller320_V3}) {
    kt_test::ComPtr<IKtQxInstaller320_V3> control;
    EXPECT_EQ(::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IKtQxInstaller320_V3, control.PutVoid()), S_OK);
  }
  for (const char* progId : kProgIds) {
    wchar_t wide[64] = {};
    ::MultiByteToWideChar(CP_ACP, 0, progId, -1, wide, 64);
    CLSID id{};
    ASSERT_EQ(::CLSIDFromProgID(wide, &id), S_OK) << progId;
    kt_test::ComPtr<IDispatch> control;
    EXPECT_EQ(::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.PutVoid()), S_OK) << progId;
    if (control) EXPECT_EQ(kt_test::GetText(control.Get(), L"Version"), "3.0");
  }
}

TEST_F(RegistrationTest, AScriptCreatesTheControlByProgramIdentifierAndDrivesIt) {
  ASSERT_EQ(RunProgram("regsvr32.exe /s \"" + library_ + "\""), 0u);
  const std::string script = folder_ + "drive.js";
  std::ofstream(script) <<
      "var ids = ['Kt_QxInstaller3.KtQxInstaller320', 'Kt_QxInstaller3.KtQxInstaller320.1',\n"
      "           'Kt_QxInstaller3.KtQxInstaller320.2', 'Kt_QxInstaller3.KtQxInstaller320.3'];\n"
      "for (var i = 0; i < ids.length; i++) {\n"
      "  var o = new ActiveXObject(ids[i]);\n"
      "  o.Width = 'MAX'; o.Top = 7; o.UpdateKillQuorix = 'kill'; o.Launch = false;\n"
      "  if (o.Width != 'MAX' || o.Top != 7 || o.Launch != false || o.Version != '3.0') throw 'props ' + ids[i];\n"
      "  if (o.AliasToRealPath('%SYSTEM%x.dll').toLowerCase().indexOf('system32') < 0) throw 'alias';\n"
      "  o.StartDownload();\n"
      "  if (o.ErrorCode != 123) throw 'run ' + o.ErrorCode;\n"
      "}\n"
      "WScript.Echo('SCRIPT-OK');\n";
  std::string output;
  EXPECT_EQ(RunProgram("cscript.exe //nologo \"" + script + "\"", &output), 0u);
  EXPECT_NE(output.find("SCRIPT-OK"), std::string::npos) << output;
  ::DeleteFileA(script.c_str());
}

TEST_F(RegistrationTest, UnregisteringRemovesTheClassesAndKeepsTheAssociation) {
  ASSERT_EQ(RunProgram("regsvr32.exe /s \"" + library_ + "\""), 0u);
  ASSERT_EQ(RunProgram("regsvr32.exe /s /u \"" + library_ + "\""), 0u);
  for (REFCLSID id : {CLSID_KtQxInstaller320, CLSID_KtQxInstaller320_V2, CLSID_KtQxInstaller320_V3}) {
    EXPECT_EQ(ClassesValue("CLSID\\" + GuidText(id)), "<missing>");
  }
  for (const char* progId : kProgIds) EXPECT_EQ(ClassesValue(progId), "<missing>");
  EXPECT_EQ(ClassesValue(".qrd2"), "QxUpdatr320.Document");
  EXPECT_NE(ClassesValue("QxUpdatr320.Document\\shell\\open\\command"), "<missing>");
  kt_test::ComPtr<IDispatch> control;
  EXPECT_NE(::CoCreateInstance(CLSID_KtQxInstaller320, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.PutVoid()),
            S_OK);
}

TEST_F(RegistrationTest, ServerModeHoldsTheLastValueSetForTheProcess) {
  HMODULE library = ::LoadLibraryA(library_.c_str());
  ASSERT_NE(library, nullptr);
  using IsServerMode = INT_PTR(__cdecl*)();
  using SetServerMode = INT_PTR(__cdecl*)(INT_PTR);
  auto isServerMode = reinterpret_cast<IsServerMode>(reinterpret_cast<void*>(::GetProcAddress(library, "IsServerMode")));
  auto setServerMode = reinterpret_cast<SetServerMode>(reinterpret_cast<void*>(::GetProcAddress(library, "SetServerMode")));
  ASSERT_NE(isServerMode, nullptr);
  ASSERT_NE(setServerMode, nullptr);
  EXPECT_EQ(isServerMode(), 0);
  const INT_PTR wide = static_cast<INT_PTR>(sizeof(INT_PTR) == 8 ? 0x123456789LL : 0x1234567);
  for (INT_PTR value : {INT_PTR{1}, INT_PTR{-1}, wide}) {
    EXPECT_EQ(setServerMode(value), value);
    EXPECT_EQ(isServerMode(), value);
  }
  ::FreeLibrary(library);
}

}  // namespace
