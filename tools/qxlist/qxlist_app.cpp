#include "tools/qxlist/qxlist_app.h"

#include "dataset/text/encoding_names.h"
#include "dataset/binary/packer.h"
#include "tools/qxlist/command_line.h"
#include "tools/qxlist/file_io.h"
#include "tools/qxlist/hash_check.h"
#include "tools/qxlist/list_document.h"
#include "tools/qxlist/list_table.h"
#include "tools/qxlist/publish.h"

namespace qxlist {
namespace {

class Failure {
 public:
  explicit Failure(std::ostream& err) : m_err(err) {}
  int operator()(const std::string& file, const std::string& problem) const {
    m_err << "qxlist: " << file << ": " << problem << '\n';
    return kExitBadInput;
  }

 private:
  std::ostream& m_err;
};

std::string Describe(const ListDocument& document) {
  std::string text = document.form == Form::Binary ? "binary" : "xml";
  const char* encoding = NameFromCodePage(document.codePage);
  text += ", code page " + std::to_string(document.codePage);
  if (encoding && *encoding) text += std::string(" (") + encoding + ")";
  text += document.packing == Packing::None ? ", not packed" : std::string(", packed ") + PackingName(document.packing);
  return text;
}

int Show(const CommandLine& line, std::ostream& out, const Failure& fail) {
  const std::string& path = line.files[0];
  Bytes data;
  std::string problem;
  WorkingCodePage workingCodePage;
  ListDocument document;
  if (!ReadWholeFile(path, data, problem) || !ReadListDocument(data, document, workingCodePage, problem))
    return fail(path, problem);
  out << path << ": " << Describe(document) << '\n';
  PrintListDocument(document, out);
  return kExitSuccess;
}

int Check(const CommandLine& line, std::ostream& out, const Failure& fail) {
  const std::string& path = line.files[0];
  Bytes data;
  std::string problem;
  WorkingCodePage workingCodePage;
  ListDocument document;
  if (!ReadWholeFile(path, data, problem)) return fail(path, problem);
  if (!ReadListDocument(data, document, workingCodePage, problem)) return fail(path, "not usable: " + problem);
  if (document.datasets.Count() == 0) return fail(path, "not usable: the document holds no dataset");
  out << path << ": " << (IsConfigurationList(document) ? "configuration list" : "component list") << " ("
      << Describe(document) << ")\n";
  for (int i = 0; i < document.datasets.Count(); ++i) {
    const Kt_Dataset& dataset = *document.datasets.At(i);
    out << "  dataset " << (dataset.Id().IsEmpty() ? "(unnamed)" : dataset.Id().c_str()) << ": "
        << dataset.RecordCount() << " rows, " << dataset.ColumnCount() << " columns\n";
  }
  if (ReportHashMismatches(document, path, out) > 0) return fail(path, "files beside the list do not match its hashes");
  return kExitSuccess;
}

// The form the options choose, starting from `choice`.
void ApplyFormOptions(const CommandLine& line, WriteChoice& choice) {
  if (!line.form.empty()) choice.form = line.form == "binary" ? Form::Binary : Form::Xml;
  if (!line.encoding.empty()) {
    choice.codePage = CodePageFromName(line.encoding);
    choice.encodingName = line.encoding;
  }
  if (!line.pack.empty())
    choice.packing = line.pack == "lzss" ? Packing::Lzss : line.pack == "zlib" ? Packing::Zlib : Packing::None;
  choice.level = line.level;
}

int Convert(const CommandLine& line, const Failure& fail) {
  const std::string& in = line.files[0];
  const std::string& out = line.files[1];
  Bytes data;
  std::string problem;
  WorkingCodePage workingCodePage;
  ListDocument document;
  if (!ReadWholeFile(in, data, problem) || !ReadListDocument(data, document, workingCodePage, problem))
    return fail(in, problem);
  WriteChoice choice;
  choice.form = document.form;
  choice.codePage = document.codePage;
  choice.encodingName = document.encodingName;
  choice.packing = document.packing;
  ApplyFormOptions(line, choice);
  Bytes written;
  if (!WriteListDocument(document, choice, written, problem)) return fail(in, problem);
  if (!WriteFileReplacing(out, written, problem)) return fail(out, problem);
  return kExitSuccess;
}

int PackOrUnpack(const CommandLine& line, const Failure& fail) {
  const std::string& in = line.files[0];
  const std::string& out = line.files[1];
  Bytes data, result;
  std::string problem;
  if (!ReadWholeFile(in, data, problem)) return fail(in, problem);
  if (line.command == "pack") {
    if (Kt_Packer::Pack(data, result, line.zlib ? Kt_Packer::kZlib : Kt_Packer::kLzss, line.level) != Kt_Packer::kOk)
      return fail(in, "cannot pack");
  } else if (Kt_Packer::Unpack(data, result) != Kt_Packer::kOk) {
    return fail(in, "damaged packed envelope (broken stream or wrong check value)");
  }
  if (!WriteFileReplacing(out, result, problem)) return fail(out, problem);
  return kExitSuccess;
}

}  // namespace

int RunQxList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  std::string problem;
  if (!ParseCommandLine(args, line, problem)) {
    err << "qxlist: " << problem << "\n\n" << UsageText(args.empty() ? "" : args[0]);
    return kExitUsage;
  }
  if (line.help) {
    out << UsageText(line.command);
    return kExitSuccess;
  }
  const Failure fail(err);
  if (line.command == "show") return Show(line, out, fail);
  if (line.command == "check") return Check(line, out, fail);
  if (line.command == "convert") return Convert(line, fail);
  if (line.command == "publish") {
    PublishRequest request{line.files[0], line.files[1], line.previous, WriteChoice()};
    request.choice.codePage = CodePageFromName("utf-8");
    request.choice.encodingName = "utf-8";
    ApplyFormOptions(line, request.choice);
    return Publish(request, out, err);
  }
  return PackOrUnpack(line, fail);
}

}  // namespace qxlist
