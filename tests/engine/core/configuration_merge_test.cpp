// Merges of configuration lists (keyed by SOURCE, written only when new or newer) and the
// whole-configuration shortcut.
#include <gtest/gtest.h>

#include <ostream>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/list_merge.h"
#include "list_text.h"
#include "merge_scenario.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

struct ConfigurationCase {
  std::string name;
  std::vector<std::string> server;
  std::vector<std::string> local;
  std::vector<std::string> sources;   // SOURCE of every working row
  std::vector<std::string> statuses;  // STATUS of every working row
  int count;                          // both counts are equal for configuration lists
  SecurityContext context = kElevatedAdministrator;
};

void PrintTo(const ConfigurationCase& c, std::ostream* os) { *os << c.name; }

class ConfigurationMergeTest : public ::testing::TestWithParam<ConfigurationCase> {};

TEST_P(ConfigurationMergeTest, WritesNewAndNewerRows) {
  const ConfigurationCase& c = GetParam();
  MemoryEnvironment environment;
  Kt_Dataset server;
  Kt_Dataset local;
  Kt_ParamList parameters;
  server.SetId("WIN32");
  FillList(server, c.server);
  FillList(local, c.local);
  Kt_Dataset working;
  MergeCounts counts;
  ASSERT_TRUE(MergeLists({server, parameters}, {local, parameters}, true, c.context, environment, working, counts));
  EXPECT_EQ(working.Id(), "WIN32");
  EXPECT_LT(working.ColumnIndex("FILENAME"), 0);
  EXPECT_EQ(ColumnTexts(working, "SOURCE"), c.sources);
  EXPECT_EQ(ColumnTexts(working, "STATUS"), c.statuses);
  EXPECT_EQ(counts.download, c.count);
  EXPECT_EQ(counts.apply, c.count);
  EXPECT_EQ(environment.fileQueries, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfigurationMergeTest,
    ::testing::Values(
        ConfigurationCase{"NewRows", {"SOURCE=core/list.xml|VERSION=1.0", "SOURCE=extra/list.xml|VERSION=2"}, {},
                          {"core/list.xml", "extra/list.xml"}, {"0", "0"}, 2},
        ConfigurationCase{"SameVersionLeftOut", {"SOURCE=core/list.xml|VERSION=1.0"},
                          {"SOURCE=core/list.xml|VERSION=1.0|STATUS=2"}, {}, {}, 0},
        ConfigurationCase{"OlderVersionLeftOut", {"SOURCE=core/list.xml|VERSION=1.0"},
                          {"SOURCE=CORE/LIST.XML|VERSION=1.1|STATUS=2"}, {}, {}, 0},
        ConfigurationCase{"NewerVersionWritten", {"SOURCE=core/list.xml|VERSION=1.1"},
                          {"SOURCE=Core/List.xml|VERSION=1.0|STATUS=2"}, {"core/list.xml"}, {"0"}, 1},
        // A list that failed last time (left at "0" or "1") is due again at the same version.
        ConfigurationCase{"UnfinishedListIsDueAgain",
                          {"SOURCE=a.xml|VERSION=1", "SOURCE=b.xml|VERSION=1", "SOURCE=c.xml|VERSION=1"},
                          {"SOURCE=a.xml|VERSION=1|STATUS=0", "SOURCE=b.xml|VERSION=1|STATUS=1",
                           "SOURCE=c.xml|VERSION=1|STATUS=3"},
                          {"a.xml", "b.xml"}, {"0", "0"}, 2},
        ConfigurationCase{"EmptyActionIsKept", {"SOURCE=a.xml|VERSION=1|ACTION="}, {}, {"a.xml"}, {"0"}, 1},
        ConfigurationCase{"RowWithoutSourceLeftOut", {"VERSION=1", "SOURCE=a.xml|VERSION=1"}, {}, {"a.xml"}, {"0"}, 1},
        // A new row is always written with "0": the run checks UACFIX again before it fetches.
        ConfigurationCase{"NewRowNotApplicable", {"SOURCE=a.xml|VERSION=1|UACFIX=true"}, {}, {"a.xml"}, {"0"}, 1,
                          kStandardUser},
        ConfigurationCase{"NewerRowKeepsItsApplicability", {"SOURCE=a.xml|VERSION=2|UACFIX=true"},
                          {"SOURCE=a.xml|VERSION=1|STATUS=2"}, {"a.xml"}, {"3"}, 1, kStandardUser},
        ConfigurationCase{"Mixed",
                          {"SOURCE=a.xml|VERSION=1", "SOURCE=b.xml|VERSION=2", "SOURCE=c.xml|VERSION=1"},
                          {"SOURCE=a.xml|VERSION=1|STATUS=2", "SOURCE=b.xml|VERSION=1|STATUS=2"}, {"b.xml", "c.xml"},
                          {"0", "0"}, 2}));

class PreVersionCompareTest : public ::testing::TestWithParam<std::tuple<const char*, const char*, int>> {};

TEST_P(PreVersionCompareTest, CountsOneForANewerConfiguration) {
  const auto& [serverVersion, localVersion, expected] = GetParam();
  Kt_Dataset server;
  server.SetId("WIN32");
  FillList(server, {"SOURCE=a.xml|VERSION=1", "SOURCE=b.xml|VERSION=7"});
  Kt_ParamList serverParameters;
  Kt_ParamList localParameters;
  FillParameters(serverParameters, std::string("CONFIG=true|VERSION=") + serverVersion);
  FillParameters(localParameters, std::string("CONFIG=true|VERSION=") + localVersion);
  Kt_Dataset working;
  FillList(working, {"SOURCE=stale.xml"});
  MergeCounts counts;
  ASSERT_TRUE(PreVersionCompare({server, serverParameters}, localParameters, working, counts));
  EXPECT_EQ(counts.download, expected);
  EXPECT_EQ(counts.apply, 0);
  EXPECT_EQ(working.Id(), "WIN32");
  EXPECT_EQ(ColumnTexts(working, "SOURCE"), (std::vector<std::string>{"a.xml", "b.xml"}));
  EXPECT_EQ(ColumnTexts(working, "VERSION"), (std::vector<std::string>{"1", "7"}));
}

INSTANTIATE_TEST_SUITE_P(Table, PreVersionCompareTest,
                         ::testing::Values(std::make_tuple("1.1", "1.0", 1), std::make_tuple("1.0", "1.0", 0),
                                           std::make_tuple("1.0", "1,0", 0), std::make_tuple("0.9", "1.0", 0),
                                           std::make_tuple("1", "", 1), std::make_tuple("", "1", 0)));

TEST(MergeListsTest, RefusesToMergeIntoOneOfItsLists) {
  MemoryEnvironment environment;
  Kt_Dataset server;
  Kt_Dataset local;
  FillList(server, {"SOURCE=a.xml|VERSION=1"});
  FillList(local, {"SOURCE=a.xml|VERSION=0"});
  Kt_ParamList parameters;
  MergeCounts counts;
  EXPECT_FALSE(MergeLists({server, parameters}, {local, parameters}, true, kElevatedAdministrator, environment, local,
                          counts));
  EXPECT_FALSE(MergeLists({server, parameters}, {local, parameters}, true, kElevatedAdministrator, environment, server,
                          counts));
  EXPECT_EQ(local.RecordCount(), 1);
  EXPECT_EQ(server.RecordCount(), 1);
  EXPECT_FALSE(PreVersionCompare({server, parameters}, parameters, server, counts));
  EXPECT_EQ(server.RecordCount(), 1);
}

TEST(CountPendingTest, CountsRowsNeitherDoneNorNotApplicable) {
  Kt_Dataset list;
  FillList(list, {"FILENAME=a|STATUS=0", "FILENAME=b|STATUS=1", "FILENAME=c|STATUS=2", "FILENAME=d|STATUS=3",
                  "FILENAME=e", "FILENAME=f|STATUS=x"});
  ComponentItem defaults;
  EXPECT_EQ(CountPending(list, defaults), 4);
  defaults.status = "2";  // the empty cell now reads as done
  EXPECT_EQ(CountPending(list, defaults), 3);
  Kt_Dataset empty;
  EXPECT_EQ(CountPending(empty, defaults), 0);
}

}  // namespace
