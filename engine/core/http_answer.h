#pragma once
// Judging the answer of a web server to a transfer. The URL moniker service of some systems
// reports success for an error answer and stores the server's error page as if it were the file;
// the transport judges the answer itself from its status line and its announced length.
#include <cstdint>
#include <string>

#include "engine/core/transport_results.h"

namespace kt::engine {

// The transport result for an HTTP status: success for 2xx, and for 0 (no HTTP answer: a local
// file, or a protocol without statuses). Otherwise the nearest transfer failure:
//   404, 410               0x800C0005 (file not found)
//   401, 407               0x800C0009 (authentication is needed)
//   408, 504               0x800C000B (timed out)
//   other 4xx              0x800C000C (the request was invalid)
//   5xx, and 1xx or 3xx    0x800C0007 (connected, but the data cannot be retrieved)
//   as a final answer
TransportResult ResultForHttpStatus(int status);

// The status code of the status line that starts raw response headers ("HTTP/1.1 404 Not
// Found\r\n..."); 0 when there is none.
int HttpStatusFromHeaders(const std::string& headers);

// The value of Content-Length in raw response headers (name without regard to case); -1 when it
// is missing or not a plain decimal number.
std::int64_t ContentLengthFromHeaders(const std::string& headers);

// A transfer that ended with fewer bytes than the server announced was cut off: 0x800C0008 (the
// connection was interrupted). An unknown length (-1) never counts as cut off.
TransportResult ResultForReceivedLength(std::int64_t announced, std::int64_t received);

}  // namespace kt::engine
