#include "tools/qxlist/pe_version.h"

#include <cstdint>

namespace qxlist {
namespace {

constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint16_t kOptionalMagic32 = 0x10B;
constexpr std::uint16_t kOptionalMagic64 = 0x20B;
constexpr int kResourceDirectory = 2;

// Reads little-endian fields of a byte range; a read past its end fails and keeps failing.
class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= m_size && length <= m_size - offset;
  }
  std::uint32_t U16(std::uint64_t offset) { return Get(offset, 2); }
  std::uint32_t U32(std::uint64_t offset) { return Get(offset, 4); }
  bool Ok() const { return m_ok; }

 private:
  std::uint32_t Get(std::uint64_t offset, int length) {
    if (!Has(offset, length)) {
      m_ok = false;
      return 0;
    }
    std::uint32_t value = 0;
    for (int i = length - 1; i >= 0; --i) value = value << 8 | m_data[offset + i];
    return value;
  }

  const unsigned char* m_data;
  std::size_t m_size;
  bool m_ok = true;
};

// The file offset of `length` bytes at a relative virtual address, when one section holds them.
bool FileOffsetOf(Reader& file, std::uint64_t sectionTable, unsigned sections, std::uint32_t rva,
                  std::uint32_t length, std::uint64_t& offset) {
  for (unsigned i = 0; i < sections; ++i) {
    const std::uint64_t entry = sectionTable + 40ull * i;
    const std::uint32_t virtualSize = file.U32(entry + 8);
    const std::uint32_t start = file.U32(entry + 12);
    const std::uint32_t rawSize = file.U32(entry + 16);
    const std::uint32_t raw = file.U32(entry + 20);
    if (!file.Ok()) return false;
    // What the file holds of the section: its raw data, of which only the virtual size counts.
    const std::uint32_t size = virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
    if (rva < start || rva - start > size || length > size - (rva - start)) continue;
    offset = std::uint64_t(raw) + (rva - start);
    return file.Has(offset, length);
  }
  return false;
}

enum class Lookup { kFound, kAbsent, kDamaged };

// The first entry of a resource directory whose id is `id` (any entry when `id` is 0). Gives its
// offset field; damaged when the directory or its entries lie outside the resources.
Lookup FindEntry(Reader& file, std::uint64_t resources, std::uint32_t resourceSize, std::uint32_t directory,
                 std::uint32_t id, std::uint32_t& target) {
  if (directory > resourceSize || resourceSize - directory < 16) return Lookup::kDamaged;
  const std::uint64_t at = resources + directory;
  const std::uint32_t count = file.U16(at + 12) + file.U16(at + 14);
  if (!file.Ok() || (resourceSize - directory - 16) / 8 < count) return Lookup::kDamaged;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t name = file.U32(at + 16 + 8ull * i);
    const std::uint32_t offset = file.U32(at + 20 + 8ull * i);
    if (!file.Ok()) return Lookup::kDamaged;
    if (id == 0 || name == id) {
      target = offset;
      return Lookup::kFound;
    }
  }
  return Lookup::kAbsent;
}

std::string Dotted(std::uint32_t high, std::uint32_t low) {
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "." +
         std::to_string(low & 0xFFFF);
}

}  // namespace

PeVersionResult ReadPeFileVersion(const unsigned char* data, std::size_t size, std::string& version) {
  version.clear();
  Reader file(data, size);
  if (size < 64 || data[0] != 'M' || data[1] != 'Z') return PeVersionResult::kNotPe;
  const std::uint64_t pe = file.U32(0x3C);
  if (!file.Has(pe, 24) || file.U32(pe) != 0x00004550) return PeVersionResult::kNotPe;

  const unsigned sections = file.U16(pe + 6);
  const std::uint32_t optionalSize = file.U16(pe + 20);
  const std::uint64_t optional = pe + 24;
  const std::uint32_t magic = file.U16(optional);
  if (!file.Ok() || (magic != kOptionalMagic32 && magic != kOptionalMagic64)) return PeVersionResult::kDamaged;
  const std::uint64_t directoryCountAt = optional + (magic == kOptionalMagic64 ? 108 : 92);
  const std::uint64_t directories = directoryCountAt + 4;
  const std::uint32_t directoryCount = file.U32(directoryCountAt);
  if (!file.Ok() || directories + 8ull * (kResourceDirectory + 1) > optional + optionalSize)
    return PeVersionResult::kDamaged;
  if (directoryCount <= kResourceDirectory) return PeVersionResult::kNoVersion;
  const std::uint32_t resourceRva = file.U32(directories + 8 * kResourceDirectory);
  const std::uint32_t resourceSize = file.U32(directories + 8 * kResourceDirectory + 4);
  if (!file.Ok()) return PeVersionResult::kDamaged;
  if (resourceRva == 0 || resourceSize == 0) return PeVersionResult::kNoVersion;
  const std::uint64_t sectionTable = optional + optionalSize;
  std::uint64_t resources = 0;
  if (!FileOffsetOf(file, sectionTable, sections, resourceRva, resourceSize, resources))
    return PeVersionResult::kDamaged;

  // Three levels: type, name, language. A level below the last names a subdirectory (high bit).
  std::uint32_t entry = 0;
  const Lookup type = FindEntry(file, resources, resourceSize, 0, kResourceTypeVersion, entry);
  if (type != Lookup::kFound) return type == Lookup::kAbsent ? PeVersionResult::kNoVersion : PeVersionResult::kDamaged;
  for (int level = 0; level < 2; ++level) {
    if ((entry & 0x80000000u) == 0 ||
        FindEntry(file, resources, resourceSize, entry & 0x7FFFFFFFu, 0, entry) != Lookup::kFound)
      return PeVersionResult::kDamaged;
  }
  if ((entry & 0x80000000u) != 0 || entry > resourceSize || resourceSize - entry < 16)
    return PeVersionResult::kDamaged;
  const std::uint32_t dataRva = file.U32(resources + entry);
  const std::uint32_t dataSize = file.U32(resources + entry + 4);
  std::uint64_t info = 0;
  if (!file.Ok() || !FileOffsetOf(file, sectionTable, sections, dataRva, dataSize, info))
    return PeVersionResult::kDamaged;

  // VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO" in UTF-16 with its
  // terminator (32 bytes), padding to a 4-byte boundary, then the fixed file information.
  const std::uint32_t valueLength = file.U16(info + 2);
  const std::uint64_t fixed = info + 40;
  if (!file.Ok() || dataSize < 40 + 52 || valueLength < 52 || file.U32(fixed) != kFixedInfoSignature)
    return PeVersionResult::kDamaged;
  const std::uint32_t high = file.U32(fixed + 8);
  const std::uint32_t low = file.U32(fixed + 12);
  if (!file.Ok()) return PeVersionResult::kDamaged;
  version = Dotted(high, low);
  return PeVersionResult::kFound;
}

}  // namespace qxlist
