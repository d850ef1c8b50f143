#include "engine/transport/download_transport.h"

#include <urlmon.h>

#include "device/result_codes.h"
#include "engine/core/download_file_name.h"
#include "engine/core/http_answer.h"
#include "engine/core/path_join.h"
#include "engine/core/transport_error_text.h"
#include "engine/transport/transport_sink.h"

namespace kt::engine {

namespace {

// List documents are read from the blocking stream in pieces of at most this many bytes.
constexpr ULONG kReadPiece = 255;
constexpr HRESULT kInvalidName = HRESULT_FROM_WIN32(ERROR_INVALID_NAME);

std::string ErrorText(HRESULT result) { return TransportErrorText(static_cast<TransportResult>(result)); }

std::int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A new, empty file with a unique name in `folder`, for the data of one download.
HRESULT CreatePartialFile(const std::string& folder, std::string& path) {
  char buffer[MAX_PATH] = {};
  if (::GetTempFileNameA(folder.c_str(), "ktd", 0, buffer) == 0) return kt::device::LastErrorResult();
  path = buffer;
  return S_OK;
}

}  // namespace

Kt_DownloadTransport::Kt_DownloadTransport(Kt_TransportSink& sink, IUnknown* caller)
    : sink_(sink), caller_(caller) {
  callback_.Attach(Kt_BindStatusCallback::Create(sink));
}

Kt_DownloadTransport::~Kt_DownloadTransport() {
  // The system may hold the callback a little longer than the transfer; it must not reach a sink
  // that is gone.
  callback_->DetachSink();
}

void Kt_DownloadTransport::Stop() { callback_->AbortBinding(); }

HRESULT Kt_DownloadTransport::JudgeAnswer(std::int64_t received) const {
  const TransferAnswer& answer = callback_->Answer();
  const TransportResult status = ResultForHttpStatus(answer.httpStatus);
  if (status != kTransportOk) return status;
  if (answer.contentEncoded) return S_OK;
  return ResultForReceivedLength(answer.contentLength, received);
}

HRESULT Kt_DownloadTransport::ReadDocument(const std::string& url, std::string& text) {
  text.clear();
  if (url.empty()) return E_FAIL;
  callback_->BeginTransfer(currentFileName_);
  kt::device::ComPtr<IStream> stream;
  HRESULT result = ::URLOpenBlockingStreamA(caller_, url.c_str(), reinterpret_cast<IStream**>(stream.PutVoid()), 0,
                                            callback_.Get());
  if (SUCCEEDED(result) && result != S_OK) result = E_FAIL;
  if (result == S_OK && !stream) result = E_FAIL;
  if (result == S_OK) {
    char piece[kReadPiece];
    for (;;) {
      ULONG read = 0;
      const HRESULT step = stream->Read(piece, kReadPiece, &read);
      if (FAILED(step)) {
        result = step;
        break;
      }
      text.append(piece, read);
      if (step == S_FALSE || read == 0) break;
    }
  }
  if (result == S_OK) result = JudgeAnswer(static_cast<std::int64_t>(text.size()));
  if (result != S_OK) {
    text.clear();
    sink_.ReportError(result == E_ABORT ? kMessageTransferAborted : kMessageRequestFailed, result,
                      result == E_ABORT ? std::string() : ErrorText(result), url, false);
  }
  return result;
}

HRESULT Kt_DownloadTransport::FetchList(const std::string& url, Kt_ParamList& params, Kt_DatasetList& datasets,
                                        Kt_DocumentForm& form) {
  params.Clear();
  datasets.Clear();
  form = Kt_DocumentForm();
  std::string text;
  const HRESULT result = ReadDocument(url, text);
  if (result == E_FAIL && url.empty()) {
    sink_.ReportError(kMessageListNotRead, S_OK, std::string(), url, true);
    return result;
  }
  if (result == E_ABORT) {
    sink_.ReportError(kMessageTransferAborted, result, std::string(), url, true);
    return result;
  }
  if (result != S_OK) {
    sink_.ReportError(kMessageRequestFailed, result, ErrorText(result), url, true);
    return result;
  }
  if (text.empty()) return S_OK;
  Kt_DocumentStatus status;
  if (LoadDocumentInAnyForm(reinterpret_cast<const unsigned char*>(text.data()), text.size(), params, datasets,
                            form, &status) < 0) {
    const Kt_AString reason = DescribeDocumentStatus(status);
    sink_.ReportError(kMessageListNotRead, S_OK,
                      "The list from the server cannot be read: " + std::string(reason.c_str(), reason.Length()) + ".",
                      url, true);
    return E_FAIL;
  }
  return S_OK;
}

HRESULT Kt_DownloadTransport::ReportDownloadFailure(const std::string& url, HRESULT result, const std::string& extra) {
  if (result == E_ABORT) {
    sink_.SetStopFlag();
    sink_.ReportError(kMessageRunStopped, E_ABORT, std::string(), url, true);
  } else {
    sink_.ReportError(kMessageDownloadFailed, result, extra, url, true);
  }
  return result;
}

HRESULT Kt_DownloadTransport::DownloadFile(const std::string& url, const std::string& folder,
                                           const std::string& fileName) {
  const std::string problem = DownloadFileNameProblem(fileName);
  if (!problem.empty()) return ReportDownloadFailure(url, kInvalidName, problem);
  const Kt_AString joined = JoinPath(Kt_AString(folder.data(), folder.size()), Kt_AString(fileName.data(), fileName.size()));
  const std::string destination(joined.c_str(), joined.Length());

  std::string partial;
  HRESULT result = CreatePartialFile(folder, partial);
  if (FAILED(result)) {
    return ReportDownloadFailure(url, result, "The download folder \"" + folder + "\" cannot take a new file.");
  }
  currentFileName_ = fileName;
  callback_->BeginTransfer(currentFileName_);
  result = ::URLDownloadToFileA(caller_, url.c_str(), partial.c_str(), 0, callback_.Get());
  if (SUCCEEDED(result) && result != S_OK) result = E_FAIL;
  if (result == S_OK) result = JudgeAnswer(FileSize(partial));
  if (result != S_OK) {
    ::DeleteFileA(partial.c_str());
    return ReportDownloadFailure(url, result, ErrorText(result));
  }
  if (!::MoveFileExA(partial.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    result = kt::device::LastErrorResult();
    ::DeleteFileA(partial.c_str());
    return ReportDownloadFailure(url, result, "The downloaded file cannot be stored as \"" + destination + "\".");
  }
  return S_OK;
}

}  // namespace kt::engine
