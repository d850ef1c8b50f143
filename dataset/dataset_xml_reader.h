#ifndef KT_DATASET_DATASET_XML_READER_H
#define KT_DATASET_DATASET_XML_READER_H

#include "dataset/dataset.h"
#include "dataset/dom_elem.h"

// Reads a "dataset" element (see dataset_xml_writer.h) into the dataset, emptied first with
// `clear`. A non-empty "id" of an element named "dataset" becomes the dataset's id. Children, in
// order (names compare without regard to case; other children are ignored):
//  - "column": a constant column of the value type named by "type"; its text (own text, else the
//    first child's) converted by that type (INTEGER text-to-integer, DECIMAL text-to-number,
//    CURRENCY and DATE by their text forms, BLOB from base64, others as a string); empty text
//    gives null. Dates are read from "yyyyMMddHHmmss" or a leading part of it, except that six
//    digits forming a valid time are the "HHmmss" form written for times on 1 January 1900.
//  - "colinfo": a column with "type" (STRING when absent), "size" (255 when absent), "MapValue"
//    and the summary named by "summ" (summary_names.h); a column whose id exists already is not
//    added. A text summary takes its text from "summ" after "text:"; the other summaries whose
//    flags have bit 16 take the word for a subtotal in the system's language.
//  - "record": a record whose status follows the first letter of "type" (D deleted, I inserted,
//    U updated, anything else normal). An updated record with an "org_record" child gets an
//    original, read from that child's elements up to the first that names no column. Each child
//    element named by a column sets that cell: its text (own text, or its only child's) converted
//    by the column type; without text, an element with content tags gives an empty string in
//    text columns (STRING, URL, LONG, CHAR) and null in the others; an empty element gives null.
//    A deleted record is moved to the originals list.
// Values that do not convert cleanly are read by the lenient rules of the value conversions;
// they never reject the element.
//
// Returns the dataset's record count, -1 when it does not hold its own columns or memory runs
// out.
int ReadDataset(Kt_Dataset& dataset, const Kt_DOMElem& element, bool clear) noexcept;

#endif
