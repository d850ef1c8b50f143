#pragma once

#include <cstddef>
#include <vector>

// The zlib variant of the packed envelope: a deflate stream with zlib header, produced and read
// in pieces of 8096 bytes. The piece sizes are kept as they are because with some levels they
// decide where deflate cuts its blocks, and so the packed bytes.
namespace kt_zlib {

constexpr std::size_t kPieceSize = 8096;

// Appends the compressed input to out. level is zlib's (-1 default, 0 to 9). Returns false for an
// invalid level or a stream error; out then holds what was produced before it.
// Throws std::bad_alloc when out cannot grow.
bool Deflate(const unsigned char* data, std::size_t size, int level,
             std::vector<unsigned char>& out);

// Appends the decompressed stream to out. Returns true only when the stream ends properly; bytes
// after its end are ignored. A broken or cut-off stream gives false, and out holds what was
// decoded before the fault. The output grows only with what inflate actually produces.
// Throws std::bad_alloc when out cannot grow.
bool Inflate(const unsigned char* data, std::size_t size, std::vector<unsigned char>& out);

}  // namespace kt_zlib
