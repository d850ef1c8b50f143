// Merges of lists longer than the few rows the merge reads ahead of its lookups: every row must
// come out as if it had been merged on its own, and a working list that held a longer list before
// must hold exactly the new rows.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/list_columns.h"
#include "engine/core/list_merge.h"
#include "list_text.h"
#include "merge_scenario.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

const char* const kColumns[] = {kColumnSource, kColumnFileName, kColumnTarget,  kColumnVersion,
                                kColumnStatus, kColumnAction,   kColumnDevice,  kColumnArgument,
                                kColumnOldVersion, kColumnPatchFileName, kColumnUacFix};

// Every cell of every row, column by column.
std::vector<std::string> AllTexts(const Kt_Dataset& list) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.RecordCount(); ++row) {
    for (const char* column : kColumns) texts.push_back(std::string(column) + "=" + CellText(list, row, column));
  }
  return texts;
}

// A component list of `count` rows of nine kinds, the local list that goes with it (in reverse
// order, some names in capitals, one name twice), the machine, and the STATUS the merge must give
// each row it writes.
struct ComponentLists {
  std::vector<std::string> server;
  std::vector<std::string> local;
  std::vector<std::string> machine;
  std::vector<std::string> statuses;
};

MergeCounts CountsOf(const std::vector<std::string>& statuses) {
  MergeCounts counts;
  for (const std::string& status : statuses) {
    if (status == "0") ++counts.download;
    if (status == "0" || status == "1") ++counts.apply;
  }
  return counts;
}

ComponentLists MakeComponentLists(int count) {
  ComponentLists lists;
  std::vector<std::vector<std::string>> localGroups;  // the local rows of one name
  for (int i = 0; i < count; ++i) {
    localGroups.emplace_back();
    std::vector<std::string>& local = localGroups.back();
    const std::string name = "f" + std::to_string(i) + ".dll";
    const std::string row = "FILENAME=" + name + "|ACTION=DOWN|TARGET=%INSTALL%|VERSION=";
    const std::string file = "file:C:\\Quorix\\" + name;
    switch (i % 9) {
      case 0:  // new
        lists.server.push_back(row + "1.0");
        lists.statuses.push_back("0");
        break;
      case 1:  // current
        lists.server.push_back(row + "1.0");
        lists.statuses.push_back("2");
        local.push_back(row + "1.0|STATUS=2");
        lists.machine.push_back(file);
        break;
      case 2:  // newer on the server
        lists.server.push_back(row + "1.1");
        lists.statuses.push_back("0");
        local.push_back(row + "1.0|STATUS=2");
        lists.machine.push_back(file);
        break;
      case 3:  // no action: left out
        lists.server.push_back("FILENAME=" + name + "|VERSION=1.0");
        break;
      case 4:  // no key: left out
        lists.server.push_back("ACTION=DOWN|VERSION=1.0");
        break;
      case 5:  // a delete
        lists.server.push_back("FILENAME=" + name + "|ACTION=DELETE|TARGET=%INSTALL%");
        lists.statuses.push_back("1");
        lists.machine.push_back(file);
        break;
      case 6:  // a product, keyed by its code
        lists.server.push_back("FILENAME=p.msi|ACTION=MSI|TARGET={P-" + std::to_string(i) + "}|VERSION=2.0");
        lists.statuses.push_back("2");
        local.push_back("FILENAME=p.msi|ACTION=MSI|TARGET={p-" + std::to_string(i) + "}|VERSION=2.0|STATUS=2");
        lists.machine.push_back("product:{P-" + std::to_string(i) + "}=2.0");
        break;
      case 7:  // found in capitals
        lists.server.push_back(row + "1.0");
        lists.statuses.push_back("2");
        local.push_back("FILENAME=F" + std::to_string(i) + ".DLL|ACTION=DOWN|VERSION=1.0|STATUS=2");
        lists.machine.push_back(file);
        break;
      default:  // twice locally: the first counts (left downloaded by an interrupted run)
        lists.server.push_back(row + "1.0");
        lists.statuses.push_back("1");
        local.push_back(row + "1.0|STATUS=1");
        local.push_back(row + "0.5|STATUS=2");
        lists.machine.push_back("file:C:\\Temp\\Setup\\" + name);
        break;
    }
  }
  for (auto group = localGroups.rbegin(); group != localGroups.rend(); ++group) {
    lists.local.insert(lists.local.end(), group->begin(), group->end());
  }
  return lists;
}

// A configuration list: new, newer, same and older rows by SOURCE; the first two are written.
ComponentLists MakeConfigurationLists(int count) {
  ComponentLists lists;
  for (int i = 0; i < count; ++i) {
    const std::string source = "SOURCE=config/" + std::to_string(i) + ".xml|VERSION=";
    lists.server.push_back(source + (i % 4 == 1 ? "2.0" : "1.0"));
    if (i % 4 < 2) lists.statuses.push_back("0");  // missing locally, or newer
    if (i % 4 != 0) {
      lists.local.push_back("SOURCE=CONFIG/" + std::to_string(i) + ".XML|VERSION=" + (i % 4 == 3 ? "1.5" : "1.0"));
    }
  }
  return lists;
}

struct MergeResult {
  std::vector<std::string> texts;
  std::vector<std::string> statuses;
  MergeCounts counts;
};

MergeResult Merge(const ComponentLists& lists, const std::vector<std::string>& serverRows, bool configurationList,
                  Kt_Dataset& working) {
  MemoryEnvironment environment;
  Describe(environment, lists.machine);
  Kt_Dataset server;
  Kt_Dataset local;
  FillList(server, serverRows);
  FillList(local, lists.local);
  const Kt_ParamList parameters;
  MergeResult result;
  EXPECT_TRUE(MergeLists({server, parameters}, {local, parameters}, configurationList, kElevatedAdministrator,
                         environment, working, result.counts));
  result.texts = AllTexts(working);
  result.statuses = ColumnTexts(working, kColumnStatus);
  return result;
}

// The rows merged one at a time, each into a fresh working list, and the results put together:
// every column must agree with the merge of the whole list.
MergeResult MergeRowByRow(const ComponentLists& lists, bool configurationList) {
  MergeResult all;
  for (const std::string& row : lists.server) {
    Kt_Dataset working;
    const MergeResult one = Merge(lists, {row}, configurationList, working);
    all.texts.insert(all.texts.end(), one.texts.begin(), one.texts.end());
    all.counts.download += one.counts.download;
    all.counts.apply += one.counts.apply;
  }
  return all;
}

// The whole list merged at once gives what merging its rows one by one gives.
void ExpectSameAsRowByRow(const ComponentLists& lists, bool configurationList, const MergeResult& whole) {
  const MergeResult expected = MergeRowByRow(lists, configurationList);
  EXPECT_EQ(whole.texts, expected.texts);
  EXPECT_EQ(whole.counts.download, expected.counts.download);
  EXPECT_EQ(whole.counts.apply, expected.counts.apply);
}

class LongListMergeTest : public ::testing::TestWithParam<int> {};

TEST_P(LongListMergeTest, ComponentRowsComeOutAsIfMergedOneByOne) {
  const ComponentLists lists = MakeComponentLists(GetParam());
  Kt_Dataset working;
  const MergeResult whole = Merge(lists, lists.server, false, working);
  EXPECT_EQ(whole.statuses, lists.statuses);
  EXPECT_EQ(whole.counts.download, CountsOf(lists.statuses).download);
  EXPECT_EQ(whole.counts.apply, CountsOf(lists.statuses).apply);
  ExpectSameAsRowByRow(lists, false, whole);
}

TEST_P(LongListMergeTest, ConfigurationRowsComeOutAsIfMergedOneByOne) {
  const ComponentLists lists = MakeConfigurationLists(GetParam());
  Kt_Dataset working;
  const MergeResult whole = Merge(lists, lists.server, true, working);
  EXPECT_EQ(whole.statuses, lists.statuses);
  EXPECT_EQ(whole.counts.download, CountsOf(lists.statuses).download);
  ExpectSameAsRowByRow(lists, true, whole);
}

// Around the read-ahead distance, and well beyond it.
INSTANTIATE_TEST_SUITE_P(RowCounts, LongListMergeTest, ::testing::Values(1, 7, 8, 9, 17, 64, 301));

TEST(WorkingListReuseTest, AReusedWorkingListHoldsExactlyTheNewRows) {
  const ComponentLists longLists = MakeComponentLists(50);
  const ComponentLists shortLists = MakeComponentLists(12);
  const ComponentLists configurationLists = MakeConfigurationLists(20);
  Kt_Dataset reused;
  for (const auto& [lists, configurationList] :
       {std::pair{&longLists, false}, std::pair{&shortLists, false}, std::pair{&configurationLists, true},
        std::pair{&longLists, false}}) {
    Kt_Dataset fresh;
    const MergeResult expected = Merge(*lists, lists->server, configurationList, fresh);
    const MergeResult again = Merge(*lists, lists->server, configurationList, reused);
    EXPECT_EQ(reused.RecordCount(), fresh.RecordCount());
    EXPECT_EQ(reused.ColumnCount(), fresh.ColumnCount());
    EXPECT_EQ(again.texts, expected.texts);
  }
}

}  // namespace
