#include "engine/run/local_list_file.h"

#include <vector>

#include "config/path_text.h"
#include "dataset/documents/dataset_xml_writer.h"
#include "device/kt_device.h"
#include "device/unique_handle.h"

namespace kt::engine {

HRESULT ReadListFile(Kt_Device& device, const std::string& path, Kt_ParamList& params, Kt_DatasetList& datasets) {
  params.Clear();
  datasets.Clear();
  if (!device.FileExists(path)) return S_FALSE;
  std::vector<unsigned char> bytes;
  if (FAILED(device.ReadFile(path, bytes))) return S_FALSE;
  Kt_DocumentForm form;
  if (LoadDocumentInAnyForm(bytes, params, datasets, form) < 0) {
    params.Clear();
    datasets.Clear();
    return S_FALSE;
  }
  return S_OK;
}

HRESULT WriteListFile(const std::string& path, const Kt_ParamList& params, const Kt_DatasetList& datasets,
                      const Kt_DocumentForm& form, std::string& detail) {
  if (path.find('\\') == std::string::npos) {
    detail = "The path names no folder.";
    return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
  }
  std::vector<unsigned char> bytes;
  if (SaveDocumentInForm(params, datasets, kSelectAllRecords, form, bytes) <= 0) return kEmptyListDocument;
  const std::string staged = path + ".new";
  {
    kt::device::UniqueHandle file(::CreateFileA(staged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      detail = "The file could not be created.";
      return HRESULT_FROM_WIN32(::GetLastError());
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file.Get())) {
      const DWORD error = ::GetLastError() != 0 ? ::GetLastError() : ERROR_DISK_FULL;
      file.Reset();
      ::DeleteFileA(staged.c_str());
      detail = "The file could not be written.";
      return HRESULT_FROM_WIN32(error);
    }
  }
  if (!::MoveFileExA(staged.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileA(staged.c_str());
    detail = "The file could not replace the earlier one.";
    return HRESULT_FROM_WIN32(error);
  }
  return S_OK;
}

const Kt_Dataset* FindListDataset(const Kt_DatasetList& datasets, const std::string& deviceTypeName) {
  for (int i = 0; i < datasets.Count(); ++i) {
    const Kt_Dataset* dataset = datasets.At(i);
    if (dataset != nullptr && kt::EqualsNoCase(std::string(dataset->Id().c_str(), dataset->Id().Length()), deviceTypeName)) {
      return dataset;
    }
  }
  return nullptr;
}

}  // namespace kt::engine
