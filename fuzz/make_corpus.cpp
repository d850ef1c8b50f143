// Writes the seed corpus of every fuzz target into one folder per target: the same kinds of input
// the unit tests feed the library (lists in each form, parameter strings, dates, amounts).
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/documents/document.h"
#include "dataset/binary/packer.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

class CorpusWriter {
 public:
  explicit CorpusWriter(std::string root) : m_root(std::move(root)) { ::mkdir(m_root.c_str(), 0755); }

  bool Add(const std::string& target, const Bytes& data) {
    const std::string folder = m_root + "/" + target;
    ::mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/seed" + std::to_string(m_count++);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
  }
  bool Add(const std::string& target, const std::string& text) { return Add(target, ToBytes(text)); }

 private:
  std::string m_root;
  int m_count = 0;
};

const char kSmallList[] =
    "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root>\r\n\t<params>\r\n"
    "\t\t<param id=\"CONFIG\" type=\"STRING\">true</param>\r\n\t</params>\r\n"
    "\t<dataset id=\"LIST\">\r\n\t\t<colinfo id=\"FILENAME\" size=\"255\" type=\"STRING\"/>\r\n"
    "\t\t<colinfo id=\"VERSION\" size=\"255\" type=\"STRING\"/>\r\n\t\t<record>\r\n"
    "\t\t\t<FILENAME>a.dll</FILENAME>\r\n\t\t\t<VERSION/>\r\n\t\t</record>\r\n"
    "\t\t<record type=\"insert\">\r\n\t\t\t<FILENAME>b.dll</FILENAME>\r\n"
    "\t\t\t<VERSION>1,0,0,2</VERSION>\r\n\t\t</record>\r\n\t</dataset>\r\n</root>";

bool WriteUnpackSeeds(CorpusWriter& corpus) {
  bool ok = true;
  const Bytes inputs[] = {ToBytes(kSmallList), ToBytes("short"), Bytes(64, 0), Bytes(5000, 'a')};
  for (const Bytes& input : inputs) {
    ok &= corpus.Add("unpack", input);
    for (int variant : {Kt_Packer::kLzss, Kt_Packer::kZlib}) {
      Bytes packed;
      if (Kt_Packer::Pack(input, packed, variant) == Kt_Packer::kOk) ok &= corpus.Add("unpack", packed);
    }
  }
  return ok;
}

// The sample list, then the same document in its other forms as SaveDocument writes them.
bool WriteDocumentSeeds(CorpusWriter& corpus) {
  bool ok = corpus.Add("load_document", std::string(kSmallList));
  ok &= corpus.Add("load_document", std::string("<root><params/><dataset id=\"A\"><column id=\"K\" "
                                                "type=\"BLOB\" encrypt=\"base64\">AAEC</column>"
                                                "<colinfo id=\"D\" type=\"DATE\" summ=\"text:x\"/><record "
                                                "type=\"update\"><D>20240131</D><org_record><D/></org_record>"
                                                "</record><record type=\"delete\"><D>1900</D></record>"
                                                "</dataset></root>"));
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  const Bytes text = ToBytes(kSmallList);
  if (LoadDocument(text, params, datasets, codePage) < 0) return false;
  for (unsigned target : {949u, 65001u, 1200u}) {
    for (bool binary : {false, true}) {
      Bytes saved;
      if (SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, target, binary, saved) > 0)
        ok &= corpus.Add("load_document", saved);
    }
  }
  return ok;
}

bool WriteTextSeeds(CorpusWriter& corpus) {
  bool ok = true;
  for (const char* text : {"a=1 b = \"x y\" c =2.5 d='q'", "name = value", "x=\"\\r\\n\\t\"",
                           "n=-12 m=+3 k=1.5e3", "  \t\r\n", "a=\"open", "k=\x81\x41 j='\\'"})
    ok &= corpus.Add("param_string", std::string(text));
  for (const char* text : {"20240131", "20240131130509", "2024", "19000101080000", "00000101",
                           "99991231235959", "2024023", "abcd", "20230229"})
    ok &= corpus.Add("date_text", std::string(text));
  for (const char* text : {"12.34567", "12.34564", "-0.5", "5", "922337203685477.5807", "1-2", ".99995", "x"})
    ok &= corpus.Add("currency_text", std::string(text));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
    return 2;
  }
  CorpusWriter corpus(argv[1]);
  if (!WriteUnpackSeeds(corpus) || !WriteTextSeeds(corpus) || !WriteDocumentSeeds(corpus)) {
    std::fprintf(stderr, "make_fuzz_corpus: cannot write the corpus under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
