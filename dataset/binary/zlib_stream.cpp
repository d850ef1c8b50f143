#include "dataset/binary/zlib_stream.h"

#include <zlib.h>

#include <algorithm>

namespace kt_zlib {
namespace {

// Ends the zlib stream on every way out, including the exception of a vector that cannot grow.
class DeflateStream {
 public:
  explicit DeflateStream(int level) { ok_ = deflateInit(&stream_, level) == Z_OK; }
  ~DeflateStream() {
    if (ok_) deflateEnd(&stream_);
  }
  DeflateStream(const DeflateStream&) = delete;
  DeflateStream& operator=(const DeflateStream&) = delete;
  bool ok() const { return ok_; }
  z_stream& get() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

class InflateStream {
 public:
  InflateStream() { ok_ = inflateInit(&stream_) == Z_OK; }
  ~InflateStream() {
    if (ok_) inflateEnd(&stream_);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  bool ok() const { return ok_; }
  z_stream& get() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

// Gives the stream a fresh piece of output space at the end of out; returns its offset.
std::size_t OpenOutputPiece(z_stream& stream, std::vector<unsigned char>& out) {
  const std::size_t offset = out.size();
  out.resize(offset + kPieceSize);
  stream.next_out = out.data() + offset;
  stream.avail_out = static_cast<uInt>(kPieceSize);
  return offset;
}

void CloseOutputPiece(const z_stream& stream, std::size_t offset, std::vector<unsigned char>& out) {
  out.resize(offset + (kPieceSize - stream.avail_out));
}

// Runs deflate with flush until it leaves part of an output piece unused, as the stream then has
// taken all the input it was given (and, when finishing, written its end).
bool DrainDeflate(z_stream& stream, int flush, std::vector<unsigned char>& out) {
  do {
    const std::size_t offset = OpenOutputPiece(stream, out);
    const int result = deflate(&stream, flush);
    CloseOutputPiece(stream, offset, out);
    if (result == Z_STREAM_ERROR) return false;
  } while (stream.avail_out == 0);
  return true;
}

}  // namespace

bool Deflate(const unsigned char* data, std::size_t size, int level,
             std::vector<unsigned char>& out) {
  DeflateStream deflater(level);
  if (!deflater.ok()) return false;
  z_stream& stream = deflater.get();
  for (std::size_t done = 0; done < size;) {
    const std::size_t piece = std::min(kPieceSize, size - done);
    stream.next_in = const_cast<Bytef*>(data + done);
    stream.avail_in = static_cast<uInt>(piece);
    if (!DrainDeflate(stream, Z_NO_FLUSH, out)) return false;
    if (stream.avail_in != 0) return false;  // output space left, yet input refused: stuck
    done += piece;
  }
  stream.next_in = nullptr;
  stream.avail_in = 0;
  return DrainDeflate(stream, Z_FINISH, out);
}

bool Inflate(const unsigned char* data, std::size_t size, std::vector<unsigned char>& out) {
  InflateStream inflater;
  if (!inflater.ok()) return false;
  z_stream& stream = inflater.get();
  for (std::size_t done = 0; done < size;) {
    const std::size_t piece = std::min(kPieceSize, size - done);
    stream.next_in = const_cast<Bytef*>(data + done);
    stream.avail_in = static_cast<uInt>(piece);
    int result;
    do {
      const std::size_t offset = OpenOutputPiece(stream, out);
      result = inflate(&stream, Z_NO_FLUSH);
      CloseOutputPiece(stream, offset, out);
      switch (result) {
        case Z_STREAM_END:
          return true;
        case Z_NEED_DICT:
        case Z_DATA_ERROR:
        case Z_MEM_ERROR:
        case Z_STREAM_ERROR:
          return false;
        default:
          break;
      }
    } while (stream.avail_out == 0);
    if (stream.avail_in != 0) return false;  // output space left, yet input refused: stuck
    done += piece;
  }
  return false;  // the input ended inside the stream
}

}  // namespace kt_zlib
