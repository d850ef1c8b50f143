#pragma once
// The updater's texts and bitmaps come from the current resource module: the program itself, or
// the resource library once one is loaded. A string the module lacks is empty.
#include <windows.h>

#include <string>

namespace kt::updater {

// The application's name, the caption of its own start-up messages.
extern const char kApplicationName[];  // "Quorix3"

void SetResourceModule(HINSTANCE module);
HINSTANCE ResourceModule();

std::string ResourceString(UINT id);

// String 102 or 103 with its numbered inserts: 1 index, 2 total, 3 name, 4 label, 5 separator,
// 6 unit.
std::string FormatProgressText(UINT id, long index, long total, const std::string& name, const std::string& label,
                               const std::string& separator, const std::string& unit);

// The string of the transfer error table for `code`, 0 when the code is not in the table.
UINT TransferErrorString(long code);

// The text an error event shows: "FileName [file] \n" when there is a file, then
// "ErrorMsg [text]\n" with the table's text, or, without one, the code and the event's message.
std::string ComposeErrorText(const std::string& file, long code, const std::string& tableText,
                             const std::string& eventMessage);

}  // namespace kt::updater
