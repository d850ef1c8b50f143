// Launch descriptions (".qrd", ".qrd2"): a list document whose first dataset is named by the
// device kind and whose first row holds the settings of one update, column by column. The
// control's ParseQRDFile and the updater program read them the same way.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kt {

struct LaunchDescription {
    // The name of the first dataset: the device kind ("WIN32", "CE", ...).
    std::string deviceType;
    // The columns of the first row that hold a value, in column order (names as written).
    std::vector<std::pair<std::string, std::string>> values;

    // The value of a column, compared without regard to case; null when the row has none.
    const std::string* Find(const char* name) const;
};

// Reads a launch description from the bytes of its file (any form and encoding a list document
// may have). Returns false, with `error` saying why, when the bytes are not a list document or
// it holds no dataset.
bool ReadLaunchDescription(const std::vector<unsigned char>& bytes, LaunchDescription& description,
                           std::string& error);

}  // namespace kt
