#pragma once
// Merging a freshly fetched server list with the local copy of the same list into the working
// list that tells the update run what to do with every row.
#include "engine/core/component_item.h"
#include "engine/core/item_environment.h"
#include "engine/core/security_context.h"

class Kt_Dataset;
class Kt_ParamList;

namespace kt::engine {

struct MergeCounts {
  int download = 0;  // rows that must be downloaded (status "0")
  int apply = 0;     // rows that must be applied (status "0" or "1")
};

// One list as a document holds it: its parameters and its dataset.
struct ListSide {
  const Kt_Dataset& rows;
  const Kt_ParamList& parameters;
};

// Builds `working` (same id as the server's dataset) from the server rows in server order.
//
// A component list keeps every row with an ACTION and a key (TARGET for Windows Installer items,
// else FILENAME). Each row's STATUS becomes its applicability in `context` and then its
// classification against the first local row with the same key without regard to case (or,
// when there is none, against a record of a never-installed item: STATUS "0", VERSION empty or
// "SYSTEM::" when the server's has that prefix). Status 0 counts for download and apply, 1 for
// apply only.
//
// A configuration list is keyed by SOURCE and has no FILENAME column. A row missing locally is
// written with STATUS "0"; a row found locally is written only when its VERSION is newer than the
// local one, keeping its applicability as STATUS. Every written row counts for both.
//
// The local rows are indexed once, so a merge takes time in proportion to the two lists' sizes.
// False when the working list could not be built (out of memory), or when `working` is one of the
// two lists.
bool MergeLists(const ListSide& server, const ListSide& local, bool configurationList,
                const SecurityContext& context, ItemEnvironment& environment, Kt_Dataset& working,
                MergeCounts& counts);

// The whole-configuration shortcut: `working` becomes a copy of the server's dataset, and the
// download count is 1 when the server's parameter VERSION is newer than the local one, else 0.
// False when the copy failed or `working` is the server's dataset.
bool PreVersionCompare(const ListSide& server, const Kt_ParamList& localParameters, Kt_Dataset& working,
                       MergeCounts& counts);

// The number of rows whose STATUS (or the default's, for an empty cell) is neither "2" nor "3".
int CountPending(const Kt_Dataset& list, const ComponentItem& defaults);

}  // namespace kt::engine
