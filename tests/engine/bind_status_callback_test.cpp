// The bind-status callback as the URL moniker service sees it, driven here by hand with a
// stand-in binding: the interfaces it answers, the window it lends, proxy credentials stored after
// a login, and Stop reaching the binding.
#include "engine/transport/bind_status_callback.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dataset/text/base64.h"
#include "device/com_ptr.h"
#include "recording_sink.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

// A binding that answers the proxy options and records Abort.
class StandInBinding : public IBinding, public IWinInetInfo {
 public:
  StandInBinding(std::string user, std::string password) : user_(std::move(user)), password_(std::move(password)) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IBinding) {
      *object = static_cast<IBinding*>(this);
    } else if (riid == IID_IWinInetInfo) {
      *object = static_cast<IWinInetInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  STDMETHODIMP Abort() override {
    ++aborts;
    return S_OK;
  }
  STDMETHODIMP Suspend() override { return E_NOTIMPL; }
  STDMETHODIMP Resume() override { return E_NOTIMPL; }
  STDMETHODIMP SetPriority(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }

  STDMETHODIMP QueryOption(DWORD option, LPVOID buffer, DWORD* size) override {
    const std::string& text = option == INTERNET_OPTION_PROXY_USERNAME ? user_
                              : option == INTERNET_OPTION_PROXY_PASSWORD ? password_
                                                                         : empty_;
    if (option != INTERNET_OPTION_PROXY_USERNAME && option != INTERNET_OPTION_PROXY_PASSWORD) return E_FAIL;
    const std::size_t length = std::min<std::size_t>(text.size(), *size);
    std::memcpy(buffer, text.data(), length);
    if (length < *size) static_cast<char*>(buffer)[length] = '\0';
    *size = static_cast<DWORD>(length);
    return S_OK;
  }

  ULONG references = 1;
  int aborts = 0;

 private:
  std::string user_;
  std::string password_;
  std::string empty_;
};

class BindStatusCallbackTest : public ::testing::Test {
 protected:
  BindStatusCallbackTest() { callback_.Attach(Kt_BindStatusCallback::Create(sink_)); }

  // Authenticate as the system calls it for a login; gives the window lent.
  HWND Login() {
    HWND window = reinterpret_cast<HWND>(1);
    LPWSTR user = reinterpret_cast<LPWSTR>(1);
    LPWSTR password = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(callback_->Authenticate(&window, &user, &password), S_OK);
    EXPECT_EQ(user, nullptr);
    EXPECT_EQ(password, nullptr);
    return window;
  }

  RecordingSink sink_;
  kt::device::ComPtr<Kt_BindStatusCallback> callback_;
};

std::string Decoded(const std::string& base64) {
  Kt_Buffer bytes;
  Base64Decode(base64.c_str(), base64.size(), bytes);
  return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

TEST_F(BindStatusCallbackTest, AnswersEveryInterfaceTheServiceAsksFor) {
  for (const IID* iid : {&IID_IUnknown, &IID_IBindStatusCallback, &IID_IAuthenticate, &IID_IHttpSecurity,
                         &IID_IWindowForBindingUI, &IID_IHttpNegotiate, &IID_IServiceProvider}) {
    kt::device::ComPtr<IUnknown> direct;
    EXPECT_EQ(callback_->QueryInterface(*iid, direct.PutVoid()), S_OK);
    kt::device::ComPtr<IUnknown> service;
    EXPECT_EQ(callback_->QueryService(*iid, *iid, service.PutVoid()), S_OK);
  }
  kt::device::ComPtr<IUnknown> none;
  EXPECT_EQ(callback_->QueryInterface(IID_IDispatch, none.PutVoid()), E_NOINTERFACE);
  EXPECT_FALSE(none);
}

TEST_F(BindStatusCallbackTest, LoginStoresProxyCredentialsWhenTheTransferEnds) {
  StandInBinding binding("proxy user", "s3cret:with colon");
  callback_->BeginTransfer("a.dll");
  ASSERT_EQ(callback_->OnStartBinding(0, &binding), S_OK);
  Login();
  EXPECT_TRUE(sink_.settings.empty());
  ASSERT_EQ(callback_->OnStopBinding(S_OK, nullptr), S_OK);
  ASSERT_EQ(sink_.settings.size(), 1u);
  EXPECT_EQ(sink_.settings[0].first, "ProxyInfo");
  EXPECT_EQ(Decoded(sink_.settings[0].second), "proxy user:s3cret:with colon");
  EXPECT_EQ(binding.references, 1u);

  // The next transfer without a login stores nothing.
  callback_->BeginTransfer("b.dll");
  ASSERT_EQ(callback_->OnStartBinding(0, &binding), S_OK);
  ASSERT_EQ(callback_->OnStopBinding(S_OK, nullptr), S_OK);
  EXPECT_EQ(sink_.settings.size(), 1u);
}

TEST_F(BindStatusCallbackTest, LoginWithoutAProxyUserKeepsWhatWasRemembered) {
  StandInBinding binding("", "");
  ASSERT_EQ(callback_->OnStartBinding(0, &binding), S_OK);
  Login();
  ASSERT_EQ(callback_->OnStopBinding(S_OK, nullptr), S_OK);
  EXPECT_TRUE(sink_.settings.empty());
}

TEST_F(BindStatusCallbackTest, CredentialsAreCutAt255Characters) {
  StandInBinding binding(std::string(300, 'u'), "p");
  ASSERT_EQ(callback_->OnStartBinding(0, &binding), S_OK);
  Login();
  ASSERT_EQ(callback_->OnStopBinding(S_OK, nullptr), S_OK);
  ASSERT_EQ(sink_.settings.size(), 1u);
  EXPECT_EQ(Decoded(sink_.settings[0].second), std::string(255, 'u') + ":p");
}

TEST_F(BindStatusCallbackTest, SecurityProblemsAreLeftToTheSystem) {
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(callback_->GetWindow(IID_IHttpSecurity, &window), S_OK);
  EXPECT_EQ(window, nullptr);  // the sink's dialog owner
  EXPECT_EQ(callback_->OnSecurityProblem(ERROR_INTERNET_INVALID_CA), S_FALSE);
}

TEST_F(BindStatusCallbackTest, AbortReachesTheBindingInProgressOnly) {
  StandInBinding binding("", "");
  callback_->AbortBinding();  // nothing in progress
  ASSERT_EQ(callback_->OnStartBinding(0, &binding), S_OK);
  callback_->AbortBinding();
  EXPECT_EQ(binding.aborts, 1);
  EXPECT_EQ(binding.references, 1u);
  callback_->AbortBinding();
  EXPECT_EQ(binding.aborts, 1);
}

TEST_F(BindStatusCallbackTest, ProgressBecomesEventsBetweenPumps) {
  callback_->BeginTransfer("a.dll");
  EXPECT_EQ(callback_->OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, L"http://srv/a.dll"), S_OK);
  ASSERT_EQ(sink_.progress.size(), 1u);
  EXPECT_EQ(sink_.progress[0].itemName, "a.dll");
  EXPECT_EQ(sink_.progress[0].progress, 10u);
  EXPECT_EQ(sink_.progress[0].progressMax, 100u);
  EXPECT_EQ(sink_.progress[0].statusText, "http://srv/a.dll");
  EXPECT_EQ(sink_.pumps, 2);
  // A stop flag set while the events were delivered ends the transfer.
  sink_.stopFlag = true;
  EXPECT_EQ(callback_->OnProgress(20, 100, BINDSTATUS_DOWNLOADINGDATA, nullptr), E_ABORT);
}

TEST_F(BindStatusCallbackTest, DetachedCallbackReachesNoSink) {
  callback_->DetachSink();
  EXPECT_EQ(callback_->OnProgress(1, 2, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
  HWND window = reinterpret_cast<HWND>(1);
  EXPECT_EQ(callback_->GetWindow(IID_IHttpSecurity, &window), S_OK);
  EXPECT_TRUE(sink_.progress.empty());
}

}  // namespace
