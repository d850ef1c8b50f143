#pragma once

#include "tools/qxlist/file_io.h"

namespace qxlist {

// The code page the library works in while qxlist handles one document. Text inside the library
// lives in the system code page; a tool started on a machine whose code page cannot hold a
// document's text (Korean text on a Western machine) would lose it to '?'. So while a
// WorkingCodePage lives, the library works in the document's own code page, or in UTF-8 for a
// document in UTF-16; a document that names no encoding is read in the machine's code page. The
// code page the library worked in before comes back when it ends.
class WorkingCodePage {
 public:
  WorkingCodePage() = default;
  ~WorkingCodePage();
  WorkingCodePage(const WorkingCodePage&) = delete;
  WorkingCodePage& operator=(const WorkingCodePage&) = delete;

  // Chooses the code page for a document's unpacked bytes (XML text or the binary form).
  void ChooseFor(const Bytes& plain);
  // Works in the given code page (one the platform converts).
  void Choose(unsigned codePage);

 private:
  bool m_set = false;
  unsigned m_previous = 0;
};

}  // namespace qxlist
