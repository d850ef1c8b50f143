// The PC registry layer against the real registry, and the device registry without a device.
#include "config/registry_ce.h"
#include "config/registry_win32.h"
#include "config/remote_api.h"
#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

using kt_test::ReadRawValue;
using kt_test::WriteRawValue;

constexpr DWORD kMissing = 0xFFFFFFFF;  // no value before the call
constexpr DWORD kFailed = 0;            // the call fails and leaves the value as it was

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = kt_test::ScratchKeyPath();
        ASSERT_TRUE(reg_.Create(HKEY_CURRENT_USER, path_, KEY_ALL_ACCESS));
    }
    void TearDown() override
    {
        reg_.Close();
        EXPECT_TRUE(kt_test::DeleteKeyTree(path_));
    }

    // Gives the value "v" the type `type` with some content, or leaves it missing.
    void Prepare(DWORD type)
    {
        if (type == kMissing) return;
        const BYTE bytes[8] = {1, 2, 3, 4, 5, 6, 7, 0};
        const DWORD size = type == REG_QWORD ? 8 : 4;
        ASSERT_TRUE(WriteRawValue(path_, "v", type, bytes, size));
    }

    std::string path_;
    Kt_RegistryWin32 reg_;
};

struct TypeRule {
    DWORD existing;
    DWORD resulting;  // kFailed: refused
};

// Test names carry these descriptions.
void PrintTo(const TypeRule& rule, std::ostream* out)
{
    *out << "existing_" << (rule.existing == kMissing ? std::string("none") : std::to_string(rule.existing));
}

class SetStringTypeTest : public RegistryTest, public ::testing::WithParamInterface<TypeRule> {};

TEST_P(SetStringTypeTest, KeepsStringTypesAndRefusesOthers)
{
    const TypeRule rule = GetParam();
    Prepare(rule.existing);
    DWORD before = 0;
    std::string beforeData;
    const bool existed = ReadRawValue(path_, "v", before, beforeData);

    EXPECT_EQ(reg_.SetString("v", "C:\\Folder\\"), rule.resulting == kFailed ? 0 : 1);

    DWORD type = 0;
    std::string data;
    ASSERT_EQ(ReadRawValue(path_, "v", type, data), existed || rule.resulting != kFailed);
    if (rule.resulting == kFailed) {
        EXPECT_EQ(type, before);
        EXPECT_EQ(data, beforeData);
    } else {
        EXPECT_EQ(type, rule.resulting);
        EXPECT_EQ(data.substr(0, 10), "C:\\Folder\\");
    }
}

INSTANTIATE_TEST_SUITE_P(Types, SetStringTypeTest,
                         ::testing::Values(TypeRule{kMissing, REG_SZ}, TypeRule{REG_SZ, REG_SZ},
                                           TypeRule{REG_EXPAND_SZ, REG_EXPAND_SZ},
                                           TypeRule{REG_MULTI_SZ, REG_MULTI_SZ}, TypeRule{REG_DWORD, kFailed},
                                           TypeRule{REG_BINARY, kFailed}, TypeRule{REG_QWORD, kFailed}));

class SetDwordTypeTest : public RegistryTest, public ::testing::WithParamInterface<TypeRule> {};

TEST_P(SetDwordTypeTest, KeepsDwordTypesAndRefusesOthers)
{
    const TypeRule rule = GetParam();
    Prepare(rule.existing);
    DWORD before = 0;
    std::string beforeData;
    ReadRawValue(path_, "v", before, beforeData);

    EXPECT_EQ(reg_.SetDword("v", 0x01020304), rule.resulting == kFailed ? 0 : 1);

    DWORD type = 0;
    std::string data;
    ASSERT_EQ(ReadRawValue(path_, "v", type, data), rule.existing != kMissing || rule.resulting != kFailed);
    if (rule.resulting == kFailed) {
        EXPECT_EQ(type, before);
        EXPECT_EQ(data, beforeData);
        return;
    }
    EXPECT_EQ(type, rule.resulting);
    ASSERT_EQ(data.size(), 4u);
    DWORD read = 0;
    ASSERT_TRUE(reg_.QueryDword("v", read));
    EXPECT_EQ(read, 0x01020304u);
}

INSTANTIATE_TEST_SUITE_P(Types, SetDwordTypeTest,
                         ::testing::Values(TypeRule{kMissing, REG_DWORD}, TypeRule{REG_DWORD, REG_DWORD},
                                           TypeRule{REG_DWORD_BIG_ENDIAN, REG_DWORD_BIG_ENDIAN},
                                           TypeRule{REG_SZ, kFailed}, TypeRule{REG_BINARY, kFailed},
                                           TypeRule{REG_QWORD, kFailed}));

struct QueryRule {
    DWORD type;
    bool asString;
    bool asDword;
};

void PrintTo(const QueryRule& rule, std::ostream* out)
{
    *out << "type_" << rule.type;
}

class QueryTypeTest : public RegistryTest, public ::testing::WithParamInterface<QueryRule> {};

TEST_P(QueryTypeTest, AcceptsOnlyItsTypes)
{
    const QueryRule rule = GetParam();
    Prepare(rule.type);
    std::string text;
    DWORD size = 0;
    EXPECT_EQ(reg_.QueryString("v", text, size), rule.asString ? 1 : 0);
    DWORD value = 0;
    EXPECT_EQ(reg_.QueryDword("v", value), rule.asDword ? 1 : 0);
    DWORD type = 0;
    EXPECT_EQ(reg_.QueryValue("v", &type, nullptr, &size), Kt_Registry::IsAcceptedType(rule.type) ? 1 : 0);
    EXPECT_EQ(type, rule.type) << "the type is reported even when it is refused";
}

INSTANTIATE_TEST_SUITE_P(Types, QueryTypeTest,
                         ::testing::Values(QueryRule{REG_SZ, true, false}, QueryRule{REG_EXPAND_SZ, true, false},
                                           QueryRule{REG_MULTI_SZ, true, false},
                                           QueryRule{REG_BINARY, false, false}, QueryRule{REG_DWORD, false, true},
                                           QueryRule{REG_DWORD_BIG_ENDIAN, false, true},
                                           QueryRule{REG_NONE, false, false}, QueryRule{REG_QWORD, false, false},
                                           QueryRule{REG_LINK, false, false}));

TEST_F(RegistryTest, SetValueAcceptsExactlyTheSixTypes)
{
    const BYTE data[4] = {'a', 0, 0, 0};
    for (DWORD type = 0; type <= 11; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(reg_.SetValue("t", type, data, 4), Kt_Registry::IsAcceptedType(type) ? 1 : 0);
    }
    const DWORD accepted[] = {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_MULTI_SZ};
    for (DWORD type : accepted) EXPECT_TRUE(Kt_Registry::IsAcceptedType(type));
}

// The registry itself counts a terminator that directly follows the given bytes.
TEST_F(RegistryTest, SetStringStoresTheTextOrTheGivenLength)
{
    ASSERT_TRUE(reg_.SetString("whole", "abcdef"));
    ASSERT_TRUE(reg_.SetString("part", "abcdef", 3));
    EXPECT_FALSE(reg_.SetString("bad", "abc", 4)) << "a length past the text is refused";
    EXPECT_FALSE(reg_.SetString("bad", "abc", -2));
    std::string data;
    DWORD size = 0;
    ASSERT_TRUE(reg_.QueryString("whole", data, size));
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(data, std::string("abcdef", 7));
    ASSERT_TRUE(reg_.QueryString("part", data, size));
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(data, "abc");
}

TEST_F(RegistryTest, MultiStringKeepsItsSeparators)
{
    const std::string list("one\0two\0\0", 9);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(list.data());
    ASSERT_TRUE(reg_.SetValue("m", REG_MULTI_SZ, bytes, 9));
    std::string data;
    DWORD size = 0;
    ASSERT_TRUE(reg_.QueryString("m", data, size));
    EXPECT_EQ(data, list);
    ASSERT_TRUE(reg_.SetString("m", std::string("x\0y\0\0", 5)));
    DWORD type = 0;
    ASSERT_TRUE(ReadRawValue(path_, "m", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
}

TEST_F(RegistryTest, QueryValueHandsOutATerminatedCopy)
{
    ASSERT_TRUE(reg_.SetString("s", "xyz"));
    std::vector<BYTE> data;
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_TRUE(reg_.QueryValue("s", &type, &data, &size));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4u);
    ASSERT_EQ(data.size(), 5u);
    EXPECT_EQ(data[3], 0);
    EXPECT_EQ(data[4], 0);
}

TEST_F(RegistryTest, LongValuesRoundTripWhole)
{
    const std::string text(70000, 'p');
    ASSERT_TRUE(reg_.SetString("long", text));
    std::string data;
    DWORD size = 0;
    ASSERT_TRUE(reg_.QueryString("long", data, size));
    EXPECT_EQ(size, text.size() + 1);
    EXPECT_TRUE(data.c_str() == text) << "the value comes back whole";
}

struct ReadCase {
    DWORD capacity;
    const char* expected;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << "capacity_" << c.capacity;
}

class ReadStringTest : public RegistryTest, public ::testing::WithParamInterface<ReadCase> {};

// The stored text is "0123456789" and its terminator (11 bytes); the buffer sits between guard bytes.
TEST_P(ReadStringTest, CopiesWhatFitsTerminatesAndReportsTheStoredLength)
{
    const ReadCase c = GetParam();
    ASSERT_TRUE(reg_.SetString("r", "0123456789"));
    std::string area(c.capacity + 16, '#');
    char* buffer = &area[8];
    DWORD size = c.capacity;
    ASSERT_EQ(reg_.ReadString("r", buffer, size), 1);
    EXPECT_EQ(size, 11u) << "the full stored length";
    if (c.capacity > 0) {
        EXPECT_STREQ(buffer, c.expected);
    }
    EXPECT_EQ(area.substr(0, 8), std::string(8, '#'));
    EXPECT_EQ(area.substr(8 + c.capacity), std::string(8, '#')) << "nothing written past the buffer";
}

INSTANTIATE_TEST_SUITE_P(Capacities, ReadStringTest,
                         ::testing::Values(ReadCase{0, ""}, ReadCase{1, ""}, ReadCase{4, "012"},
                                           ReadCase{10, "012345678"}, ReadCase{11, "0123456789"},
                                           ReadCase{12, "0123456789"},
                                           ReadCase{64, "0123456789"}));

TEST_F(RegistryTest, ReadStringOfAMissingValueFailsWithAnEmptyBuffer)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD size = sizeof buffer;
    EXPECT_EQ(reg_.ReadString("absent", buffer, size), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(reg_.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryTest, DwordsOfTheWrongSizeAreRefused)
{
    const BYTE two[2] = {1, 2};
    ASSERT_TRUE(WriteRawValue(path_, "short", REG_DWORD, two, 2));
    const BYTE big[4] = {0x12, 0x34, 0x56, 0x78};
    ASSERT_TRUE(WriteRawValue(path_, "big", REG_DWORD_BIG_ENDIAN, big, 4));
    DWORD value = 7;
    EXPECT_EQ(reg_.QueryDword("short", value), 0);
    EXPECT_EQ(value, 7u);
    ASSERT_EQ(reg_.QueryDword("big", value), 1);
    EXPECT_EQ(value, 0x12345678u);
}

TEST_F(RegistryTest, OpenClosesTheKeyItHolds)
{
    const std::string other = path_ + "\\other";
    Kt_RegistryWin32 creator;
    ASSERT_TRUE(creator.Create(HKEY_CURRENT_USER, other, KEY_ALL_ACCESS));
    ASSERT_TRUE(creator.SetString("mark", "other"));
    ASSERT_TRUE(creator.Close());

    Kt_RegistryWin32 reg;
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, path_, KEY_READ));
    const HKEY first = reg.Key();
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, other, KEY_READ));
    if (reg.Key() != first) {
        DWORD values = 0;
        EXPECT_NE(RegQueryInfoKeyA(first, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << "the first key is closed";
    }
    std::string data;
    DWORD size = 0;
    ASSERT_TRUE(reg.QueryString("mark", data, size));
    EXPECT_STREQ(data.c_str(), "other");
}

TEST_F(RegistryTest, AFailedOpenLeavesNoKey)
{
    Kt_RegistryWin32 reg;
    ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, path_, KEY_READ));
    EXPECT_EQ(reg.Open(HKEY_CURRENT_USER, path_ + "\\missing", KEY_READ), 0);
    EXPECT_EQ(reg.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(reg.IsOpen());
    DWORD type = 0;
    EXPECT_EQ(reg.QueryValue("x", &type, nullptr, nullptr), 0);
    EXPECT_EQ(reg.SetDword("x", 1), 0);
    EXPECT_EQ(reg.Close(), 1) << "closing without a key succeeds";
}

TEST_F(RegistryTest, SubKeysNeedAParentWithAKey)
{
    Kt_RegistryWin32 child;
    EXPECT_EQ(child.CreateSub(nullptr, "x"), 0);
    EXPECT_EQ(child.OpenSub(nullptr, "x", KEY_READ), 0);
    Kt_RegistryWin32 closed;
    EXPECT_EQ(child.OpenSub(&closed, "x", KEY_READ), 0);
    ASSERT_EQ(child.CreateSub(&reg_, "Settings"), 1);
    ASSERT_TRUE(child.SetDword("Timeout", 30));
    Kt_RegistryWin32 again;
    ASSERT_EQ(again.OpenSub(&reg_, "Settings", KEY_READ), 1);
    DWORD value = 0;
    ASSERT_TRUE(again.QueryDword("Timeout", value));
    EXPECT_EQ(value, 30u);
}

// A device registry object whose device key handle happens to have the value of an open PC key.
class DeviceKeyLookingLikeAPcKey : public Kt_RegistryCe {
public:
    explicit DeviceKeyLookingLikeAPcKey(HKEY value) { key_ = value; }
    ~DeviceKeyLookingLikeAPcKey() override { key_ = nullptr; }  // never held a device key
};

TEST_F(RegistryTest, SubKeysNeedAParentOfTheSameKind)
{
    ASSERT_TRUE(reg_.SetDword("marker", 1));
    DeviceKeyLookingLikeAPcKey device(reg_.Key());
    Kt_RegistryWin32 pc;
    EXPECT_EQ(pc.OpenSub(&device, "", KEY_READ), 0);
    EXPECT_EQ(pc.LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(pc.CreateSub(&device, "FromDevice"), 0);
    EXPECT_EQ(pc.LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(pc.IsOpen());
    Kt_RegistryWin32 check;
    EXPECT_EQ(check.Open(HKEY_CURRENT_USER, path_ + "\\FromDevice", KEY_READ), 0) << "nothing was created";

    Kt_RegistryCe onDevice;
    EXPECT_EQ(onDevice.OpenSub(&reg_, "x", KEY_READ), 0);
    EXPECT_EQ(onDevice.LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(onDevice.CreateSub(&reg_, "x"), 0);
    EXPECT_EQ(onDevice.LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(onDevice.IsOpen());
}

TEST_F(RegistryTest, AMovedObjectTakesItsKeyAlong)
{
    Kt_RegistryWin32 first;
    ASSERT_TRUE(first.Open(HKEY_CURRENT_USER, path_, KEY_ALL_ACCESS));
    Kt_RegistryWin32 second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_TRUE(second.SetDword("moved", 1));
}

bool SystemFolderHasRapi()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return GetFileAttributesA((std::string(folder) + "\\rapi.dll").c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(RegistryCeTest, WithoutTheRemoteApiEveryCallFailsAsNotConnected)
{
    if (SystemFolderHasRapi()) GTEST_SKIP() << "a remote API is installed in this prefix";
    Kt_RegistryCe reg;
    EXPECT_EQ(reg.Open(HKEY_CURRENT_USER, "Software", KEY_READ), 0);
    EXPECT_EQ(reg.LastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(reg.Create(HKEY_LOCAL_MACHINE, "Software\\X", KEY_ALL_ACCESS), 0);
    EXPECT_EQ(reg.LastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(reg.IsOpen());
    EXPECT_EQ(reg.SetString("v", "x"), 0);
    EXPECT_EQ(reg.Close(), 1);
    EXPECT_EQ(kt::rapi::ConnectionCount(), 0);

    HKEY key = nullptr;
    EXPECT_EQ(kt::rapi::CeRegOpenKeyEx(HKEY_CURRENT_USER, L"Software", 0, 0, &key), ERROR_DEVICE_NOT_CONNECTED)
        << "a registry call never reports success without a device";
    EXPECT_EQ(kt::rapi::CeGetFileAttributes(L"\\Windows"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(kt::rapi::CeCreateFile(L"\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(kt::rapi::CeDeleteFile(L"\\x"), FALSE);
    EXPECT_EQ(kt::rapi::LastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(kt::rapi::Connect());
}

}  // namespace
