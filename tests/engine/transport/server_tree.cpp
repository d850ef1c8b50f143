#include "server_tree.h"

#include <windows.h>

#include <vector>

#include "dataset/documents/document_form.h"
#include "dataset/binary/packer.h"
#include "engine_test_support.h"

namespace kt::engine::testing {

namespace {

constexpr std::size_t kLargeFileSize = 256 * 1024;

bool ReadBytes(const std::string& path, std::vector<unsigned char>& bytes) {
  const std::string text = kt::device::test::ReadText(path);
  bytes.assign(text.begin(), text.end());
  return !bytes.empty();
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  return WriteText(path, std::string(bytes.begin(), bytes.end()));
}

// The source list written in another form.
bool WriteListForm(const std::string& source, const std::string& served, const Kt_DocumentForm& form,
                   std::string& problem) {
  std::vector<unsigned char> bytes;
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm sourceForm;
  if (!ReadBytes(ServerSourcePath(source), bytes) ||
      LoadDocumentInAnyForm(bytes, params, datasets, sourceForm) < 0) {
    problem = "cannot read " + source;
    return false;
  }
  Kt_DocumentForm target = form;
  if (target.codePage == 0) target.codePage = sourceForm.codePage;
  if (target.encodingName.IsEmpty() && !target.binary) target.encodingName = sourceForm.encodingName;
  if (SaveDocumentInForm(params, datasets, kSelectRecordsAndChanges, target, bytes) < 0 ||
      !WriteBytes(ServedPath(served), bytes)) {
    problem = "cannot write " + served;
    return false;
  }
  return true;
}

}  // namespace

std::string ServerSourcePath(const std::string& name) { return std::string(KT_TRANSPORT_SOURCES) + "/" + name; }

std::string ServedPath(const std::string& relative) { return std::string(KT_TRANSPORT_ROOT) + "/" + relative; }

bool WriteServerTree(std::string& problem) {
  CreateDirectoryA(ServedPath("lists").c_str(), nullptr);
  CreateDirectoryA(ServedPath("files").c_str(), nullptr);
  std::vector<unsigned char> bytes;
  if (!ReadBytes(ServerSourcePath("payload.txt"), bytes) || !WriteBytes(ServedPath(kPayload), bytes)) {
    problem = "cannot copy the sources";
    return false;
  }
  // Only the first half of a list: its root element is never closed.
  if (!ReadBytes(ServerSourcePath("components.xml"), bytes)) return false;
  bytes.resize(bytes.size() / 2);
  if (!WriteBytes(ServedPath(kMalformedList), bytes)) return false;

  std::vector<unsigned char> large(kLargeFileSize);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<unsigned char>(i * 7 + i / 251);
  if (!WriteBytes(ServedPath(kLargeFile), large)) {
    problem = "cannot write the large file";
    return false;
  }

  Kt_DocumentForm plain;
  Kt_DocumentForm binary;
  binary.binary = true;
  Kt_DocumentForm lzss;
  lzss.packing = Kt_Packer::kLzss;
  Kt_DocumentForm zlibBinary;
  zlibBinary.packing = Kt_Packer::kZlib;
  zlibBinary.binary = true;
  if (!WriteListForm("components.xml", kXmlList, plain, problem) ||
      !WriteListForm("components.xml", kBinaryList, binary, problem) ||
      !WriteListForm("components.xml", kLzssList, lzss, problem) ||
      !WriteListForm("components.xml", kZlibBinaryList, zlibBinary, problem))
    return false;
  if (GetACP() == 949) {
    Kt_DocumentForm korean;
    korean.codePage = 949;
    korean.encodingName = "euc-kr";
    if (!WriteListForm("korean.xml", kKoreanList, korean, problem)) return false;
  }
  return true;
}

}  // namespace kt::engine::testing
