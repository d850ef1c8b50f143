// The download transport against a real web server (nginx, started by the CTest fixture) under
// Wine: lists in every form, file downloads, error answers, refused and cut-off connections,
// Stop during a slow transfer, and FILENAME values that would leave the download folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/documents/document_form.h"
#include "dataset/binary/packer.h"
#include "device/com_ptr.h"
#include "engine/core/compose_url.h"
#include "engine/core/transport_error_text.h"
#include "engine/transport/download_transport.h"
#include "engine_test_support.h"
#include "nginx_fixture.h"
#include "recording_sink.h"
#include "server_tree.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;
using kt::device::test::Exists;
using kt::device::test::ReadText;

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x800C0005u);
constexpr HRESULT kNoData = static_cast<HRESULT>(0x800C0007u);
constexpr HRESULT kInterrupted = static_cast<HRESULT>(0x800C0008u);
constexpr HRESULT kInvalidName = static_cast<HRESULT>(0x8007007Bu);

// Every file in a folder.
std::vector<std::string> FolderContents(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  kt::device::UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
  if (!find) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.Get(), &data));
  return names;
}

// A list as XML text of the system code page, for comparing two lists whatever form they came in.
std::string ListText(const Kt_ParamList& params, const Kt_DatasetList& datasets) {
  std::vector<unsigned char> text;
  if (SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, 0, false, text) < 0) return "(unwritable)";
  return std::string(text.begin(), text.end());
}

std::string SourceListText(const std::string& source) {
  const std::string bytes = ReadText(ServerSourcePath(source));
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  if (LoadDocumentInAnyForm(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), params, datasets,
                            form) < 0)
    return "(unreadable source)";
  return ListText(params, datasets);
}

class TransportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { treeWritten_ = WriteServerTree(treeProblem_); }

  void SetUp() override {
    ASSERT_TRUE(server_.Ready()) << server_.Problem();
    ASSERT_TRUE(treeWritten_) << treeProblem_;
    ASSERT_TRUE(apartment_.Usable());
    mark_ = server_.LogMark();
  }

  std::vector<kt_test::ServedRequest> Requests(std::size_t atLeast = 0) const {
    return server_.RequestsSince(mark_, atLeast);
  }

  // Stops the transfer at its first progress with data.
  void StopAtFirstData() {
    sink_.onProgress = [this](const ProgressEvent& event) {
      if (event.progress > 0 && !stopped_) {
        stopped_ = true;
        transport_.Stop();
      }
    };
  }

  static inline bool treeWritten_ = false;
  static inline std::string treeProblem_;
  kt_test::NginxFixture server_ = kt_test::NginxFixture::FromEnvironment();
  kt::device::ComApartment apartment_;
  RecordingSink sink_;
  Kt_DownloadTransport transport_{sink_};
  ScratchFolder folder_;
  std::uint64_t mark_ = 0;
  bool stopped_ = false;
};

struct ListCase {
  const char* name;
  const char* path;
  int packing;
  bool binary;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

class ListFormTest : public TransportTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListFormTest, FetchesParsesAndRemembersTheForm) {
  const ListCase& c = GetParam();
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  ASSERT_EQ(transport_.FetchList(server_.Url(c.path), params, datasets, form), S_OK);
  EXPECT_TRUE(sink_.errors.empty());
  EXPECT_EQ(ListText(params, datasets), SourceListText("components.xml"));
  EXPECT_EQ(form.packing, c.packing);
  EXPECT_EQ(form.binary, c.binary);
  EXPECT_EQ(form.codePage, 1252u);
  // Written back in the remembered form, the list is the server's document byte for byte.
  std::vector<unsigned char> written;
  ASSERT_GT(SaveDocumentInForm(params, datasets, kSelectRecordsAndChanges, form, written), 0);
  EXPECT_TRUE(std::string(written.begin(), written.end()) == ReadText(ServedPath(c.path)));
  const auto requests = Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].uri, std::string("/") + c.path);
  EXPECT_EQ(requests[0].status, 200);
}

INSTANTIATE_TEST_SUITE_P(Forms, ListFormTest,
                         ::testing::Values(ListCase{"Xml", kXmlList, 0, false}, ListCase{"Binary", kBinaryList, 0, true},
                                           ListCase{"LzssXml", kLzssList, Kt_Packer::kLzss, false},
                                           ListCase{"ZlibBinary", kZlibBinaryList, Kt_Packer::kZlib, true}),
                         [](const ::testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

TEST_F(TransportTest, KoreanListKeepsItsEncoding) {
  if (GetACP() != 949) GTEST_SKIP() << "runs with the ANSI code page 949 (LC_ALL=ko_KR.UTF-8)";
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  ASSERT_EQ(transport_.FetchList(server_.Url(kKoreanList), params, datasets, form), S_OK);
  EXPECT_EQ(ListText(params, datasets), SourceListText("korean.xml"));
  EXPECT_EQ(form.codePage, 949u);
  EXPECT_STREQ(form.encodingName.c_str(), "euc-kr");
  const Kt_Variable* title = params.Find("TITLE");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(std::string(title->value.ToString().c_str()), "\xC7\xD1\xB1\xDB \xB1\xB8\xBC\xBA \xBF\xE4\xBC\xD2");
  std::vector<unsigned char> written;
  ASSERT_GT(SaveDocumentInForm(params, datasets, kSelectRecordsAndChanges, form, written), 0);
  EXPECT_TRUE(std::string(written.begin(), written.end()) == ReadText(ServedPath(kKoreanList)));
}

TEST_F(TransportTest, ReadDocumentGivesEveryByteWithProgress) {
  std::string text;
  transport_.SetCurrentFileName("last item.dll");
  ASSERT_EQ(transport_.ReadDocument(server_.Url(kLargeFile), text), S_OK);
  EXPECT_TRUE(text == ReadText(ServedPath(kLargeFile))) << "read " << text.size() << " bytes";
  ASSERT_FALSE(sink_.progress.empty());
  // List reads carry the name of the last item.
  for (const ProgressEvent& event : sink_.progress) EXPECT_EQ(event.itemName, "last item.dll");
  EXPECT_GT(sink_.pumps, 0);
  EXPECT_TRUE(sink_.errors.empty());
}

TEST_F(TransportTest, DownloadStoresTheFileUnderItsNameOnly) {
  ASSERT_EQ(transport_.DownloadFile(server_.Url(kPayload), folder_.Path(), "payload.txt"), S_OK);
  EXPECT_EQ(ReadText(folder_ / "payload.txt"), ReadText(ServerSourcePath("payload.txt")));
  EXPECT_EQ(FolderContents(folder_.Path()), std::vector<std::string>{"payload.txt"});
  EXPECT_EQ(transport_.CurrentFileName(), "payload.txt");
  ASSERT_FALSE(sink_.progress.empty());
  bool sawLength = false;
  for (const ProgressEvent& event : sink_.progress) {
    EXPECT_EQ(event.itemName, "payload.txt");
    sawLength = sawLength || event.progressMax > 0;
  }
  EXPECT_TRUE(sawLength);
  EXPECT_TRUE(sink_.errors.empty());
  const auto requests = Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].uri, std::string("/") + kPayload);
}

TEST_F(TransportTest, DownloadReplacesAnEarlierCopy) {
  ASSERT_TRUE(WriteText(folder_ / "payload.txt", "an older copy"));
  ASSERT_EQ(transport_.DownloadFile(server_.Url(kPayload), folder_.Path(), "payload.txt"), S_OK);
  EXPECT_EQ(ReadText(folder_ / "payload.txt"), ReadText(ServerSourcePath("payload.txt")));
  EXPECT_EQ(FolderContents(folder_.Path()).size(), 1u);
}

// A failed answer as the server (or the lack of one) gives it.
struct FailureCase {
  const char* name;
  const char* path;  // "refused:" + path: on the port where nothing listens
  HRESULT result;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FailedTransferTest : public TransportTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  std::string FailureUrl() const {
    const std::string path = GetParam().path;
    const std::string refused = "refused:";
    if (path.compare(0, refused.size(), refused) == 0) return server_.RefusedUrl(path.substr(refused.size()));
    return server_.Url(path);
  }
};

TEST_P(FailedTransferTest, ListIsNeitherStoredNorParsed) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  EXPECT_EQ(transport_.FetchList(FailureUrl(), params, datasets, form), GetParam().result);
  EXPECT_EQ(params.Count(), 0);
  EXPECT_EQ(datasets.Count(), 0);
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(sink_.FiredCount(), 1);
  EXPECT_EQ(fired.messageId, kMessageRequestFailed);
  EXPECT_EQ(fired.result, GetParam().result);
  EXPECT_EQ(fired.extra, TransportErrorText(GetParam().result));
  EXPECT_EQ(fired.name, FailureUrl());
}

TEST_P(FailedTransferTest, FileIsNotStoredAndAnEarlierCopyStays) {
  ASSERT_TRUE(WriteText(folder_ / "payload.txt", "the complete earlier download"));
  EXPECT_EQ(transport_.DownloadFile(FailureUrl(), folder_.Path(), "payload.txt"), GetParam().result);
  EXPECT_EQ(ReadText(folder_ / "payload.txt"), "the complete earlier download");
  EXPECT_EQ(FolderContents(folder_.Path()), std::vector<std::string>{"payload.txt"});
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(fired.messageId, kMessageDownloadFailed);
  EXPECT_EQ(fired.result, GetParam().result);
  EXPECT_EQ(fired.extra, TransportErrorText(GetParam().result));
  EXPECT_FALSE(sink_.stopFlag);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FailedTransferTest,
    ::testing::Values(FailureCase{"NotFound", "status/404/files/payload.txt", kNotFound},
                      FailureCase{"Gone", "status/410/files/payload.txt", kNotFound},
                      FailureCase{"ServerError", "status/500/files/payload.txt", kNoData},
                      FailureCase{"Refused", "refused:files/payload.txt", kInterrupted},
                      FailureCase{"CutOff", "truncated/files/large.bin", kInterrupted}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(TransportTest, StopDuringASlowDownloadLeavesNoFile) {
  StopAtFirstData();
  EXPECT_EQ(transport_.DownloadFile(server_.Url(std::string("slow/") + kLargeFile), folder_.Path(), "large.bin"),
            E_ABORT);
  EXPECT_TRUE(stopped_);
  EXPECT_TRUE(sink_.stopFlag);
  EXPECT_TRUE(FolderContents(folder_.Path()).empty());
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(fired.messageId, kMessageRunStopped);
  EXPECT_EQ(fired.result, E_ABORT);
  const auto requests = Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_LT(requests[0].body_bytes, static_cast<std::int64_t>(ReadText(ServedPath(kLargeFile)).size()));
}

TEST_F(TransportTest, StopDuringASlowListReadGivesNoText) {
  StopAtFirstData();
  std::string text = "left from before";
  EXPECT_EQ(transport_.ReadDocument(server_.Url(std::string("slow/") + kLargeFile), text), E_ABORT);
  EXPECT_TRUE(stopped_);
  EXPECT_TRUE(text.empty());
  ASSERT_EQ(sink_.errors.size(), 1u);
  EXPECT_EQ(sink_.errors[0].messageId, kMessageTransferAborted);
  EXPECT_FALSE(sink_.errors[0].fired);
}

class RefusedFileNameTest : public TransportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedFileNameTest, NothingIsFetchedOrWritten) {
  const std::string inner = folder_ / "downloads\\";
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
  EXPECT_EQ(transport_.DownloadFile(server_.Url(kPayload), inner, GetParam()), kInvalidName);
  EXPECT_TRUE(FolderContents(inner).empty());
  EXPECT_EQ(FolderContents(folder_.Path()), std::vector<std::string>{"downloads"});
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(fired.messageId, kMessageDownloadFailed);
  EXPECT_EQ(fired.result, kInvalidName);
  EXPECT_NE(fired.extra.find("from the server"), std::string::npos) << fired.extra;
  EXPECT_TRUE(Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedFileNameTest,
                         ::testing::Values("..\\payload.txt", "../payload.txt", "..", ".", "", "sub\\payload.txt",
                                           "C:payload.txt", "C:\\payload.txt", "payload.txt:stream"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return "Name" + std::to_string(info.index);
                         });

TEST_F(TransportTest, MalformedListIsReportedWithItsReason) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  EXPECT_EQ(transport_.FetchList(server_.Url(kMalformedList), params, datasets, form), E_FAIL);
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(fired.messageId, kMessageListNotRead);
  EXPECT_EQ(fired.result, S_OK);
  EXPECT_EQ(fired.extra.rfind("The list from the server cannot be read: ", 0), 0u) << fired.extra;
  EXPECT_EQ(datasets.Count(), 0);
}

TEST_F(TransportTest, EmptyUrlReadsNothing) {
  std::string text;
  EXPECT_EQ(transport_.ReadDocument("", text), E_FAIL);
  EXPECT_TRUE(sink_.errors.empty());
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  EXPECT_EQ(transport_.FetchList("", params, datasets, form), E_FAIL);
  const ReportedError fired = sink_.LastFired();
  EXPECT_EQ(fired.messageId, kMessageListNotRead);
  EXPECT_EQ(fired.result, S_OK);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(TransportTest, ChangedDocumentIsReadAnew) {
  const std::string path = "lists/changing.xml";
  ASSERT_TRUE(WriteText(ServedPath(path), "first"));
  std::string text;
  ASSERT_EQ(transport_.ReadDocument(server_.Url(path), text), S_OK);
  EXPECT_EQ(text, "first");
  ASSERT_TRUE(WriteText(ServedPath(path), "second, longer"));
  ASSERT_EQ(transport_.ReadDocument(server_.Url(path), text), S_OK);
  EXPECT_EQ(text, "second, longer");
  ASSERT_EQ(transport_.DownloadFile(server_.Url(path), folder_.Path(), "changing.xml"), S_OK);
  EXPECT_EQ(ReadText(folder_ / "changing.xml"), "second, longer");
}

TEST_F(TransportTest, LoginAnswerIsNeitherStoredNorParsed) {
  constexpr HRESULT kLoginNeeded = static_cast<HRESULT>(0x800C0009u);
  const std::string url = server_.Url(std::string("auth/") + kPayload);
  std::string text;
  EXPECT_EQ(transport_.ReadDocument(url, text), kLoginNeeded);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(transport_.DownloadFile(url, folder_.Path(), "payload.txt"), kLoginNeeded);
  EXPECT_TRUE(FolderContents(folder_.Path()).empty());
  EXPECT_EQ(sink_.LastFired().extra, TransportErrorText(kLoginNeeded));
  // No proxy login happened: nothing is remembered.
  EXPECT_TRUE(sink_.settings.empty());
  const auto requests = Requests(2);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].status, 401);
}

TEST_F(TransportTest, LocalListAndFileAreReadThroughFileUrls) {
  ASSERT_TRUE(WriteText(folder_ / "components.xml", ReadText(ServedPath(kLzssList))));
  // A SOURCE that is a drive path stands for a file location of its own.
  const std::string listUrl = ComposeUrl("http://127.0.0.1/lists", folder_ / "components.xml").Url();
  ASSERT_EQ(listUrl.rfind("file://", 0), 0u) << listUrl;
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  ASSERT_EQ(transport_.FetchList(listUrl, params, datasets, form), S_OK);
  EXPECT_EQ(ListText(params, datasets), SourceListText("components.xml"));
  EXPECT_EQ(form.packing, Kt_Packer::kLzss);

  ScratchFolder downloads;
  ASSERT_EQ(transport_.DownloadFile(listUrl, downloads.Path(), "copy.xml"), S_OK);
  EXPECT_EQ(ReadText(downloads / "copy.xml"), ReadText(ServedPath(kLzssList)));
  EXPECT_TRUE(sink_.errors.empty());
  EXPECT_TRUE(Requests().empty());
}

TEST_F(TransportTest, DownloadIntoAMissingFolderFailsBeforeTheTransfer) {
  const std::string missing = folder_ / "missing\\";
  EXPECT_TRUE(FAILED(transport_.DownloadFile(server_.Url(kPayload), missing, "payload.txt")));
  EXPECT_FALSE(Exists(missing));
  EXPECT_EQ(sink_.LastFired().messageId, kMessageDownloadFailed);
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
