#ifndef KT_DATASET_NODE_KIND_H
#define KT_DATASET_NODE_KIND_H

#include <cstdint>

// What a node of the document tree is. The numbers are stored in binary documents, so they are
// part of that format and must never change. A node may carry a code not listed here (a binary
// document can hold any 16-bit kind); the serializer treats 64, 80 and 96 to 98 like
// NodeElement.
enum NodeKind : std::uint32_t {
  NodeText = 0,           // character data, written escaped
  NodeWhitespace = 1,     // white space between markup (kept only on request)
  NodeDeclaration = 16,   // <?name ...?>: the XML declaration or a processing instruction
  NodeMarkup = 17,        // <!DOCTYPE ...> and any other <!...> that is no comment or CDATA
  NodeCData = 18,         // <![CDATA[...]]> as a child
  NodeElement = 48,       // element with children or with empty content
  NodeEmptyElement = 49,  // <name .../>
  NodeTextElement = 51,   // element whose only content is text, held in the node's own text
  NodeCDataElement = 52,  // element whose only content is one CDATA section, in its own text
  NodeComment = 153,      // <!--...--> (kept only on request)
};

// Element-like kinds that get an end tag when written.
inline bool HasEndTag(NodeKind kind) noexcept {
  return kind == NodeElement || kind == NodeTextElement || kind == NodeCDataElement || kind == 64 || kind == 80 ||
         (kind >= 96 && kind <= 98);
}

#endif
