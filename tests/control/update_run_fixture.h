// What whole-update tests share: server trees written into the nginx fixture's document root,
// component and configuration lists built from rows, a control with this test's own application
// key and alias folder, and the pending renames taken away afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/kt_qx_installer.h"
#include "device/com_ptr.h"
#include "nginx_fixture.h"
#include "tests/control/control_test_support.h"

namespace kt_test {

std::string Slurp(const std::string& path);
// Writes a file, creating its folders.
void Spit(const std::string& path, const std::string& text);
bool Exists(const std::string& path);
// A path in the temp folder.
std::string TempFile(const std::string& name);

// One row per component list: SOURCE, VERSION and (optionally) UACFIX.
std::string ConfigurationList(const std::vector<std::vector<std::string>>& rows);

struct ListRow {
  std::string fileName, version, action, target;
  std::string argument{};
  std::string oldVersion{};
  std::string patchFileName{};
};
// A component list whose files lie in "files" beside it; ACTION defaults to COPY.
std::string ComponentList(const std::vector<ListRow>& rows);

// Runs a command line and waits at most a minute; its exit code.
DWORD RunAndWait(std::string commandLine);
// The renames waiting for the next start, taken away so that no later restart of the shared
// prefix carries them out.
std::string TakePendingRenames();

// A sink connected to one event interface of the control for as long as this object lives.
class EventConnection {
 public:
  EventConnection(IUnknown* control, REFIID events, IDispatch* sink);
  ~EventConnection() { Disconnect(); }
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

  bool Connected() const { return cookie_ != 0; }
  void Disconnect();

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

// A control whose relative targets land in a folder of this test, questions answered through the
// seam (recorded; "No" unless told otherwise), and a site folder of its own on the server.
class UpdateRunFixture : public ::testing::Test {
 protected:
  explicit UpdateRunFixture(const char* applicationTag, const char* serveRoot);
  void SetUp() override;
  void TearDown() override;

  void Serve(const std::string& relative, const std::string& content);
  std::string Url(const std::string& relative) const { return server_.Url(site_ + "/" + relative); }
  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }
  IDispatch* Control() { return control_.Get(); }
  // Runs an update; the file names of the requests the server answered meanwhile.
  std::vector<std::string> RunUpdate(const std::string& url, HRESULT expected = S_OK);
  std::string DownloadFolder() const;

  PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  ScratchApplication app_;
  NginxFixture server_ = NginxFixture::FromEnvironment();
  ComPtr<IKtQxInstaller320_V3> control_ = NewControl();
  std::string serveRoot_;
  std::string site_;
  std::string installed_;
  std::vector<std::string> questions_;
  int answer_ = IDNO;
};

}  // namespace kt_test
