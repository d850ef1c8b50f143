#include "engine/core/http_answer.h"

#include <gtest/gtest.h>

namespace {

using namespace kt::engine;

struct StatusCase {
  int status;
  TransportResult result;
};

class HttpStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(HttpStatusTest, MapsToTheNearestTransferResult) {
  EXPECT_EQ(ResultForHttpStatus(GetParam().status), GetParam().result) << GetParam().status;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HttpStatusTest,
    ::testing::Values(StatusCase{0, kTransportOk}, StatusCase{200, kTransportOk}, StatusCase{206, kTransportOk},
                      StatusCase{299, kTransportOk}, StatusCase{404, kResourceNotFound},
                      StatusCase{410, kResourceNotFound}, StatusCase{401, kAuthenticationRequired},
                      StatusCase{407, kAuthenticationRequired}, StatusCase{408, kConnectionTimeout},
                      StatusCase{504, kConnectionTimeout}, StatusCase{400, kInvalidRequest},
                      StatusCase{403, kInvalidRequest}, StatusCase{499, kInvalidRequest},
                      StatusCase{500, kDataNotAvailable}, StatusCase{503, kDataNotAvailable},
                      StatusCase{599, kDataNotAvailable}, StatusCase{100, kDataNotAvailable},
                      StatusCase{300, kDataNotAvailable}, StatusCase{304, kDataNotAvailable}));

TEST(HttpAnswerTest, StatusComesFromTheStatusLine) {
  EXPECT_EQ(HttpStatusFromHeaders("HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\n"), 404);
  EXPECT_EQ(HttpStatusFromHeaders("http/1.0 200\r\n"), 200);
  EXPECT_EQ(HttpStatusFromHeaders("HTTP/1.1 500"), 500);
  EXPECT_EQ(HttpStatusFromHeaders("HTTP/1.1 5000 Odd\r\n"), 0);
  EXPECT_EQ(HttpStatusFromHeaders("HTTP/1.1 20 Short\r\n"), 0);
  EXPECT_EQ(HttpStatusFromHeaders("Server: x\r\nHTTP/1.1 404\r\n"), 0);
  EXPECT_EQ(HttpStatusFromHeaders(""), 0);
}

TEST(HttpAnswerTest, ContentLengthIsReadFromItsOwnLine) {
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nContent-Length: 1024\r\n\r\n"), 1024);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\ncontent-length:7\r\n"), 7);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n"), 0);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\n"), -1);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n"), -1);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nContent-Length: \r\n"), -1);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n"), -1);
  EXPECT_EQ(ContentLengthFromHeaders("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"), -1);
}

TEST(HttpAnswerTest, FewerBytesThanAnnouncedIsAnInterruptedTransfer) {
  EXPECT_EQ(ResultForReceivedLength(1024, 1024), kTransportOk);
  EXPECT_EQ(ResultForReceivedLength(1024, 1023), kDownloadFailure);
  EXPECT_EQ(ResultForReceivedLength(1, 0), kDownloadFailure);
  EXPECT_EQ(ResultForReceivedLength(0, 0), kTransportOk);
  EXPECT_EQ(ResultForReceivedLength(-1, 0), kTransportOk);
}

}  // namespace
