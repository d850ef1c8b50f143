#pragma once
// Result codes of transfers, as the URL moniker service defines them, for the portable parts of
// the transport (error texts, the mapping of HTTP answers) that build without Windows headers.
#include <cstdint>

namespace kt::engine {

using TransportResult = std::int32_t;

constexpr TransportResult ToResult(std::uint32_t code) { return static_cast<TransportResult>(code); }

constexpr TransportResult kTransportOk = 0;
constexpr TransportResult kInvalidUrl = ToResult(0x800C0002u);
constexpr TransportResult kCannotConnect = ToResult(0x800C0004u);
constexpr TransportResult kResourceNotFound = ToResult(0x800C0005u);
constexpr TransportResult kDataNotAvailable = ToResult(0x800C0007u);
constexpr TransportResult kDownloadFailure = ToResult(0x800C0008u);
constexpr TransportResult kAuthenticationRequired = ToResult(0x800C0009u);
constexpr TransportResult kConnectionTimeout = ToResult(0x800C000Bu);
constexpr TransportResult kInvalidRequest = ToResult(0x800C000Cu);
constexpr TransportResult kAborted = ToResult(0x80004004u);  // E_ABORT

}  // namespace kt::engine
