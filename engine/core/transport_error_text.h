#pragma once
// The explanation of a failed transfer that follows the message in an error report.
#include "engine/core/transport_results.h"

namespace kt::engine {

// The text for a result of the URL moniker service (0x800C0002 to 0x800C0300); "Unknown
// Error!\n Request A/S Center" for any other result, 0x800C0012 included.
const char* TransportErrorText(TransportResult result);

}  // namespace kt::engine
