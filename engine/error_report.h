#pragma once
// The error state the control publishes as `ErrorCode` and `ErrorMsg`, and how a message number
// and a result code become its text.
#include <windows.h>

#include <string>

namespace kt::engine {

struct ErrorState {
  LONG code = 0;
  std::string message = "SUCC";

  void Clear() {
    code = 0;
    message = "SUCC";
  }
};

// The detail line for a result code: for a failure of facility 24 the system's text of its low 16
// bits, for facilities 938 to 940 the platform's message catalogue, otherwise (or when those have
// no text) "Unknown Error : %08x"; for a positive code the system's text; none for 0.
std::string ErrorDetail(HRESULT result);

// What a report needs: the message number's text (empty for none), the result, an optional extra
// line and the file or address concerned (empty for none).
struct ErrorReport {
  UINT messageId = 0;
  std::string messageText;
  HRESULT result = S_OK;
  const std::string* extra = nullptr;
  std::string name;
};

// Sets the state from a report: the text, then "\n" and the detail, "\n" and the extra line,
// "\n[" name "]"; the code is the message number, else the result. A report with neither clears
// the state. A result without a message text still gets a text: its detail line, so that a
// failure is never published as "SUCC".
void ApplyErrorReport(const ErrorReport& report, ErrorState& state);

// The text of a message number from the string table of `module`, in the user's language, at
// most 260 characters; empty when there is none.
std::string LoadMessageText(HMODULE module, UINT id);

}  // namespace kt::engine
