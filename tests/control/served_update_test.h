#pragma once
// The base of whole-update tests: a control created in this process with an application key of
// its own and the platform's keys set aside, the local web server (started by the CTest
// fixture), and a folder of the server's document root named after the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/kt_qx_installer.h"
#include "nginx_fixture.h"
#include "tests/control/control_test_support.h"

namespace kt_test {

class ServedUpdateTest : public ::testing::Test {
 protected:
  explicit ServedUpdateTest(const char* tag) : app_(tag) {}

  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    ASSERT_TRUE(control_);
    site_ = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            std::to_string(::GetCurrentProcessId());
    ASSERT_EQ(PutText(Control(), L"Key", app_.Key()), S_OK);
  }

  std::string Url(const std::string& relative) const { return server_.Url(site_ + "/" + relative); }
  kt::control::CKtQxInstaller3& Object() { return *static_cast<kt::control::CKtQxInstaller3*>(control_.Get()); }
  IDispatch* Control() { return control_.Get(); }

  // Runs an update and gives the last part of every URI the server answered during it.
  std::vector<std::string> RunUpdate(const std::string& url, HRESULT expected = S_OK) {
    const std::uint64_t mark = server_.LogMark();
    EXPECT_EQ(PutText(Control(), L"UpdateURL", url), S_OK);
    EXPECT_EQ(control_->StartDownload(), expected);
    std::vector<std::string> uris;
    for (const auto& request : server_.RequestsSince(mark)) uris.push_back(request.uri.substr(request.uri.rfind('/') + 1));
    return uris;
  }

  PlatformKeysAside aside_;
  kt::device::ComApartment com_;
  ScratchApplication app_;
  NginxFixture server_ = NginxFixture::FromEnvironment();
  ComPtr<IKtQxInstaller320_V3> control_ = NewControl();
  std::string site_;
};

}  // namespace kt_test
