#pragma once
// Deciding what the update run has to do with one server item, given its local record.
#include "engine/core/component_item.h"
#include "engine/core/item_environment.h"
#include "engine/core/item_status.h"

namespace kt::engine {

// The prefix of a VERSION that means "compare with what is installed" (without regard to case).
bool HasSystemPrefix(const Kt_AString& version);

// What classification reads of an item's local record. The texts are borrowed, not copied: they
// must outlive the classification.
struct LocalRecord {
  const Kt_AString& status;
  const Kt_AString& version;
  const Kt_AString& fileName;
};

// The local record of a server item that was never installed from this list: STATUS "0",
// VERSION empty or "SYSTEM::" when the server's has that prefix, and the server's FILENAME.
LocalRecord NeverInstalled(const ComponentItem& server);

// The status of `server` (whose STATUS already holds the applicability answer) against its local
// record: 3 when not applicable; for deletes 1 while the file exists, else 2; Windows Installer
// items by ClassifyInstallerItem; otherwise by whether the item is installed (the file in TARGET,
// the '_' file's plain name in the system folder, the server of a class identifier, a cabinet's
// local status), whether it waits in the download folder from an interrupted run (local status
// "1"), and by version: the local record's, or with "SYSTEM::" the installed file's. Of the local
// record only STATUS, VERSION and FILENAME count.
ItemStatus ClassifyItem(const LocalRecord& local, const ComponentItem& server, ItemEnvironment& environment);

// Windows Installer items (codes 9 and 10): 0 for an empty product code or a product that is not
// installed; 2 when the installed version (the local VERSION, or with "SYSTEM::" the product's
// installed version) is not older than the server's; otherwise, for a local status "1", 1 when
// the package left in the download folder (local FILENAME) is valid and not older than the
// server's version, else 0.
ItemStatus ClassifyInstallerItem(const LocalRecord& local, const ComponentItem& server,
                                 ItemEnvironment& environment);

}  // namespace kt::engine
