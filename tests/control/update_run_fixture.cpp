#include "tests/control/update_run_fixture.h"

#include <algorithm>
#include <fstream>

#include "config/qxp_configuration.h"
#include "control/com/bstr.h"

namespace kt_test {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::string& path, const std::string& text) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFile(const std::string& name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  return temp + name;
}

std::string ConfigurationList(const std::vector<std::vector<std::string>>& rows) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
                    "<param id=\"CONFIG\" type=\"STRING\">true</param><param id=\"VERSION\" type=\"STRING\">1.0</param>"
                    "</params><dataset id=\"WIN32\"><colinfo id=\"SOURCE\" type=\"STRING\"/>"
                    "<colinfo id=\"VERSION\" type=\"STRING\"/><colinfo id=\"UACFIX\" type=\"STRING\"/>";
  for (const auto& row : rows) {
    xml += "<record><SOURCE>" + row[0] + "</SOURCE><VERSION>" + row[1] + "</VERSION><UACFIX>" +
           (row.size() > 2 ? row[2] : std::string()) + "</UACFIX></record>";
  }
  return xml + "</dataset></root>\n";
}

std::string ComponentList(const std::vector<ListRow>& rows) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params>"
                    "<param id=\"SOURCE\" type=\"STRING\">files</param>"
                    "<param id=\"ACTION\" type=\"STRING\">COPY</param></params><dataset id=\"LIST\">";
  const char* const columns[] = {"FILENAME", "VERSION", "ACTION", "TARGET", "ARGUMENT", "OLDVERSION", "PATCHFILENAME"};
  for (const char* column : columns) xml += std::string("<colinfo id=\"") + column + "\" type=\"STRING\"/>";
  for (const ListRow& row : rows) {
    const std::string* cells[] = {&row.fileName, &row.version,    &row.action,       &row.target,
                                  &row.argument, &row.oldVersion, &row.patchFileName};
    xml += "<record>";
    for (size_t i = 0; i < sizeof cells / sizeof cells[0]; ++i) {
      xml += std::string("<") + columns[i] + ">" + *cells[i] + "</" + columns[i] + ">";
    }
    xml += "</record>";
  }
  return xml + "</dataset></root>\n";
}

DWORD RunAndWait(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
    return 0xFFFFFFFF;
  }
  DWORD code = 0xFFFFFFFE;
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return code;
}

std::string TakePendingRenames() {
  HKEY session = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_READ | KEY_WRITE, &session) != ERROR_SUCCESS) {
    return std::string();
  }
  char pending[8192] = {};
  DWORD size = sizeof pending;
  ::RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(pending), &size);
  ::RegDeleteValueA(session, "PendingFileRenameOperations");
  ::RegCloseKey(session);
  return std::string(pending, size);
}

EventConnection::EventConnection(IUnknown* control, REFIID events, IDispatch* sink) {
  ComPtr<IConnectionPointContainer> container;
  if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) {
    container->FindConnectionPoint(events, reinterpret_cast<IConnectionPoint**>(point_.PutVoid()));
  }
  if (point_) point_->Advise(sink, &cookie_);
}

void EventConnection::Disconnect() {
  if (cookie_ != 0) point_->Unadvise(cookie_);
  cookie_ = 0;
  point_.Reset();
}

UpdateRunFixture::UpdateRunFixture(const char* applicationTag, const char* serveRoot)
    : app_(applicationTag), serveRoot_(serveRoot) {}

void UpdateRunFixture::SetUp() {
  ASSERT_TRUE(server_.Ready()) << server_.Problem();
  ASSERT_TRUE(control_);
  // The site names the local list files too: kept short, so that their paths stay well inside
  // MAX_PATH; parameterised tests are named "name/case".
  const std::string tag = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  site_ = tag.substr(0, 12) + tag.substr(tag.size() > 12 ? tag.size() - 12 : 12) + std::to_string(::GetCurrentProcessId());
  std::replace(site_.begin(), site_.end(), '/', '_');
  installed_ = TempFile("kt_run_" + site_ + "\\");
  ::CreateDirectoryA(installed_.c_str(), nullptr);
  ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
  ASSERT_EQ(control_->AddAlias(kt::com::Bstr("").Get(), kt::com::Bstr(installed_).Get(), kt::com::Bstr("").Get()), S_OK);
  Object().SetQuestionSeam([this](const std::string& text, UINT) {
    questions_.push_back(text);
    return answer_;
  });
}

// The installed files and the download folder go: the prefix is shared with other tests, some
// of which need that folder absent.
void UpdateRunFixture::TearDown() {
  RunAndWait("cmd /c rd /s /q \"" + installed_ + "\"");
  RunAndWait("cmd /c rd /s /q \"" + DownloadFolder() + "\"");
}

void UpdateRunFixture::Serve(const std::string& relative, const std::string& content) {
  std::string path = serveRoot_ + "\\" + site_ + "\\" + relative;
  for (char& ch : path) {
    if (ch == '/') ch = '\\';
  }
  Spit(path, content);
}

std::vector<std::string> UpdateRunFixture::RunUpdate(const std::string& url, HRESULT expected) {
  const std::uint64_t mark = server_.LogMark();
  EXPECT_EQ(PutText(Control(), L"UpdateURL", url), S_OK);
  EXPECT_EQ(control_->StartDownload(), expected);
  std::vector<std::string> names;
  for (const auto& request : server_.RequestsSince(mark)) names.push_back(request.uri.substr(request.uri.rfind('/') + 1));
  return names;
}

std::string UpdateRunFixture::DownloadFolder() const {
  return Kt_QxpConfiguration().SetupFolder(Kt_QxpConfiguration::kPc);
}

}  // namespace kt_test
