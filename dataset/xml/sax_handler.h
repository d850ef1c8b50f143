#ifndef KT_DATASET_SAX_HANDLER_H
#define KT_DATASET_SAX_HANDLER_H

#include <string_view>

// The receiver of parse events from the XML tokenizer (xml_tokenizer.h). Every text argument is a
// span into the parsed text, valid only during the call, taken by its byte count and passed raw:
// character data and attribute values are still escaped (see xml_escape.h), attribute text is
// the text between the name and the end of the tag (read it with Kt_XmlAttributeReader).
//
// A receiver stops the parse by returning false (or Content::Stop); the tokenizer then fails
// with Kt_XmlError::Stopped at the current position. The virtual operations are in slot order;
// the order is part of the interface.
class Kt_SAXCtxHandler {
 public:
  // How the tokenizer should treat the content of an element that just started.
  enum class Content {
    Parse,  // as markup and text
    Raw,    // everything up to the matching end tag as one piece of character data
    Stop,   // end the parse
  };

  virtual ~Kt_SAXCtxHandler();
  // <?name attributes?>: the XML declaration or a processing instruction.
  virtual bool OnDeclaration(std::string_view name, std::string_view attributeText) = 0;
  // <!name raw>: a document type or other markup declaration; `raw` follows the name.
  virtual bool OnMarkupDeclaration(std::string_view name, std::string_view raw) = 0;
  // <name attributes/>
  virtual bool OnEmptyElement(std::string_view name, std::string_view attributeText) = 0;
  // <name attributes>
  virtual Content OnStartElement(std::string_view name, std::string_view attributeText) = 0;
  // </name> (the name as the end tag spells it).
  virtual bool OnEndElement(std::string_view name) = 0;
  // White space before or after character data, or text made only of white space.
  virtual bool OnWhitespace(std::string_view text) = 0;
  // Text between markup without its leading and trailing white space (still escaped).
  virtual bool OnCharacterData(std::string_view text) = 0;
  // The content of <![CDATA[...]]>.
  virtual bool OnCData(std::string_view text) = 0;
  // The content of <!--...-->.
  virtual bool OnComment(std::string_view text) = 0;
};

#endif
