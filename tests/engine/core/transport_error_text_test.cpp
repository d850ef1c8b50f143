#include "engine/core/transport_error_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kt::engine::TransportErrorText;

constexpr char kUnknown[] = "Unknown Error!\n Request A/S Center";
constexpr char kNotFound[] =
    "File not found.\nThe file could not be found at the specified URL.\nPlease make sure the URL is correct.";

struct TextCase {
  std::uint32_t result;
  const char* text;
};

class TransportErrorTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TransportErrorTextTest, GivesTheTableText) {
  EXPECT_EQ(std::string(TransportErrorText(static_cast<std::int32_t>(GetParam().result))), GetParam().text)
      << std::hex << GetParam().result;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransportErrorTextTest,
    ::testing::Values(
        // The first and last entries of the range and the shared not-found text.
        TextCase{0x800C0002u, "The URL could not be parsed."},
        TextCase{0x800C0004u, "The attempt to connect to the Internet has failed."},
        TextCase{0x800C0005u, kNotFound}, TextCase{0x800C0006u, kNotFound},
        TextCase{0x800C0007u, "An Internet connection was established, but the data cannot be retrieved."},
        TextCase{0x800C0008u, "The download has failed (the connection was interrupted)."},
        TextCase{0x800C0009u, "Authentication is needed to access the object."},
        TextCase{0x800C000Bu, "The Internet connection has timed out."},
        TextCase{0x800C000Cu, "The request was invalid."},
        TextCase{0x800C0011u, "Use the default action."},
        TextCase{0x800C0013u, "The requested option is unknown."},
        TextCase{0x800C0016u, "The requested resource could not be locked."},
        TextCase{0x800C0100u, "The component download was declined by the user."},
        TextCase{0x800C0200u,
                 "The binding has already been completed and the result has been dispatched, so your abort call "
                 "has been canceled."},
        TextCase{0x800C0300u, "The exact version requested by a component download cannot be found."},
        // Gaps and neighbours of the table have no text of their own.
        TextCase{0x800C0012u, kUnknown}, TextCase{0x800C0001u, kUnknown}, TextCase{0x800C0017u, kUnknown},
        TextCase{0x800C0101u, kUnknown}, TextCase{0x800C0301u, kUnknown}, TextCase{0x00000000u, kUnknown},
        TextCase{0x80004004u, kUnknown}, TextCase{0x800C0002u | 0x00010000u, kUnknown},
        TextCase{0x000C0005u, kUnknown}));

}  // namespace
