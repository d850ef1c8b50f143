// Detection of the CE device's folders through the remote API.
#pragma once

#include "config/folder_record.h"

namespace kt {

// Asks the connected device for its folders and updates `record`; without a device the record
// keeps what it holds.
void DetectCeFolders(FolderRecord& record);

}  // namespace kt
