#ifndef KT_TESTS_DATASET_DOCUMENT_TEST_SUPPORT_H
#define KT_TESTS_DATASET_DOCUMENT_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_elem_list.h"

namespace kt_test {

inline std::string StrOf(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }
inline Kt_AString AStrOf(const std::string& text) { return Kt_AString(text.data(), text.size()); }

// A readable dump of a tree: one line per node with kind, name, text and attributes, indented by
// depth. Zero and other control bytes are shown as \xNN, so that differences are visible.
inline std::string Escaped(const Kt_AString& text) {
  std::string out;
  for (std::size_t i = 0; i < text.Length(); ++i) {
    const auto ch = static_cast<unsigned char>(text[i]);
    if (ch < 0x20 || ch >= 0x7F || ch == '\\') {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[ch >> 4];
      out += kHex[ch & 15];
    } else {
      out += static_cast<char>(ch);
    }
  }
  return out;
}

inline void DumpList(const Kt_DOMElemList* nodes, int depth, std::string& out) {
  if (!nodes) return;
  for (std::size_t i = 0; i < nodes->Count(); ++i) {
    const Kt_DOMElem& node = *nodes->At(i);
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + std::to_string(node.Kind()) + " <" +
           Escaped(node.Name()) + "> \"" + Escaped(node.Text()) + "\"";
    for (std::size_t a = 0; a < node.AttributeCount(); ++a) {
      out += " " + Escaped(node.AttributeAt(a)->name) + "=\"" + Escaped(node.AttributeAt(a)->value) + "\"";
    }
    out += "\n";
    DumpList(node.Children(), depth + 1, out);
  }
}

inline std::string Dump(const Kt_DOMElemList& nodes) {
  std::string out;
  DumpList(&nodes, 0, out);
  return out;
}

// Big-endian fields for building binary documents by hand.
class BinaryBuilder {
 public:
  BinaryBuilder& U16(unsigned value) {
    m_bytes.push_back(static_cast<unsigned char>(value >> 8));
    m_bytes.push_back(static_cast<unsigned char>(value));
    return *this;
  }
  BinaryBuilder& U32(std::uint32_t value) { return U16(value >> 16).U16(value & 0xFFFF); }
  BinaryBuilder& Raw(const std::string& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  BinaryBuilder& Short(const std::string& text) { return U16(static_cast<unsigned>(text.size())).Raw(text); }
  BinaryBuilder& Long(const std::string& text) { return U32(static_cast<std::uint32_t>(text.size())).Raw(text); }
  // Magic, version 3100, code page and the name table.
  BinaryBuilder& Header(std::uint32_t codePage, const std::vector<std::string>& names) {
    U16(0xFF21).U16(3100).U32(codePage).U16(static_cast<unsigned>(names.size()));
    for (const std::string& name : names) Short(name);
    return *this;
  }
  // A node without attributes; the caller adds the child list.
  BinaryBuilder& Node(unsigned kind, unsigned nameIndex, const std::string& text) {
    return U16(kind).U16(nameIndex).Long(text).U16(0);
  }
  const std::vector<unsigned char>& Bytes() const { return m_bytes; }

 private:
  std::vector<unsigned char> m_bytes;
};

}  // namespace kt_test

#endif

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"

namespace kt_test {

// A value as "KIND text": "null", "STRING \"a b\"", "INTEGER 12", "BLOB \"\x00\x01\"" ...
inline std::string ValueDump(const Kt_Variant& value) {
  if (value.IsNull()) return "null";
  if (value.Kind() == Kt_VarKind::Blob) {
    const Kt_Buffer& bytes = value.BytesValue();
    return "BLOB \"" + Escaped(Kt_AString(reinterpret_cast<const char*>(bytes.Data()), bytes.Size())) + "\"";
  }
  return std::string(TypeName(value.Kind())) + " \"" + Escaped(value.ToString()) + "\"";
}

inline std::string RecordDump(const char* tag, const Kt_Record* record) {
  if (!record) return std::string(tag) + " missing\n";
  std::string out = std::string(tag) + " " + std::to_string(record->status) + " link=" + std::to_string(record->link);
  for (const Kt_Variant& cell : record->cells) out += " | " + ValueDump(cell);
  return out + "\n";
}

// Everything a document carries of a dataset, one line per item.
inline std::string DatasetDump(const Kt_Dataset& dataset) {
  std::string out = "D \"" + Escaped(dataset.Id()) + "\"\n";
  for (int i = 0; i < dataset.Constants().Count(); ++i) {
    const Kt_Variable* constant = dataset.Constants().At(i);
    out += "K " + Escaped(constant->name) + " " + ValueDump(constant->value) + "\n";
  }
  for (int i = 0; i < dataset.ColumnCount(); ++i) {
    const Kt_ColInfo* c = dataset.GetColInfo(i);
    out += "C " + Escaped(c->id) + " type=" + std::to_string(c->type) + " size=" + std::to_string(c->size) +
           " flags=" + std::to_string(c->summaryFlags) + " kind=" + std::to_string(c->summaryKind) + " text=\"" +
           Escaped(c->summaryText) + "\" map=\"" + Escaped(c->mapValue) + "\" bind=\"" + Escaped(c->bindColumn) +
           "\"\n";
  }
  for (int row = 0; row < dataset.RecordCount(); ++row) out += RecordDump("R", dataset.GetRecord(row));
  for (int i = 0; i < dataset.OriginalCount(); ++i) out += RecordDump("O", dataset.GetOriginal(i));
  return out;
}

inline std::string ParamsDump(const Kt_ParamList& params) {
  std::string out;
  for (int i = 0; i < params.Count(); ++i) {
    out += "P " + Escaped(params.At(i)->name) + " " + ValueDump(params.At(i)->value) + "\n";
  }
  return out;
}

inline std::string DocumentDump(const Kt_ParamList& params, const Kt_DatasetList& datasets) {
  std::string out = ParamsDump(params);
  for (int i = 0; i < datasets.Count(); ++i) out += DatasetDump(*datasets.At(i));
  return out;
}

}  // namespace kt_test
