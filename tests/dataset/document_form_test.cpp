// A list read in any form tells that form, and written back in it gives the same document: every
// packing variant with both document forms, declared encoding names kept as spelled.
#include "dataset/documents/document_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/binary/packer.h"

namespace {

const char kList[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<root>\r\n\t<params>\r\n\t\t<param id=\"CONFIG\" "
    "type=\"STRING\">true</param>\r\n\t</params>\r\n\t<dataset id=\"WIN32\">\r\n\t\t<colinfo id=\"SOURCE\" "
    "size=\"255\" type=\"STRING\"/>\r\n\t\t<record>\r\n\t\t\t<SOURCE>win32/components.xml</SOURCE>\r\n\t\t</record>"
    "\r\n\t</dataset>\r\n</root>";

std::string ListText(const Kt_ParamList& params, const Kt_DatasetList& datasets) {
  std::vector<unsigned char> text;
  if (SaveDocument(params, datasets, kSelectRecordsAndChanges, nullptr, 0, false, text) < 0) return "(unwritable)";
  return std::string(text.begin(), text.end());
}

struct FormCase {
  const char* name;
  int packing;
  bool binary;
};

void PrintTo(const FormCase& c, std::ostream* out) { *out << c.name; }

class DocumentFormTest : public ::testing::TestWithParam<FormCase> {
 protected:
  void SetUp() override {
    const auto* bytes = reinterpret_cast<const unsigned char*>(kList);
    ASSERT_EQ(LoadDocumentInAnyForm(bytes, sizeof(kList) - 1, params_, datasets_, sourceForm_), 1);
  }

  Kt_ParamList params_;
  Kt_DatasetList datasets_;
  Kt_DocumentForm sourceForm_;
};

TEST_P(DocumentFormTest, WrittenFormIsReadBackAsItWas) {
  Kt_DocumentForm form = sourceForm_;
  form.packing = GetParam().packing;
  form.binary = GetParam().binary;
  std::vector<unsigned char> written;
  ASSERT_GT(SaveDocumentInForm(params_, datasets_, kSelectRecordsAndChanges, form, written), 0);
  EXPECT_EQ(Kt_Packer::IsPacked(written), form.packing != 0);

  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm read;
  ASSERT_EQ(LoadDocumentInAnyForm(written, params, datasets, read), 1);
  EXPECT_EQ(read.packing, form.packing);
  EXPECT_EQ(read.binary, form.binary);
  EXPECT_EQ(read.codePage, form.codePage);
  EXPECT_STREQ(read.encodingName.c_str(), "ISO-8859-1");
  EXPECT_EQ(ListText(params, datasets), ListText(params_, datasets_));

  std::vector<unsigned char> again;
  ASSERT_GT(SaveDocumentInForm(params, datasets, kSelectRecordsAndChanges, read, again), 0);
  EXPECT_TRUE(again == written);
}

INSTANTIATE_TEST_SUITE_P(Forms, DocumentFormTest,
                         ::testing::Values(FormCase{"Xml", 0, false}, FormCase{"Binary", 0, true},
                                           FormCase{"LzssXml", Kt_Packer::kLzss, false},
                                           FormCase{"LzssBinary", Kt_Packer::kLzss, true},
                                           FormCase{"ZlibXml", Kt_Packer::kZlib, false},
                                           FormCase{"ZlibBinary", Kt_Packer::kZlib, true}),
                         [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST(DocumentFormReadTest, SourceFormIsPlainXmlWithItsDeclaredName) {
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  form.packing = 7;
  ASSERT_EQ(LoadDocumentInAnyForm(reinterpret_cast<const unsigned char*>(kList), sizeof(kList) - 1, params,
                                  datasets, form),
            1);
  EXPECT_EQ(form.packing, 0);
  EXPECT_FALSE(form.binary);
  // The library reads ISO-8859-1 as its superset 1252; the name is kept as the document spells it.
  EXPECT_EQ(form.codePage, 1252u);
  EXPECT_STREQ(form.encodingName.c_str(), "ISO-8859-1");
}

TEST(DocumentFormReadTest, DamagedEnvelopeIsToldApart) {
  std::vector<unsigned char> packed;
  ASSERT_EQ(Kt_Packer::Pack(reinterpret_cast<const unsigned char*>(kList), sizeof(kList) - 1, packed,
                            Kt_Packer::kZlib),
            Kt_Packer::kOk);
  packed[packed.size() - 3] ^= 0x55;
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  Kt_DocumentStatus status;
  EXPECT_EQ(LoadDocumentInAnyForm(packed, params, datasets, form, &status), -1);
  EXPECT_EQ(status.error, Kt_DocumentError::DamagedEnvelope);
  EXPECT_STREQ(DescribeDocumentStatus(status).c_str(), "damaged packed envelope (broken stream or wrong check value)");
  EXPECT_EQ(datasets.Count(), 0);
}

TEST(DocumentFormReadTest, DocumentInsideAnEnvelopeKeepsItsOwnReason) {
  const char broken[] = "<root><dataset id=\"A\"></root>";
  std::vector<unsigned char> packed;
  ASSERT_EQ(Kt_Packer::Pack(reinterpret_cast<const unsigned char*>(broken), sizeof(broken) - 1, packed,
                            Kt_Packer::kLzss),
            Kt_Packer::kOk);
  Kt_ParamList params;
  Kt_DatasetList datasets;
  Kt_DocumentForm form;
  Kt_DocumentStatus status;
  EXPECT_EQ(LoadDocumentInAnyForm(packed, params, datasets, form, &status), -1);
  EXPECT_EQ(status.error, Kt_DocumentError::XmlSyntax);
  EXPECT_EQ(form.packing, Kt_Packer::kLzss);
}

}  // namespace
