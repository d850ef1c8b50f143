#include "dataset/xml/xml_error.h"

const char* XmlErrorText(Kt_XmlError error) noexcept {
  switch (error) {
    case Kt_XmlError::None:
      return "no error";
    case Kt_XmlError::ZeroByte:
      return "zero byte in the text";
    case Kt_XmlError::Truncated:
      return "text ends inside markup";
    case Kt_XmlError::BadName:
      return "missing or invalid name after '<'";
    case Kt_XmlError::BadAttribute:
      return "malformed attribute";
    case Kt_XmlError::BadEndTag:
      return "malformed end tag";
    case Kt_XmlError::UnexpectedEndTag:
      return "end tag without an open element";
    case Kt_XmlError::MismatchedEndTag:
      return "mismatched end tag";
    case Kt_XmlError::UnclosedElement:
      return "element not closed";
    case Kt_XmlError::TooDeep:
      return "elements nested too deeply";
    case Kt_XmlError::Stopped:
      return "parse stopped by its receiver";
    case Kt_XmlError::Conversion:
      return "text cannot be converted exactly from its declared encoding to the system code page";
  }
  return "unknown error";
}

Kt_AString DescribeXmlStatus(const Kt_XmlStatus& status) noexcept {
  Kt_AString text;
  if (!status.Failed()) {
    text.Assign(XmlErrorText(status.error));
  } else {
    text.Format("%s at byte %llu", XmlErrorText(status.error), static_cast<unsigned long long>(status.offset));
  }
  return text;
}
