#include "engine/core/http_answer.h"

#include <cctype>

namespace kt::engine {

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool SameNoCase(const std::string& text, std::size_t at, const char* word) {
  for (std::size_t i = 0; word[i] != '\0'; ++i) {
    if (at + i >= text.size()) return false;
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  }
  return true;
}

}  // namespace

TransportResult ResultForHttpStatus(int status) {
  if (status == 0 || (status >= 200 && status <= 299)) return kTransportOk;
  switch (status) {
    case 404:
    case 410:
      return kResourceNotFound;
    case 401:
    case 407:
      return kAuthenticationRequired;
    case 408:
    case 504:
      return kConnectionTimeout;
    default:
      break;
  }
  if (status >= 400 && status <= 499) return kInvalidRequest;
  return kDataNotAvailable;
}

int HttpStatusFromHeaders(const std::string& headers) {
  if (!SameNoCase(headers, 0, "HTTP/")) return 0;
  std::size_t at = headers.find(' ');
  if (at == std::string::npos) return 0;
  while (at < headers.size() && headers[at] == ' ') ++at;
  int status = 0;
  std::size_t digits = 0;
  for (; at < headers.size() && IsDigit(headers[at]) && digits < 3; ++at, ++digits) status = status * 10 + (headers[at] - '0');
  const bool ends = at == headers.size() || !IsDigit(headers[at]);
  return digits == 3 && ends ? status : 0;
}

std::int64_t ContentLengthFromHeaders(const std::string& headers) {
  static const char kName[] = "content-length:";
  for (std::size_t line = 0; line < headers.size();) {
    const std::size_t end = headers.find('\n', line);
    const std::size_t stop = end == std::string::npos ? headers.size() : end;
    if (SameNoCase(headers, line, kName)) {
      std::size_t at = line + sizeof(kName) - 1;
      while (at < stop && (headers[at] == ' ' || headers[at] == '\t')) ++at;
      std::int64_t length = 0;
      std::size_t digits = 0;
      for (; at < stop && IsDigit(headers[at]); ++at, ++digits) {
        if (digits >= 18) return -1;
        length = length * 10 + (headers[at] - '0');
      }
      while (at < stop && (headers[at] == ' ' || headers[at] == '\t' || headers[at] == '\r')) ++at;
      return digits > 0 && at == stop ? length : -1;
    }
    line = stop + 1;
  }
  return -1;
}

TransportResult ResultForReceivedLength(std::int64_t announced, std::int64_t received) {
  return announced >= 0 && received < announced ? kDownloadFailure : kTransportOk;
}

}  // namespace kt::engine
