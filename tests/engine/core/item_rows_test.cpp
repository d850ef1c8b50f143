// Reading rows into items with the list's defaults, and writing items back with only what
// differs from them.
#include <gtest/gtest.h>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/item_rows.h"
#include "engine/core/list_columns.h"
#include "list_text.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

TEST(ReadDefaultItemTest, TakesEveryColumnParameter) {
  Kt_ParamList parameters;
  FillParameters(parameters,
                 "DEVICE=CE|SOURCE=s|TARGET=t|FILENAME=f|VERSION=1.0|ACTION=DOWNREG|ARGUMENT=/q|STATUS=2|"
                 "OLDVERSION=0.9|PATCHFILENAME=p.msp|UACFIX=true|CONFIG=true");
  const ComponentItem item = ReadDefaultItem(parameters, kDevicePc);
  EXPECT_EQ(item.device, kDeviceCe);
  EXPECT_EQ(item.source, "s");
  EXPECT_EQ(item.target, "t");
  EXPECT_EQ(item.fileName, "f");
  EXPECT_EQ(item.version, "1.0");
  EXPECT_EQ(item.action, "DOWNREG");
  EXPECT_EQ(item.argument, "/q");
  EXPECT_EQ(item.status, "2");
  EXPECT_EQ(item.oldVersion, "0.9");
  EXPECT_EQ(item.patchFileName, "p.msp");
  EXPECT_EQ(item.uacFix, "true");
}

TEST(ReadDefaultItemTest, WithoutParametersOnlyTheCurrentDevice) {
  Kt_ParamList parameters;
  const ComponentItem item = ReadDefaultItem(parameters, kDeviceCe);
  EXPECT_EQ(item.device, kDeviceCe);
  EXPECT_TRUE(item.target.IsEmpty());
  EXPECT_TRUE(item.action.IsEmpty());
  EXPECT_TRUE(item.status.IsEmpty());
}

TEST(ReadDefaultItemTest, NonTextParametersReadAsText) {
  Kt_ParamList parameters;
  parameters.Set("VERSION", Kt_Variant::FromInt(3));
  EXPECT_EQ(ReadDefaultItem(parameters, kDevicePc).version, "3");
}

struct DeviceCase {
  const char* text;
  std::int32_t emptyKind;
  std::int32_t expected;
};

class DeviceKindTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(DeviceKindTest, MapsText) {
  EXPECT_EQ(DeviceKindOf(GetParam().text, GetParam().emptyKind), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, DeviceKindTest,
                         ::testing::Values(DeviceCase{"CE", 0, 1}, DeviceCase{"ce", 0, 1}, DeviceCase{"WIN32", 1, 0},
                                           DeviceCase{"win32u", 1, 0}, DeviceCase{"Sim", 1, 0},
                                           DeviceCase{"SIMU", 1, 0}, DeviceCase{"Pocket PC", 0, 1},
                                           DeviceCase{"WIN64", 0, 1}, DeviceCase{"", 0, 0}, DeviceCase{"", 1, 1}));

TEST(ReadItemTest, EmptyCellsTakeTheDefaults) {
  Kt_Dataset list;
  FillList(list, {"FILENAME=a.dll|DEVICE=|ACTION=|TARGET=", "FILENAME=b.dll|DEVICE=WIN32|ACTION=downreg|TARGET=C:\\x"});
  Kt_ParamList parameters;
  FillParameters(parameters, "DEVICE=CE|ACTION=DELETE|TARGET=%INSTALL%");
  const ComponentItem defaults = ReadDefaultItem(parameters, kDevicePc);
  const ComponentItem first = ReadItem(list, 0, defaults);
  EXPECT_EQ(first.device, kDeviceCe);
  EXPECT_EQ(first.action, "DELETE");
  EXPECT_EQ(first.actionCode, kActionDelete);
  EXPECT_EQ(first.target, "%INSTALL%");
  const ComponentItem second = ReadItem(list, 1, defaults);
  EXPECT_EQ(second.device, kDevicePc);
  EXPECT_EQ(second.actionCode, kActionRegister);
  EXPECT_EQ(second.target, "C:\\x");
  EXPECT_TRUE(second.plainTarget);
  EXPECT_TRUE(second.version.IsEmpty());
}

TEST(ReadItemTest, ClassIdentifierTargetTurnsACopyIntoACabinet) {
  Kt_Dataset list;
  FillList(list, {"FILENAME=a.cab|TARGET={00000000-1111}", "FILENAME=b.dll|TARGET={00000000-1111}|ACTION=DOWNREG",
                  "FILENAME=c.dll|TARGET=x{y}"});
  const ComponentItem defaults;
  EXPECT_EQ(ReadItem(list, 0, defaults).actionCode, kActionCabinet);
  EXPECT_FALSE(ReadItem(list, 0, defaults).plainTarget);
  EXPECT_EQ(ReadItem(list, 1, defaults).actionCode, kActionRegister);
  EXPECT_FALSE(ReadItem(list, 1, defaults).plainTarget);
  EXPECT_TRUE(ReadItem(list, 2, defaults).plainTarget);
}

TEST(ReadItemTest, MissingRowOrColumnsReadAsDefaults) {
  Kt_Dataset list;
  ComponentItem defaults;
  defaults.version = "1.0";
  const ComponentItem item = ReadItem(list, 5, defaults);
  EXPECT_EQ(item.version, "1.0");
  EXPECT_EQ(item.actionCode, kActionCopy);
}

TEST(WriteItemTest, CellsEqualToTheDefaultsStayEmpty) {
  Kt_ParamList parameters;
  FillParameters(parameters, "ACTION=DOWNREG|TARGET=%INSTALL%|VERSION=1.0|STATUS=2|UACFIX=false");
  const ComponentItem defaults = ReadDefaultItem(parameters, kDevicePc);
  Kt_Dataset working;
  ASSERT_TRUE(PrepareWorkingList(working, true));

  ComponentItem same = defaults;
  same.fileName = "a.dll";
  ComponentItem different = same;
  different.device = kDeviceCe;
  different.action = "downreg";  // exact comparison: other case is a difference
  different.version = "1.1";
  different.status = "0";
  different.argument = "/s";
  different.oldVersion = "1.0";
  different.patchFileName = "a.msp";
  different.uacFix = "";
  ASSERT_TRUE(WriteItem(working, same, defaults));
  ASSERT_TRUE(WriteItem(working, different, defaults));

  EXPECT_EQ(ColumnTexts(working, "FILENAME"), (std::vector<std::string>{"a.dll", "a.dll"}));
  EXPECT_EQ(ColumnTexts(working, "DEVICE"), (std::vector<std::string>{"", "CE"}));
  EXPECT_EQ(ColumnTexts(working, "TARGET"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(ColumnTexts(working, "ACTION"), (std::vector<std::string>{"", "downreg"}));
  EXPECT_EQ(ColumnTexts(working, "VERSION"), (std::vector<std::string>{"", "1.1"}));
  EXPECT_EQ(ColumnTexts(working, "STATUS"), (std::vector<std::string>{"", "0"}));
  EXPECT_EQ(ColumnTexts(working, "ARGUMENT"), (std::vector<std::string>{"", "/s"}));
  EXPECT_EQ(ColumnTexts(working, "OLDVERSION"), (std::vector<std::string>{"", "1.0"}));
  EXPECT_EQ(ColumnTexts(working, "PATCHFILENAME"), (std::vector<std::string>{"", "a.msp"}));
  // An empty value against a non-empty default cannot be written: it reads back as the default.
  EXPECT_EQ(ColumnTexts(working, "UACFIX"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(working.GetCell(0, "TARGET").IsNull());
}

TEST(WriteItemTest, DeviceWrittenWhenItDiffersFromACeDefault) {
  ComponentItem defaults;
  defaults.device = kDeviceCe;
  ComponentItem item;
  item.device = kDevicePc;
  item.fileName = "a";
  Kt_Dataset working;
  ASSERT_TRUE(PrepareWorkingList(working, true));
  ASSERT_TRUE(WriteItem(working, item, defaults));
  EXPECT_EQ(CellText(working, 0, "DEVICE"), "WIN32");
}

TEST(WriteItemTest, ConfigurationListHasNoFileName) {
  Kt_Dataset working;
  ASSERT_TRUE(PrepareWorkingList(working, false));
  EXPECT_EQ(working.ColumnCount(), 10);
  EXPECT_EQ(working.ColumnIndex("FILENAME"), -1);
  ComponentItem item;
  item.fileName = "ignored";
  item.source = "a.xml";
  ASSERT_TRUE(WriteItem(working, item, ComponentItem()));
  EXPECT_EQ(CellText(working, 0, "SOURCE"), "a.xml");
}

TEST(WriteItemTest, WorkingListColumnsInOrder) {
  Kt_Dataset working;
  FillList(working, {"OLD=1"});
  ASSERT_TRUE(PrepareWorkingList(working, true));
  EXPECT_EQ(working.RecordCount(), 0);
  const char* expected[] = {"SOURCE", "FILENAME", "TARGET", "VERSION", "STATUS", "ACTION",
                            "DEVICE", "ARGUMENT", "OLDVERSION", "PATCHFILENAME", "UACFIX"};
  ASSERT_EQ(working.ColumnCount(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(working.GetColInfo(i)->id, expected[i]);
    EXPECT_EQ(working.GetColInfo(i)->size, 255);
  }
}

TEST(WriteItemTest, ListThatTracksChangesStillGetsEveryCell) {
  Kt_Dataset working;
  ASSERT_TRUE(PrepareWorkingList(working, true));
  working.SetChangeTracking(true);
  ComponentItem item;
  item.fileName = "a.dll";
  item.status = "0";
  ASSERT_TRUE(WriteItem(working, item, ComponentItem()));
  EXPECT_EQ(CellText(working, 0, "FILENAME"), "a.dll");
  EXPECT_EQ(CellText(working, 0, "STATUS"), "0");
}

TEST(WriteItemTest, NumberColumnsGetTheirConversion) {
  Kt_Dataset list;
  ASSERT_GE(list.AddColumn("FILENAME", Kt_ColType::String), 0);
  ASSERT_GE(list.AddColumn("STATUS", Kt_ColType::Int), 0);
  ComponentItem item;
  item.fileName = "a.dll";
  item.status = "2";
  ASSERT_TRUE(WriteItem(list, item, ComponentItem()));
  EXPECT_EQ(list.GetCell(0, "STATUS").Kind(), Kt_VarKind::Integer);
  // and reading a number cell gives its text
  EXPECT_EQ(ReadItem(list, 0, ComponentItem()).status, "2");
}

TEST(WriteItemTest, RoundTripThroughTheDefaults) {
  Kt_ParamList parameters;
  FillParameters(parameters, "ACTION=DOWNRUN|TARGET=%SYSTEM%|ARGUMENT=/quiet");
  const ComponentItem defaults = ReadDefaultItem(parameters, kDevicePc);
  Kt_Dataset source;
  FillList(source, {"FILENAME=setup.exe|VERSION=4.0|STATUS=1", "FILENAME=b.dll|ACTION=DOWN|TARGET=%INSTALL%"});
  Kt_Dataset working;
  ASSERT_TRUE(PrepareWorkingList(working, true));
  for (int row = 0; row < source.RecordCount(); ++row) ASSERT_TRUE(WriteItem(working, ReadItem(source, row, defaults), defaults));
  for (int row = 0; row < source.RecordCount(); ++row) {
    const ComponentItem original = ReadItem(source, row, defaults);
    const ComponentItem again = ReadItem(working, row, defaults);
    EXPECT_EQ(again.fileName, original.fileName);
    EXPECT_EQ(again.target, original.target);
    EXPECT_EQ(again.action, original.action);
    EXPECT_EQ(again.argument, original.argument);
    EXPECT_EQ(again.version, original.version);
    EXPECT_EQ(again.status, original.status);
    EXPECT_EQ(again.actionCode, original.actionCode);
  }
}

}  // namespace
