#pragma once
// The engine's way to servers: list documents read into memory through a blocking stream,
// component files downloaded into the download folder, both through the URL moniker service with
// one bind-status callback, and every failure reported through the owner's sink.
#include <windows.h>
#include <unknwn.h>

#include <string>

#include "dataset/model/dataset.h"
#include "dataset/documents/document_form.h"
#include "dataset/values/variable.h"
#include "device/com_ptr.h"
#include "engine/transport/bind_status_callback.h"

namespace kt::engine {

class Kt_TransportSink;

class Kt_DownloadTransport {
 public:
  // `caller` (optional, not owned) is handed to the URL moniker service as the object on whose
  // behalf a file is downloaded: the control object in a page.
  explicit Kt_DownloadTransport(Kt_TransportSink& sink, IUnknown* caller = nullptr);
  ~Kt_DownloadTransport();
  Kt_DownloadTransport(const Kt_DownloadTransport&) = delete;
  Kt_DownloadTransport& operator=(const Kt_DownloadTransport&) = delete;

  // The whole answer at `url` as bytes. An empty URL gives E_FAIL (not reported). A transfer that
  // fails, is aborted (107), is answered with an HTTP error status or is cut off before its
  // announced length (102, with the transfer's error text) is reported without an event, and
  // gives no text.
  HRESULT ReadDocument(const std::string& url, std::string& text);

  // Reads the list document at `url` and parses it, in whatever form it came (packed or not,
  // binary or XML, any declared encoding), into `params` and `datasets`; `form` tells that form,
  // so that a later write of the same list keeps it. Failures are reported with an event: 101 for
  // an empty URL or a document that cannot be parsed (with the reason as an extra line), 107 for an
  // aborted transfer, 102 for any other failed transfer. An empty answer gives S_OK and empty lists.
  HRESULT FetchList(const std::string& url, Kt_ParamList& params, Kt_DatasetList& datasets, Kt_DocumentForm& form);

  // Downloads `url` as `fileName` in `folder`. The data goes to a temporary file in that folder
  // and takes the file's name only when the transfer is complete and the server answered it
  // without an error status, so a failed or stopped download never leaves a partial file under the
  // name. A file name that is not a plain name is refused before anything is written
  // (0x8007007B). Failures are reported with an event: 129 after an abort (the stop flag is set,
  // E_ABORT), 105 otherwise.
  HRESULT DownloadFile(const std::string& url, const std::string& folder, const std::string& fileName);

  // Aborts the transfer in progress, if any; it then ends with E_ABORT.
  void Stop();

  // The name that progress events carry: the file being downloaded, or the item being applied.
  // List reads keep the last one.
  void SetCurrentFileName(const std::string& name) { currentFileName_ = name; }
  const std::string& CurrentFileName() const { return currentFileName_; }

 private:
  // The transfer's result judged from the server's answer: an HTTP error status, or fewer bytes
  // than announced.
  HRESULT JudgeAnswer(std::int64_t received) const;
  // E_ABORT: set the stop flag and report 129; other results: 105 with the transfer's text.
  HRESULT ReportDownloadFailure(const std::string& url, HRESULT result, const std::string& extra);

  Kt_TransportSink& sink_;
  IUnknown* caller_;
  kt::device::ComPtr<Kt_BindStatusCallback> callback_;
  std::string currentFileName_;
};

}  // namespace kt::engine
