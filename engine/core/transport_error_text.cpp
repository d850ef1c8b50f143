#include "engine/core/transport_error_text.h"

namespace kt::engine {

namespace {

struct ResultText {
  std::uint32_t result;
  const char* text;
};

constexpr char kNotFound[] =
    "File not found.\nThe file could not be found at the specified URL.\nPlease make sure the URL is correct.";

constexpr ResultText kTexts[] = {
    {0x800C0002u, "The URL could not be parsed."},
    {0x800C0003u, "No Internet session was established."},
    {0x800C0004u, "The attempt to connect to the Internet has failed."},
    {0x800C0005u, kNotFound},
    {0x800C0006u, kNotFound},
    {0x800C0007u, "An Internet connection was established, but the data cannot be retrieved."},
    {0x800C0008u, "The download has failed (the connection was interrupted)."},
    {0x800C0009u, "Authentication is needed to access the object."},
    {0x800C000Au, "The object is not in one of the acceptable MIME types."},
    {0x800C000Bu, "The Internet connection has timed out."},
    {0x800C000Cu, "The request was invalid."},
    {0x800C000Du, "The protocol is not known and no pluggable protocols have been entered that match."},
    {0x800C000Eu, "A security problem was encountered."},
    {0x800C000Fu, "The object could not be loaded."},
    {0x800C0010u, "CoCreateInstance failed."},
    {0x800C0011u, "Use the default action."},
    {0x800C0013u, "The requested option is unknown."},
    {0x800C0014u, "The request is being redirected."},
    {0x800C0015u, "The request is being redirected to a directory."},
    {0x800C0016u, "The requested resource could not be locked."},
    {0x800C0100u, "The component download was declined by the user."},
    {0x800C0200u,
     "The binding has already been completed and the result has been dispatched, so your abort call has been "
     "canceled."},
    {0x800C0300u, "The exact version requested by a component download cannot be found."},
};

}  // namespace

const char* TransportErrorText(TransportResult result) {
  for (const ResultText& entry : kTexts) {
    if (static_cast<std::uint32_t>(result) == entry.result) return entry.text;
  }
  return "Unknown Error!\n Request A/S Center";
}

}  // namespace kt::engine
