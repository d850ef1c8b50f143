// The installer's decisions, one table each: the command line, progress thinning, the status
// line, versions, texts, the .inf and cabinets, HTTP statuses, and the outcome acted on once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "bootstrap/cabinet_files.h"
#include "bootstrap/code_download_inf.h"
#include "bootstrap/download_callback.h"
#include "bootstrap/installer_arguments.h"
#include "bootstrap/installer_dialog.h"
#include "bootstrap/installer_messages.h"
#include "bootstrap/installer_texts.h"
#include "bootstrap/progress_thinning.h"
#include "bootstrap/requested_version.h"
#include "bootstrap/status_text.h"
#include "tests/bootstrap/support/bootstrap_test_support.h"
#include "tests/device/support/device_test_support.h"

namespace kt::bootstrap {
namespace {

using kt::device::test::ScratchFolder;
using kt::device::test::WriteText;

struct JobCase {
  std::vector<std::string> arguments;
  InstallMode mode;
  std::string second;
  int steps;
};

TEST(InstallerArgumentsTest, ChoosesTheModeFromTheSecondAndThirdArgument) {
  const JobCase cases[] = {
      {{"k.exe", "{C}", "http://h/a.cab", "1,0,0,5"}, InstallMode::kCabinet, "http://h/a.cab", 50},
      {{"k.exe", "{C}", "http://h/a.CAB", "1,0,0,5"}, InstallMode::kNone, "http://h/a.CAB", 50},
      {{"k.exe", "{C}", "http://h/a.CAB", "WEB"}, InstallMode::kDownload, "http://h/a.CAB", 50},
      {{"k.exe", "f.bin", "http://h/f.bin", "WEB"}, InstallMode::kDownload, "http://h/f.bin", 50},
      {{"k.exe", "f.bin", "http://h/f.bin", "web"}, InstallMode::kNone, "http://h/f.bin", 50},
      {{"k.exe", "x", "http://h/p.html", "any"}, InstallMode::kWebPage, "http://h/p.html", 50},
      {{"k.exe", "x", "http://h/p.aspx", "any"}, InstallMode::kWebPage, "http://h/p.aspx", 50},
      {{"k.exe", "x", "http://h/P.HTM", "WEB"}, InstallMode::kWebPage, "http://h/P.HTM", 50},
      {{"k.exe", "x", "http://h/P.ASP", "WEB"}, InstallMode::kWebPage, "http://h/P.ASP", 50},
      {{"k.exe", "x", "http://h/p.Htm", "1"}, InstallMode::kNone, "http://h/p.Htm", 50},
      // A page that is also a cabinet name is a cabinet.
      {{"k.exe", "{C}", "http://h/p.htm.cab", "1,0,0,1"}, InstallMode::kCabinet, "http://h/p.htm.cab", 50},
      // The current-folder rule: bare names get the folder, paths and URLs do not.
      {{"k.exe", "{C}", "a.cab", "1,0,0,1"}, InstallMode::kCabinet, "C:\\work\\a.cab", 50},
      {{"k.exe", "{C}", ".\\a.cab", "1,0,0,1"}, InstallMode::kCabinet, ".\\a.cab", 50},
      {{"k.exe", "{C}", "/a.cab", "1,0,0,1"}, InstallMode::kCabinet, "/a.cab", 50},
      {{"k.exe", "{C}", "\\\\srv\\a.cab", "1,0,0,1"}, InstallMode::kCabinet, "\\\\srv\\a.cab", 50},
      {{"k.exe", "{C}", "D:a.cab", "1,0,0,1"}, InstallMode::kCabinet, "D:a.cab", 50},
      // proc_cnt forms.
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "7"}, InstallMode::kCabinet, "C:\\work\\a.cab", 7},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "1"}, InstallMode::kCabinet, "C:\\work\\a.cab", 1},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "0"}, InstallMode::kCabinet, "C:\\work\\a.cab", 50},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "-4"}, InstallMode::kCabinet, "C:\\work\\a.cab", 50},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "many"}, InstallMode::kCabinet, "C:\\work\\a.cab", 50},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "-m"}, InstallMode::kCabinet, "C:\\work\\a.cab", 50},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "12", "extra"}, InstallMode::kCabinet, "C:\\work\\a.cab", 12},
      {{"k.exe", "{C}", "a.cab", "1,0,0,1", "99999999999"}, InstallMode::kCabinet, "C:\\work\\a.cab", 2147483647},
  };
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.arguments[2] + " " + c.arguments[3]);
    InstallerJob job = ChooseJob(c.arguments, "C:\\work");
    EXPECT_EQ(job.mode, c.mode);
    EXPECT_EQ(job.second, c.second);
    EXPECT_EQ(job.rawSecond, c.arguments[2]);
    if (c.mode != InstallMode::kNone) EXPECT_EQ(job.progressSteps, c.steps);
    EXPECT_EQ(job.usage.empty(), c.mode != InstallMode::kNone);
  }
}

TEST(InstallerArgumentsTest, UsageTextForTooFewArgumentsAndTheInputLineForNoMode) {
  for (size_t count = 1; count <= 3; ++count) {
    std::vector<std::string> arguments = {"k.exe", "a", "b"};
    arguments.resize(count);
    InstallerJob job = ChooseJob(arguments, "C:\\w");
    EXPECT_EQ(job.mode, InstallMode::kNone);
    EXPECT_EQ(job.usage, kUsageText);
  }
  InstallerJob job = ChooseJob({"k.exe", "%s", "b", "web"}, "C:\\w");
  EXPECT_EQ(job.usage, std::string("input Value = k.exe %s C:\\w\\b web\n") + kUsageText);
}

TEST(InstallerArgumentsTest, SilentSwitchIsAnExactFourthArgument) {
  EXPECT_TRUE(HasSilentSwitch({"k", "a", "b", "c", "-m"}));
  EXPECT_TRUE(HasSilentSwitch({"k", "a", "b", "c", "-M"}));
  EXPECT_FALSE(HasSilentSwitch({"k", "a", "b", "c", "-m", "x"}));
  EXPECT_FALSE(HasSilentSwitch({"k", "a", "b", "-m"}));
  EXPECT_FALSE(HasSilentSwitch({"k", "a", "b", "c", "m"}));
  EXPECT_FALSE(HasSilentSwitch({"k", "a", "b", "c", "-mm"}));
  EXPECT_EQ(StartStatusText({"k", "a", "b", "c"}), "Downloading Start...(a)");
  EXPECT_EQ(StartStatusText({"k", "a", "b"}), "Downloading Start...()");
}

TEST(ProgressThinningTest, StepsAtTriangularCounts) {
  ProgressThinning thinning;
  std::vector<int> steps;
  for (int message = 1; message <= 21; ++message) {
    if (thinning.Count()) steps.push_back(message);
  }
  EXPECT_EQ(steps, (std::vector<int>{1, 3, 6, 10, 15, 21}));
  thinning.Reset();
  EXPECT_TRUE(thinning.Count());
  EXPECT_FALSE(thinning.Count());
}

TEST(StatusTextTest, NameAfterTheLastSeparatorShortenedTo45) {
  std::string name45(45, 'n');
  std::string name46 = "abcd" + std::string(4, 'x') + std::string(38, 't');
  EXPECT_EQ(StatusTextFor("C:\\a\\b.cab"), "b.cab");
  EXPECT_EQ(StatusTextFor("http://h/p/b.cab"), "b.cab");
  EXPECT_EQ(StatusTextFor("http://h/p\\q/b.cab"), "q/b.cab");
  EXPECT_EQ(StatusTextFor("plain.cab"), "plain.cab");
  EXPECT_EQ(StatusTextFor("http://h/" + name45), name45);
  EXPECT_EQ(StatusTextFor("http://h/" + name46), "abcd" + std::string(kEllipsis949) + std::string(38, 't'));
}

TEST(StatusTextTest, CutsNeverSplitADoubleByteCharacter) {
  // "ab" + a Korean character (two bytes) + 40 more bytes + a Korean character at the tail's edge.
  std::string korean = "\xc7\xd8";
  std::string name = "abc" + korean + std::string(40, 'm') + korean + std::string(37, 'z');
  std::string shown = StatusTextFor(name, 949);
  EXPECT_EQ(shown, "abc" + std::string(kEllipsis949) + std::string(37, 'z'));
}

TEST(RequestedVersionTest, FourNumbersPackedAsFileVersions) {
  FileVersion version;
  ASSERT_TRUE(ParseVersionNumbers("1,0,0,5", version));
  EXPECT_EQ(version.most, 0x00010000u);
  EXPECT_EQ(version.least, 0x00000005u);
  ASSERT_TRUE(ParseVersionNumbers("-1,-1,-1,-1", version));
  EXPECT_EQ(version.most, 0xFFFFFFFFu);
  EXPECT_EQ(version.least, 0xFFFFFFFFu);
  EXPECT_TRUE(version.IsNewest());
  ASSERT_TRUE(ParseVersionNumbers("3,10,65535,42", version));
  EXPECT_EQ(version.most, 0x0003000Au);
  EXPECT_EQ(version.least, 0xFFFF002Au);
  EXPECT_FALSE(ParseVersionNumbers("1,2,3", version));
  EXPECT_FALSE(ParseVersionNumbers("a,b,c,d", version));
  EXPECT_FALSE(ParseVersionNumbers("", version));

  EXPECT_TRUE(IsVersionList("1,0,0,5"));
  EXPECT_TRUE(IsVersionList("1,"));
  EXPECT_FALSE(IsVersionList(",1"));
  EXPECT_FALSE(IsVersionList("http://h/version.txt"));
  EXPECT_FALSE(IsVersionList("5"));

  FileVersion low{0x00010000u, 1}, high{0x00010000u, 5}, major{0x00020000u, 0};
  EXPECT_TRUE(high.AtLeast(low));
  EXPECT_TRUE(high.AtLeast(high));
  EXPECT_FALSE(low.AtLeast(high));
  EXPECT_TRUE(major.AtLeast(high));
}

TEST(RequestedVersionTest, VersionFileFormsAndTheirFailures) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteText(folder / "good.txt", "1,0,0,5\r\nignored\r\n"));
  ASSERT_TRUE(WriteText(folder / "bad.txt", "version one\r\n"));
  ASSERT_TRUE(WriteText(folder / "empty.txt", ""));
  FileVersion version;
  std::string message;
  EXPECT_EQ(ResolveRequestedVersion(folder / "good.txt", version, message), S_OK);
  EXPECT_EQ(version.least, 5u);
  EXPECT_TRUE(message.empty());
  EXPECT_TRUE(FAILED(ResolveRequestedVersion(folder / "bad.txt", version, message)));
  EXPECT_NE(message.find("four numbers"), std::string::npos);
  EXPECT_TRUE(FAILED(ResolveRequestedVersion(folder / "empty.txt", version, message)));
  EXPECT_EQ(message, kVersionFileReadFailed);
  EXPECT_TRUE(FAILED(ResolveRequestedVersion(folder / "missing.txt", version, message)));
  EXPECT_EQ(message.rfind("version", 0), 0u);
  EXPECT_NE(message.find(folder / "missing.txt"), std::string::npos);
  EXPECT_TRUE(FAILED(ResolveRequestedVersion("1,2", version, message)));
}

std::wstring From949(const char* bytes) {
  wchar_t wide[512] = {0};
  int length = ::MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, bytes, -1, wide, 512);
  return length > 0 ? std::wstring(wide) : std::wstring(L"<invalid>");
}

TEST(InstallerTextsTest, KoreanTextsAreCodePage949) {
  EXPECT_EQ(From949(kCancelQuestion),
            L"\uc124\uce58\uc2dc \ucd5c\ub300 3\ubd84\uc815\ub3c4 \uc18c\uc694\ub429\ub2c8\ub2e4.\n"
            L"\uac15\uc81c\ub85c \uc885\ub8cc\ud558\uc2dc\uaca0\uc2b5\ub2c8\uae4c?");
  EXPECT_EQ(From949(kInstallFromSite),
            L"\ud574\ub2f9 site\uc5d0\uc11c \uc554\ud638\ud654\ubaa8\ub4c8\uc744 \uc124\uce58\ud6c4 "
            L"\uc2e4\ud589\ud558\uc2dc\uae30 \ubc14\ub78d\ub2c8\ub2e4.");
  EXPECT_EQ(From949(kEllipsis949), L"\u2026");
  EXPECT_EQ(From949(kVersionDownloadFailed).substr(0, 12), L"version\uc815\ubcf4\ub97c \uc5bb");
}

TEST(InstallerTextsTest, TextForEachFailureCode) {
  EXPECT_EQ(InetErrorText(static_cast<HRESULT>(0x800C0002)), "The URL could not be parsed.");
  EXPECT_EQ(InetErrorText(static_cast<HRESULT>(0x800C0005)), InetErrorText(static_cast<HRESULT>(0x800C0006)));
  EXPECT_EQ(InetErrorText(static_cast<HRESULT>(0x800C0016)), "The requested resource could not be locked.");
  EXPECT_EQ(InetErrorText(static_cast<HRESULT>(0x800C0012)), "Unknown Error!\n Request A/S Center");
  EXPECT_EQ(InetErrorText(E_FAIL), "Unknown Error!\n Request A/S Center");
  EXPECT_EQ(SystemErrorText(static_cast<HRESULT>(0x8007ABCD)), "0x8007abcd:unknown Error");
  EXPECT_EQ(SystemErrorText(INET_E_RESOURCE_NOT_FOUND).rfind("0x800c0005:", 0), 0u);
  EXPECT_NE(SystemErrorText(INET_E_RESOURCE_NOT_FOUND).find("ile not found"), std::string::npos);
  std::string known = SystemErrorText(static_cast<HRESULT>(0x80070002));
  EXPECT_EQ(known.rfind("0x80070002:", 0), 0u);
  EXPECT_GT(known.size(), std::strlen("0x80070002:"));
  EXPECT_LE(known.size(), std::strlen("0x80070002:") + 259);
}

TEST(DownloadCallbackTest, HttpErrorStatusesAreTransferFailures) {
  EXPECT_EQ(CDownload::HttpStatusResult(0), S_OK);
  EXPECT_EQ(CDownload::HttpStatusResult(200), S_OK);
  EXPECT_EQ(CDownload::HttpStatusResult(304), S_OK);
  EXPECT_EQ(CDownload::HttpStatusResult(404), INET_E_RESOURCE_NOT_FOUND);
  EXPECT_EQ(CDownload::HttpStatusResult(410), INET_E_RESOURCE_NOT_FOUND);
  EXPECT_EQ(CDownload::HttpStatusResult(401), INET_E_AUTHENTICATION_REQUIRED);
  EXPECT_EQ(CDownload::HttpStatusResult(500), INET_E_DATA_NOT_AVAILABLE);
}

TEST(CodeDownloadInfTest, ReadsTheFileSections) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteText(folder / "a.inf",
                        "[version]\r\nsignature=\"$CHICAGO$\"\r\n[Add.Code]\r\nctl.dll=ctl.dll\r\nhelp.dll=HelpSection\r\n"
                        "[ctl.dll]\r\nfile-win32-x86=thiscab\r\nfile-win64-x64=thiscab\r\nclsid={11111111-2222-3333-"
                        "4444-555555555555}\r\nFileVersion=2,1,0,7\r\nRegisterServer=YES\r\n"
                        "[HelpSection]\r\nfile-win32-x86=ignore\r\nfile-win64-x64=ignore\r\nDestDir=11\r\n"));
  std::vector<CodeDownloadFile> files;
  std::string error;
  ASSERT_EQ(ReadCodeDownloadInf(folder / "a.inf", files, error), S_OK) << error;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "ctl.dll");
  EXPECT_EQ(files[0].location, "thiscab");
  EXPECT_EQ(files[0].clsid, "{11111111-2222-3333-4444-555555555555}");
  EXPECT_TRUE(files[0].hasVersion);
  EXPECT_EQ(files[0].version.most, 0x00020001u);
  EXPECT_EQ(files[0].version.least, 0x00000007u);
  EXPECT_TRUE(files[0].registerServer);
  EXPECT_EQ(files[0].destination, 0);
  EXPECT_EQ(files[1].name, "help.dll");
  EXPECT_EQ(files[1].location, "ignore");
  EXPECT_FALSE(files[1].hasVersion);
  EXPECT_FALSE(files[1].registerServer);
  EXPECT_EQ(files[1].destination, 11);

  ASSERT_TRUE(WriteText(folder / "empty.inf", "[version]\r\nsignature=\"$CHICAGO$\"\r\n[Other]\r\na=b\r\n"));
  EXPECT_TRUE(FAILED(ReadCodeDownloadInf(folder / "empty.inf", files, error)));
  EXPECT_NE(error.find("Add.Code"), std::string::npos);
  EXPECT_TRUE(FAILED(ReadCodeDownloadInf(folder / "missing.inf", files, error)));
  EXPECT_FALSE(error.empty());
}

TEST(CabinetFilesTest, ExtractsTheBuiltCabinetAndRejectsDamagedOnes) {
  ScratchFolder folder;
  std::vector<std::string> names;
  ASSERT_EQ(ExtractCabinet(test::Fixture("control_v5.cab"), folder.Path(), names), S_OK);
  EXPECT_EQ(names, (std::vector<std::string>{"kt_test_control.inf", "kt_test_control.dll"}));
  EXPECT_TRUE(kt::device::test::Exists(folder / "kt_test_control.dll"));
  std::vector<CodeDownloadFile> files;
  std::string error;
  ASSERT_EQ(ReadCodeDownloadInf(folder / "kt_test_control.inf", files, error), S_OK);
  EXPECT_EQ(files.at(0).clsid, KT_TEST_CONTROL_CLSID);

  ScratchFolder other;
  EXPECT_TRUE(FAILED(ExtractCabinet(test::Fixture("damaged.cab"), other.Path(), names)));
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(FAILED(ExtractCabinet(test::Fixture("missing.cab"), other.Path(), names)));
  ASSERT_TRUE(WriteText(other / "text.cab", "not a cabinet at all"));
  EXPECT_TRUE(FAILED(ExtractCabinet(other / "text.cab", other.Path(), names)));
}

// Answers every question with a fixed button and keeps what was asked.
class ScriptedPrompt : public Kt_UserPrompt {
 public:
  int Show(HWND, const std::string& text, const std::string& caption, UINT) override {
    shown.push_back(caption + "|" + text);
    return answer;
  }
  std::vector<std::string> shown;
  int answer = IDOK;
};

TEST(InstallerDialogTest, TheOutcomeIsActedOnOnce) {
  ScriptedPrompt prompt;
  CKt_InstallerDlg dialog({"k.exe", "a", "b", "c"}, prompt, false);
  HWND window = dialog.Create(::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ::SendMessageA(window, kOutcomeMessage, S_OK, 0);
  ::SendMessageA(window, kOutcomeMessage, static_cast<WPARAM>(E_FAIL), 0);
  EXPECT_EQ(dialog.Result(), 0);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(dialog.Ended());

  CKt_InstallerDlg failing({"k.exe", "a", "b", "c"}, prompt, false);
  window = failing.Create(::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const char text[] = "first text";
  ::SendMessageA(window, kOutcomeMessage, static_cast<WPARAM>(INET_E_CANNOT_CONNECT), reinterpret_cast<LPARAM>(text));
  EXPECT_TRUE(failing.Ended());
  EXPECT_EQ(failing.Result(), static_cast<int>(INET_E_CANNOT_CONNECT));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0], std::string(kInstallerCaption) + "|first text");
}

TEST(InstallerDialogTest, ProgressMessagesStepTheBarThinnedOut) {
  ScriptedPrompt prompt;
  CKt_InstallerDlg dialog({"k.exe", "a", "b", "c"}, prompt, false);
  HWND window = dialog.Create(::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HWND bar = ::GetDlgItem(window, 1000);
  ::SendMessageA(bar, PBM_SETRANGE32, 0, 50);
  ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
  std::vector<LRESULT> positions;
  for (int message = 1; message <= 10; ++message) {
    ::SendMessageA(window, kProgressMessage, 1, 0);
    positions.push_back(::SendMessageA(bar, PBM_GETPOS, 0, 0));
  }
  EXPECT_EQ(positions, (std::vector<LRESULT>{1, 1, 2, 2, 2, 3, 3, 3, 3, 4}));
}

TEST(InstallerDialogTest, CancelAsksUnlessSilentAndRetryKeepsRunning) {
  ScriptedPrompt prompt;
  prompt.answer = IDRETRY;
  CKt_InstallerDlg dialog({"k.exe", "a", "b", "c"}, prompt, false);
  HWND window = dialog.Create(::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(dialog.Ended());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0], std::string(kInstallerCaption) + "|" + kCancelQuestion);
  prompt.answer = IDCANCEL;
  ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(dialog.Ended());
  EXPECT_EQ(dialog.Result(), -1);

  CKt_InstallerDlg silent({"k.exe", "a", "b", "c", "-m"}, prompt, true);
  window = silent.Create(::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(::IsWindowVisible(window));
  ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(silent.Ended());
  EXPECT_EQ(silent.Result(), -1);
  EXPECT_EQ(prompt.shown.size(), 2u);
}

}  // namespace
}  // namespace kt::bootstrap
