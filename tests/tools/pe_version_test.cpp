// The version reader against Windows libraries built here with windres (32- and 64-bit images,
// with and without a version resource), against every truncation of one of them, and against
// headers and resource directories that lie about where things are.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "qxlist_test_support.h"
#include "tools/qxlist/pe_version.h"

namespace {

using qxlist::Bytes;
using qxlist::PeVersionResult;

Bytes Fixture(const std::string& name) { return ReadBytes(std::string(KT_PE_FIXTURES) + "/" + name + ".dll"); }

PeVersionResult Read(const Bytes& data, std::string& version) {
  return qxlist::ReadPeFileVersion(data.data(), data.size(), version);
}

std::uint32_t U32(const Bytes& data, std::size_t at) {
  return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | std::uint32_t(data[at + 3]) << 24;
}
void Put16(Bytes& data, std::size_t at, std::uint32_t value) {
  data[at] = static_cast<unsigned char>(value);
  data[at + 1] = static_cast<unsigned char>(value >> 8);
}
void Put32(Bytes& data, std::size_t at, std::uint32_t value) {
  Put16(data, at, value & 0xFFFF);
  Put16(data, at + 2, value >> 16);
}

// Where the fields of an image are, found the way a reader of the format finds them.
struct Layout {
  explicit Layout(const Bytes& data) {
    pe = U32(data, 0x3C);
    optional = pe + 24;
    const bool wide = (data[optional] | data[optional + 1] << 8) == 0x20B;
    resourceEntry = optional + (wide ? 112 : 96) + 16;
    sectionTable = optional + (data[pe + 20] | data[pe + 21] << 8);
    const unsigned sections = data[pe + 6] | data[pe + 7] << 8;
    for (unsigned i = 0; i < sections; ++i) {
      const std::size_t entry = sectionTable + 40 * i;
      if (std::string(reinterpret_cast<const char*>(&data[entry]), 5) == ".rsrc") resourceRoot = U32(data, entry + 20);
    }
    for (std::size_t at = 0; at + 4 <= data.size(); ++at)
      if (U32(data, at) == 0xFEEF04BD) fixedInfo = at;
  }
  std::size_t pe = 0, optional = 0, resourceEntry = 0, sectionTable = 0, resourceRoot = 0, fixedInfo = 0;
};

struct BuiltCase {
  const char* name;
  PeVersionResult result;
  const char* version;
};

class BuiltImages : public ::testing::TestWithParam<BuiltCase> {};

TEST_P(BuiltImages, GiveTheirVersionResource) {
  const Bytes image = Fixture(GetParam().name);
  ASSERT_FALSE(image.empty()) << "fixture " << GetParam().name << " not built";
  std::string version;
  EXPECT_EQ(Read(image, version), GetParam().result);
  EXPECT_EQ(version, GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    PeVersion, BuiltImages,
    ::testing::Values(BuiltCase{"versioned64", PeVersionResult::kFound, "2.5.0.17"},
                      BuiltCase{"versioned64_next", PeVersionResult::kFound, "2.6.0.0"},
                      BuiltCase{"versioned32", PeVersionResult::kFound, "65535.1.0.65534"},
                      BuiltCase{"plain64", PeVersionResult::kNoVersion, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeVersion, TextAndShortInputsAreNoImages) {
  std::string version;
  for (const std::string& text : {std::string(), std::string("MZ"), std::string("hello, world"),
                                  std::string("MZ") + std::string(70, '\0')}) {
    EXPECT_EQ(Read(ToBytes(text), version), PeVersionResult::kNotPe) << text.size();
    EXPECT_TRUE(version.empty());
  }
}

// Every prefix of an image: the right version or none, never a read outside the prefix (ASan).
TEST(PeVersion, EveryTruncationGivesTheVersionOrNone) {
  const Bytes image = Fixture("versioned64");
  ASSERT_FALSE(image.empty());
  const Layout layout(image);
  int damaged = 0;
  for (std::size_t size = 0; size < image.size(); ++size) {
    const Bytes prefix(image.begin(), image.begin() + size);
    std::string version;
    const PeVersionResult result = Read(prefix, version);
    if (result == PeVersionResult::kFound) {
      EXPECT_EQ(version, "2.5.0.17");
      EXPECT_GE(size, layout.fixedInfo + 16) << "a version read beyond the prefix";
    }
    if (result == PeVersionResult::kDamaged) ++damaged;
    if (size < layout.pe + 24) EXPECT_EQ(result, PeVersionResult::kNotPe) << size;
  }
  EXPECT_GT(damaged, 0);
}

struct DamageCase {
  const char* name;
  std::function<void(Bytes&, const Layout&)> damage;
  PeVersionResult result;
};

class DamagedImages : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedImages, AreReportedWithoutAVersion) {
  Bytes image = Fixture("versioned64");
  ASSERT_FALSE(image.empty());
  const Layout layout(image);
  ASSERT_NE(layout.resourceRoot, 0u);
  ASSERT_NE(layout.fixedInfo, 0u);
  GetParam().damage(image, layout);
  std::string version;
  EXPECT_EQ(Read(image, version), GetParam().result);
  EXPECT_TRUE(version.empty());
}

INSTANTIATE_TEST_SUITE_P(
    PeVersion, DamagedImages,
    ::testing::Values(
        DamageCase{"HeaderOffsetPastTheEnd", [](Bytes& d, const Layout&) { Put32(d, 0x3C, 0xFFFFFFF0); },
                   PeVersionResult::kNotPe},
        DamageCase{"NoSignature", [](Bytes& d, const Layout& l) { d[l.pe] = 'X'; }, PeVersionResult::kNotPe},
        DamageCase{"UnknownOptionalHeader", [](Bytes& d, const Layout& l) { Put16(d, l.optional, 0x999); },
                   PeVersionResult::kDamaged},
        DamageCase{"OptionalHeaderTooSmall", [](Bytes& d, const Layout& l) { Put16(d, l.pe + 20, 8); },
                   PeVersionResult::kDamaged},
        DamageCase{"NoResourceDirectory",
                   [](Bytes& d, const Layout& l) { Put32(d, l.resourceEntry - 20, 2); },
                   PeVersionResult::kNoVersion},
        DamageCase{"ResourcesOutsideEverySection",
                   [](Bytes& d, const Layout& l) { Put32(d, l.resourceEntry, 0x7FFFFFF0); },
                   PeVersionResult::kDamaged},
        DamageCase{"ResourcesLargerThanTheFile",
                   [](Bytes& d, const Layout& l) { Put32(d, l.resourceEntry + 4, 0xFFFFFFFF); },
                   PeVersionResult::kDamaged},
        DamageCase{"NoSections", [](Bytes& d, const Layout& l) { Put16(d, l.pe + 6, 0); },
                   PeVersionResult::kDamaged},
        DamageCase{"SectionDataPastTheEnd",
                   [](Bytes& d, const Layout& l) {
                     for (std::size_t s = l.sectionTable; s < l.resourceRoot && s + 40 <= d.size(); s += 40)
                       if (d[s] == '.' && d[s + 1] == 'r' && d[s + 2] == 's') Put32(d, s + 20, 0xFFFFFF00);
                   },
                   PeVersionResult::kDamaged},
        DamageCase{"EntryCountBeyondTheResources",
                   [](Bytes& d, const Layout& l) { Put16(d, l.resourceRoot + 14, 0xFFFF); },
                   PeVersionResult::kDamaged},
        DamageCase{"SubdirectoryPointingAtItsParent",
                   [](Bytes& d, const Layout& l) { Put32(d, l.resourceRoot + 20, 0x80000000); },
                   PeVersionResult::kDamaged},
        DamageCase{"SubdirectoryPastTheResources",
                   [](Bytes& d, const Layout& l) { Put32(d, l.resourceRoot + 20, 0x8FFFFFF0); },
                   PeVersionResult::kDamaged},
        DamageCase{"NoFixedInformation", [](Bytes& d, const Layout& l) { Put32(d, l.fixedInfo, 0x12345678); },
                   PeVersionResult::kDamaged}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
