#include "dataset/xml/xml_tokenizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/xml/dom_document.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/xml_writer.h"

namespace {

using namespace std::string_literals;

// Writes each event as one line: kind(name|text).
class Recorder : public Kt_SAXCtxHandler {
 public:
  std::string events;
  Content startAnswer = Content::Parse;
  std::string stopAt;  // the event kind at which to stop

  bool OnDeclaration(std::string_view name, std::string_view text) override { return Add("decl", name, text); }
  bool OnMarkupDeclaration(std::string_view name, std::string_view raw) override { return Add("markup", name, raw); }
  bool OnEmptyElement(std::string_view name, std::string_view text) override { return Add("empty", name, text); }
  Content OnStartElement(std::string_view name, std::string_view text) override {
    return Add("start", name, text) ? startAnswer : Content::Stop;
  }
  bool OnEndElement(std::string_view name) override { return Add("end", name, ""); }
  bool OnWhitespace(std::string_view text) override { return Add("ws", "", text); }
  bool OnCharacterData(std::string_view text) override { return Add("text", "", text); }
  bool OnCData(std::string_view text) override { return Add("cdata", "", text); }
  bool OnComment(std::string_view text) override { return Add("comment", "", text); }

 private:
  bool Add(const char* kind, std::string_view name, std::string_view text) {
    events += std::string(kind) + "(" + std::string(name) + "|" + std::string(text) + ")";
    return stopAt != kind;
  }
};

struct EventCase {
  std::string xml;
  std::string events;
};

const EventCase kTokenizerEventsRows[] = {
    EventCase{"<a/>", "empty(a|)"}, EventCase{"<a></a>", "start(a|)end(a|)"},
    EventCase{"<a>x</A >", "start(a|)text(|x)end(A|)"},
    EventCase{"<a  b=\"1\"\tc = '2' />", "empty(a|  b=\"1\"\tc = '2' )"},
    EventCase{"<a b='x>y\"'>t</a>", "start(a| b='x>y\"')text(|t)end(a|)"},
    EventCase{"<?xml version=\"1.0\" encoding=\"euc-kr\"?>", "decl(xml| version=\"1.0\" encoding=\"euc-kr\")"},
    EventCase{"<?xml?>", "decl(xml|)"}, EventCase{"<?pi free text?>", "decl(pi| free text)"},
    EventCase{"<!--c-->", "comment(|c)"}, EventCase{"<!---->", "comment(|)"},
    EventCase{"<!-- a > b -- c -->", "comment(| a > b -- c )"},
    EventCase{"<a><![CDATA[<x>&amp;]]></a>", "start(a|)cdata(|<x>&amp;)end(a|)"},
    EventCase{"<!DOCTYPE root SYSTEM \"r>.dtd\">", "markup(DOCTYPE| root SYSTEM \"r>.dtd\")"},
    EventCase{"<!DOCTYPE r [<!ENTITY e \"v\"><!-- > -->]>", "markup(DOCTYPE| r [<!ENTITY e \"v\"><!-- > -->])"},
    EventCase{"<!ELEMENT>", "markup(ELEMENT|)"},
    EventCase{"<a>  two words \r\n</a>", "start(a|)ws(|  )text(|two words)ws(| \r\n)end(a|)"},
    EventCase{"<a> \t\r\n</a>", "start(a|)ws(| \t\r\n)end(a|)"},
    EventCase{"<a>x<!--c-->y</a>", "start(a|)text(|x)comment(|c)text(|y)end(a|)"},
    EventCase{"<a>&lt;&#32;</a>", "start(a|)text(|&lt;&#32;)end(a|)"}, EventCase{"text", "text(|text)"},
    EventCase{"a > b", "text(|a > b)"}, EventCase{"<r>\xB0\xA1\x81\x40</r>", "start(r|)text(|\xB0\xA1\x81\x40)end(r|)"},
    EventCase{"<a><b><c/></b></a>", "start(a|)start(b|)empty(c|)end(b|)end(a|)"},
    // Zero bytes that only pad the end are no part of the text.
    EventCase{"<a/>\0\0"s, "empty(a|)"}};

TEST(TokenizerEvents, ReportsEvents) {
  for (const EventCase& row : kTokenizerEventsRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kTokenizerEventsRows));
    Recorder recorder;
    Kt_XmlStatus status;
    EXPECT_EQ(TokenizeXml(row.xml, recorder, &status), static_cast<std::ptrdiff_t>(row.xml.size()))
        << DescribeXmlStatus(status).c_str();
    EXPECT_EQ(recorder.events, row.events);
  }
}

TEST(Tokenizer, EmptyTextReadsNothing) {
  Recorder recorder;
  Kt_XmlStatus status;
  EXPECT_EQ(TokenizeXml("", recorder, &status), 0);
  EXPECT_EQ(TokenizeXml("\0\0\0"s, recorder, &status), 0);
  EXPECT_FALSE(status.Failed());
  EXPECT_EQ(recorder.events, "");
}

struct MalformedCase {
  std::string xml;
  Kt_XmlError error;
  std::size_t offset;
};

const MalformedCase kMalformedInputRows[] = {
    // Unclosed elements and truncated markup.
    MalformedCase{"<a>", Kt_XmlError::UnclosedElement, 0},
    MalformedCase{"<r><a>text</a>", Kt_XmlError::UnclosedElement, 0},
    MalformedCase{"<r><a>text", Kt_XmlError::UnclosedElement, 3}, MalformedCase{"<", Kt_XmlError::Truncated, 0},
    MalformedCase{"<r><a", Kt_XmlError::Truncated, 3}, MalformedCase{"<r><a b=\"1", Kt_XmlError::Truncated, 3},
    MalformedCase{"<r><a b=", Kt_XmlError::Truncated, 3}, MalformedCase{"<r><a b", Kt_XmlError::Truncated, 3},
    MalformedCase{"<r/", Kt_XmlError::Truncated, 0}, MalformedCase{"<r></r", Kt_XmlError::Truncated, 3},
    MalformedCase{"<r></r ", Kt_XmlError::Truncated, 3}, MalformedCase{"<!-- x", Kt_XmlError::Truncated, 0},
    MalformedCase{"<![CDATA[x]]", Kt_XmlError::Truncated, 0}, MalformedCase{"<?xml ", Kt_XmlError::Truncated, 0},
    MalformedCase{"<?xml?", Kt_XmlError::Truncated, 0}, MalformedCase{"<!DOCTYPE r [", Kt_XmlError::Truncated, 0},
    MalformedCase{"<!DOCTYPE r \"x>", Kt_XmlError::Truncated, 0},
    // Mismatched and unexpected end tags; names compare over their whole length.
    MalformedCase{"<abc></ab>", Kt_XmlError::MismatchedEndTag, 5},
    MalformedCase{"<ab></abc>", Kt_XmlError::MismatchedEndTag, 4},
    MalformedCase{"<a><b></a></b>", Kt_XmlError::MismatchedEndTag, 6},
    MalformedCase{"</a>", Kt_XmlError::UnexpectedEndTag, 0},
    MalformedCase{"<a></a></a>", Kt_XmlError::UnexpectedEndTag, 7}, MalformedCase{"<a></>", Kt_XmlError::BadEndTag, 5},
    MalformedCase{"<a></a x>", Kt_XmlError::BadEndTag, 7}, MalformedCase{"<a></a/>", Kt_XmlError::BadEndTag, 6},
    // Stray "<" and bad names.
    MalformedCase{"<a>1 < 2</a>", Kt_XmlError::BadName, 6}, MalformedCase{"<>", Kt_XmlError::BadName, 1},
    MalformedCase{"<a=\"1\"/>", Kt_XmlError::BadName, 2}, MalformedCase{"< a/>", Kt_XmlError::BadName, 1},
    MalformedCase{"<a<b/>", Kt_XmlError::BadName, 2}, MalformedCase{"<?\?>", Kt_XmlError::BadName, 2},
    MalformedCase{"<!>", Kt_XmlError::BadName, 2},
    // Bad attributes.
    MalformedCase{"<a b/>", Kt_XmlError::BadAttribute, 4}, MalformedCase{"<a b=1/>", Kt_XmlError::BadAttribute, 5},
    MalformedCase{"<a b=\"1\"c=\"2\"/>", Kt_XmlError::BadAttribute, 8},
    MalformedCase{"<a =\"1\"/>", Kt_XmlError::BadAttribute, 3},
    MalformedCase{"<a b=\"1\" / >", Kt_XmlError::BadAttribute, 9},
    MalformedCase{"<a b=\"1\"?>", Kt_XmlError::BadAttribute, 8},
    MalformedCase{"<a \"x\"/>", Kt_XmlError::BadAttribute, 3},
    // Zero bytes inside the text.
    MalformedCase{"<a>\0</a>"s, Kt_XmlError::ZeroByte, 3}, MalformedCase{"\0<a/>"s, Kt_XmlError::ZeroByte, 0},
    MalformedCase{"<a b=\"\0\"/>"s, Kt_XmlError::ZeroByte, 6}, MalformedCase{"<a/>\0\0x"s, Kt_XmlError::ZeroByte, 4}};

TEST(MalformedInput, FailsWithReasonAndPosition) {
  for (const MalformedCase& row : kMalformedInputRows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - kMalformedInputRows));
    Recorder recorder;
    Kt_XmlStatus status;
    EXPECT_EQ(TokenizeXml(row.xml, recorder, &status), -1) << row.xml;
    EXPECT_EQ(status.error, row.error) << row.xml << ": " << DescribeXmlStatus(status).c_str();
    EXPECT_EQ(status.offset, row.offset) << row.xml;
  }
}

std::string Nested(std::size_t depth, const std::string& inner) {
  std::string text;
  for (std::size_t i = 0; i < depth; ++i) text += "<e>";
  text += inner;
  for (std::size_t i = 0; i < depth; ++i) text += "</e>";
  return text;
}

TEST(TokenizerDepth, AcceptsTheDeepestAllowedNesting) {
  Recorder recorder;
  std::string text = Nested(kDomMaxDepth, "x");
  EXPECT_EQ(TokenizeXml(text, recorder), static_cast<std::ptrdiff_t>(text.size()));
}

TEST(TokenizerDepth, RejectsOneLevelMore) {
  for (const std::string& inner : {std::string("<e>x</e>"), std::string("<e/>")}) {
    Recorder recorder;
    Kt_XmlStatus status;
    EXPECT_EQ(TokenizeXml(Nested(kDomMaxDepth, inner), recorder, &status), -1);
    EXPECT_EQ(status.error, Kt_XmlError::TooDeep);
    EXPECT_EQ(status.offset, kDomMaxDepth * 3);
  }
}

TEST(TokenizerDepth, ManyShallowElementsAreFine) {
  std::string text = "<r>";
  for (int i = 0; i < 5000; ++i) text += "<e><f/></e>";
  text += "</r>";
  Recorder recorder;
  EXPECT_GT(TokenizeXml(text, recorder), 0);
}

TEST(Tokenizer, EveryTruncationFailsCleanlyOrReadsAWholePrefix) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<!DOCTYPE root>\r\n<root>\r\n\t<a b=\"1\" c='2'>x&amp;y</a>"
      "<!--c--><![CDATA[d]]><e/>\r\n</root>";
  for (std::size_t length = 0; length < document.size(); ++length) {
    Recorder recorder;
    Kt_XmlStatus status;
    std::string prefix = document.substr(0, length);  // a copy, so that reading past it is caught
    std::ptrdiff_t result = TokenizeXml(prefix, recorder, &status);
    if (result < 0) {
      EXPECT_LT(status.offset, length + 1) << length;
    } else {
      EXPECT_LT(length, document.find("<root>") + 6) << length;  // only prefixes before the root can succeed
    }
  }
}

TEST(Tokenizer, RawContentIsOneTextUpToTheEndTag) {
  Recorder recorder;
  recorder.startAnswer = Kt_SAXCtxHandler::Content::Raw;
  std::string text = "<script>if (a < b && c) </scriptx> </SCRIPT >";
  ASSERT_EQ(TokenizeXml(text, recorder), static_cast<std::ptrdiff_t>(text.size()));
  EXPECT_EQ(recorder.events, "start(script|)text(|if (a < b && c) </scriptx> )end(SCRIPT|)");

  Recorder unclosed;
  unclosed.startAnswer = Kt_SAXCtxHandler::Content::Raw;
  Kt_XmlStatus status;
  EXPECT_EQ(TokenizeXml("<r><s>a </s", unclosed, &status), -1);
  EXPECT_EQ(status.error, Kt_XmlError::UnclosedElement);
}

const char* const kStopAtRows[] = {"decl", "markup", "start", "ws", "empty", "text", "cdata", "comment", "end"};

TEST(StopAt, ReceiverStopsTheParse) {
  for (const char* row : kStopAtRows) {
    SCOPED_TRACE(row);
    Recorder recorder;
    recorder.stopAt = row;
    Kt_XmlStatus status;
    EXPECT_EQ(TokenizeXml("<?xml?><!DOCTYPE r><r> <a/><b>t<![CDATA[c]]><!--m--></b></r>", recorder, &status), -1);
    EXPECT_EQ(status.error, Kt_XmlError::Stopped);
    EXPECT_EQ(recorder.events.rfind(std::string(row) + "("), recorder.events.find(std::string(row) + "("));
  }
}

// Damaged copies of a document (bytes replaced, inserted, removed) must read as a tree or fail
// with a position inside the text; under the sanitizers any read outside the text is caught.
TEST(Tokenizer, DamagedDocumentsFailCleanly) {
  const std::string document =
      "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<!DOCTYPE root [<!ENTITY e 'v'>]>\r\n<root>\r\n"
      "\t<params><param id=\"A\" type='STRING'>x&#32;&amp;&#xAC00;</param></params>\r\n\t<dataset id=\"L\">"
      "<colinfo id=\"F\" size=\"255\"/><record type=\"insert\"><F>a<![CDATA[b]]>c<!--d--></F></record>"
      "</dataset>\r\n</root>";
  const char kBytes[] = "<>/=\"'?!-[]&#;x \t\r\n\0\xB0";
  std::uint32_t state = 12345;
  auto next = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = document;
    for (std::uint32_t edits = 1 + next(4); edits > 0; --edits) {
      std::size_t at = next(static_cast<std::uint32_t>(damaged.size()));
      char byte = kBytes[next(sizeof kBytes - 1)];
      switch (next(3)) {
        case 0:
          damaged[at] = byte;
          break;
        case 1:
          damaged.insert(at, 1, byte);
          break;
        default:
          damaged.erase(at, 1 + next(8));
          break;
      }
    }
    Kt_DOMDocument tree;
    Kt_XmlStatus status;
    std::ptrdiff_t result = tree.LoadText(damaged, &status);
    if (result < 0) {
      EXPECT_LE(status.offset, damaged.size()) << round;
    } else {
      Kt_AString text;
      WriteXml(tree.Nodes(), text);
    }
  }
}

TEST(XmlStatus, DescribesReasonAndPosition) {
  EXPECT_STREQ(DescribeXmlStatus(Kt_XmlStatus{Kt_XmlError::MismatchedEndTag, 42}).c_str(),
               "mismatched end tag at byte 42");
  EXPECT_STREQ(DescribeXmlStatus(Kt_XmlStatus()).c_str(), "no error");
}

}  // namespace
