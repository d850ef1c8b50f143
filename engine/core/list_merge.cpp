#include "engine/core/list_merge.h"

#include <string_view>
#include <utility>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/item_applicability.h"
#include "engine/core/item_classification.h"
#include "engine/core/item_rows.h"
#include "engine/core/key_index.h"
#include "engine/core/version_compare.h"

namespace kt::engine {

namespace {

std::string_view View(const Kt_AString& text) { return {text.c_str(), text.Length()}; }

Kt_AString ParameterText(const Kt_ParamList& parameters, const char* name) {
  const Kt_Variable* parameter = parameters.Find(name);
  return parameter ? parameter->value.ToString() : Kt_AString();
}

// Rows are read this many rows ahead of their lookup in an index, so that the slot each lookup
// starts from is already on its way from memory: with lists of many thousands of rows the index
// is far larger than the processor's caches.
constexpr int kLookAhead = 8;

// The local rows by key; rows without a key can never be found. False when memory ran out.
bool IndexLocalRows(const Kt_Dataset& local, const ItemReader& reader, bool configurationList, KeyIndex& index) {
  const int count = local.RecordCount();
  index.Reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  struct PendingKey {
    const Kt_AString* key = nullptr;
    Kt_AString converted;
    std::uint32_t hash = 0;
  };
  PendingKey ahead[kLookAhead];
  auto readAhead = [&](int row) {
    PendingKey& pending = ahead[row % kLookAhead];
    pending.key = &reader.Key(row, configurationList, pending.converted);
    pending.hash = KeyIndex::Hash(*pending.key);
    index.Prefetch(pending.hash);
  };
  for (int row = 0; row < count && row < kLookAhead; ++row) readAhead(row);
  for (int row = 0; row < count; ++row) {
    const PendingKey& pending = ahead[row % kLookAhead];
    if (!pending.key->IsEmpty() && !index.Add(*pending.key, pending.hash, row)) return false;
    if (row + kLookAhead < count) readAhead(row + kLookAhead);
  }
  return true;
}

void Count(ItemStatus status, MergeCounts& counts) {
  if (status == kStatusDownload) ++counts.download;
  if (status == kStatusDownload || status == kStatusApply) ++counts.apply;
}

}  // namespace

bool MergeLists(const ListSide& server, const ListSide& local, bool configurationList,
                const SecurityContext& context, ItemEnvironment& environment, Kt_Dataset& working,
                MergeCounts& counts) {
  counts = MergeCounts();
  // The working list is emptied first, so it cannot be one of the lists being merged.
  if (&working == &server.rows || &working == &local.rows) return false;
  const std::int32_t currentDevice = environment.CurrentDeviceKind();
  const ComponentItem serverDefaults = ReadDefaultItem(server.parameters, currentDevice);
  const ComponentItem localDefaults = ReadDefaultItem(local.parameters, currentDevice);
  if (!PrepareWorkingList(working, !configurationList)) return false;
  // Rows kept from a longer list before and not reused are freed at the end, so that the working
  // list holds nothing of that list.
  struct SpareRowsRelease {
    Kt_Dataset& list;
    ~SpareRowsRelease() { list.ReleaseSpareRecords(); }
  } spareRowsRelease{working};
  working.SetId(server.rows.Id());

  const ItemReader serverReader(server.rows, serverDefaults);
  const ItemReader localReader(local.rows, localDefaults);
  ItemWriter writer(working, serverDefaults);
  KeyIndex localRows;
  if (!IndexLocalRows(local.rows, localReader, configurationList, localRows)) return false;

  const int count = server.rows.RecordCount();
  struct PendingItem {
    ComponentItem item;
    std::uint32_t hash = 0;
  };
  PendingItem ahead[kLookAhead];
  auto readAhead = [&](int row) {
    PendingItem& pending = ahead[row % kLookAhead];
    pending.item = serverReader.Read(row);
    pending.hash = KeyIndex::Hash(ItemKey(pending.item, configurationList));
    localRows.Prefetch(pending.hash);
  };
  for (int row = 0; row < count && row < kLookAhead; ++row) readAhead(row);
  ComponentItem convertedLocal;
  for (int row = 0; row < count; ++row) {
    PendingItem& pending = ahead[row % kLookAhead];
    ComponentItem item = std::move(pending.item);
    const std::uint32_t hash = pending.hash;
    if (row + kLookAhead < count) readAhead(row + kLookAhead);
    if (!configurationList && item.action.IsEmpty()) continue;
    const Kt_AString& key = ItemKey(item, configurationList);
    if (key.IsEmpty()) continue;
    item.status = IsItemApplicable(View(item.uacFix), context);
    const int localRow = localRows.Find(key, hash);

    if (configurationList) {
      if (localRow < 0) {
        item.status = StatusText(kStatusDownload);
      } else {
        // A component list that did not finish last time (its row left at "0") is due again even
        // when its version did not change; otherwise a failed list would never be retried.
        const LocalRecord localList = localReader.ReadRecordFields(localRow, convertedLocal);
        const bool unfinished = localList.status == StatusText(kStatusDownload) || localList.status == StatusText(kStatusApply);
        if (!unfinished && CompareVersions(View(item.version), View(localList.version)) <= 0) {
          continue;
        }
      }
      Count(kStatusDownload, counts);
    } else {
      const LocalRecord localItem =
          localRow >= 0 ? localReader.ReadRecordFields(localRow, convertedLocal) : NeverInstalled(item);
      const ItemStatus status = ClassifyItem(localItem, item, environment);
      item.status = StatusText(status);
      Count(status, counts);
    }
    if (!writer.Write(std::move(item))) return false;
  }
  return true;
}

bool PreVersionCompare(const ListSide& server, const Kt_ParamList& localParameters, Kt_Dataset& working,
                       MergeCounts& counts) {
  counts = MergeCounts();
  if (&working == &server.rows) return false;
  working.Clear();
  working.SetId(Kt_AString());
  if (working.CopyFrom(server.rows) != server.rows.RecordCount()) return false;
  const Kt_AString serverVersion = ParameterText(server.parameters, kColumnVersion);
  const Kt_AString localVersion = ParameterText(localParameters, kColumnVersion);
  counts.download = CompareVersions(View(serverVersion), View(localVersion)) > 0 ? 1 : 0;
  return true;
}

int CountPending(const Kt_Dataset& list, const ComponentItem& defaults) {
  const ItemReader reader(list, defaults);
  int pending = 0;
  const int count = list.RecordCount();
  for (int row = 0; row < count; ++row) {
    const Kt_AString status = reader.Status(row);
    if (!IsSettledStatus(View(status))) ++pending;
  }
  return pending;
}

}  // namespace kt::engine
