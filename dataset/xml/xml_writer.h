#ifndef KT_DATASET_XML_WRITER_H
#define KT_DATASET_XML_WRITER_H

#include <cstddef>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_elem.h"

struct Kt_XmlWriteOptions {
  bool escape = true;    // escape the text of text and whitespace nodes
  bool indent = true;    // start elements and comments on a new line
  char separator = ' ';  // written before each attribute
};

// Appends the XML text of a node list (in the system code page) to `out`. Per node kind:
//  - 0, 1: the text (escaped when asked);
//  - 153: a line break when indenting, then <!--text-->;
//  - 18: <![CDATA[text]]> (a "]]>" inside the text is split over two sections);
//  - 16: <?name version="..." encoding="..."?> with the node's "version" ("1.0" when absent or
//    empty) and "encoding" (the system code page's name when absent or empty); no other
//    attributes;
//  - 17: CR LF, then <!name raw text> as it was read;
//  - any other kind: a line break when indenting, <name, each attribute with a non-empty value
//    as separator name="escaped value" (in single quotes when the value holds a double quote),
//    "/>" for kind 49 and ">" otherwise, then <![CDATA[text]]> for kind 52, else the escaped
//    text when there is one, else the children one level deeper; then for kinds 48, 51, 52, 64,
//    80 and 96 to 98 the end tag, after a line break when indenting and the node has more than
//    one child or one child that is not a kind-0 text node.
// A line break is CR LF and one tab per level of depth.
//
// Fails (false; `out` may hold part of the text) when memory runs out, when the tree is deeper
// than kDomMaxDepth, or when a node cannot be written as readable XML: an element, declaration
// or attribute name that is empty or holds white space or one of < > / = " ' ? & or a zero
// byte, a comment that holds "-->" or ends in "-", or a text or attribute value that holds a
// zero byte.
bool WriteXml(const Kt_DOMElemList& nodes, Kt_AString& out, const Kt_XmlWriteOptions& options = Kt_XmlWriteOptions(),
              std::size_t depth = 0) noexcept;
bool WriteXmlNode(const Kt_DOMElem& node, Kt_AString& out, const Kt_XmlWriteOptions& options = Kt_XmlWriteOptions(),
                  std::size_t depth = 0) noexcept;

#endif
