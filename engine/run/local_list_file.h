#pragma once
// The local version files: the last merged copy of a list, read back at the next run and written
// after every stage, in the form the server's document came in.
#include <windows.h>

#include <string>

#include "dataset/model/dataset.h"
#include "dataset/documents/document_form.h"
#include "dataset/values/variable.h"

class Kt_Device;

namespace kt::engine {

// The result of writing a list that gives no document (nothing to record).
constexpr HRESULT kEmptyListDocument = HRESULT_FROM_WIN32(ERROR_NO_DATA);

// Reads a local version file through the device. A missing or unreadable file gives empty lists
// (S_FALSE): everything it would have recorded is then simply done again.
HRESULT ReadListFile(Kt_Device& device, const std::string& path, Kt_ParamList& params, Kt_DatasetList& datasets);

// Writes the parameters and datasets to `path` in `form`: into a file beside it first, which then
// replaces the old file in one step, so that a crash or a full disk never leaves a half-written
// record. A path without a folder gives 0x8007007B; a list that gives no document
// kEmptyListDocument; a failed write the system's result, with `detail` saying which step failed.
HRESULT WriteListFile(const std::string& path, const Kt_ParamList& params, const Kt_DatasetList& datasets,
                      const Kt_DocumentForm& form, std::string& detail);

// The dataset of a configuration list for this device type: the first whose name equals it
// without regard to case; null when there is none.
const Kt_Dataset* FindListDataset(const Kt_DatasetList& datasets, const std::string& deviceTypeName);

}  // namespace kt::engine
