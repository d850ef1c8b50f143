#ifndef KT_DATASET_DATASET_XML_WRITER_H
#define KT_DATASET_DATASET_XML_WRITER_H

#include "dataset/model/dataset.h"
#include "dataset/xml/dom_parent.h"

// Which records WriteDataset and SaveDocument write.
enum Kt_RecordSelection : int {
  // Every record of the record list in order, without "type" attributes.
  kSelectAllRecords = 0,
  // Every record but deleted ones, inserted and updated ones marked ("insert", "update" with an
  // "org_record" child holding the original values), then the deleted records ("delete").
  kSelectRecordsAndChanges = 1,
  // Only inserted and updated records, then the deleted records.
  kSelectChangesOnly = 2,
};

// Appends a "dataset" element for the dataset to `parent`, after an "xml" declaration naming the
// dataset's code page when asked:
//   <dataset id="...">
//     <column id="NAME" type="STRING">value</column>          one per constant column
//     <colinfo id="COL" size="255" type="STRING" MapValue="..." encrypt="base64" summ="sum:..."/>
//     <record type="insert"><COL>value</COL><NULLCOL/><EMPTY></EMPTY></record>
//   </dataset>
// Attributes with an empty value are left out. Cell values: null as an empty element, an empty
// string as an element without content, BLOB columns (and BLOB constants) in base64, dates in
// the document date form, decimals in number text (nothing for a value that is not a finite
// number), anything else in its text form.
//
// Returns the number of record elements written, -1 for a dataset that does not hold its own
// columns, for an unknown selection, or when memory runs out (nothing is appended then, apart
// from a declaration).
int WriteDataset(const Kt_Dataset& dataset, Kt_DOMParent parent, bool withDeclaration, int selection) noexcept;

#endif
