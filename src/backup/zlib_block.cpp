// zlib calls for one block at a time.
#include "backup/zlib_block.h"

namespace vekrano::backup {

BlockCompressor::BlockCompressor(int level) { ready_ = deflateInit(&stream_, level) == Z_OK; }

BlockCompressor::~BlockCompressor() {
  if (ready_) deflateEnd(&stream_);
}

BlockCompressor::Result BlockCompressor::compress(const unsigned char* input, int size, unsigned char* output,
                                                  int capacity) {
  if (deflateReset(&stream_) != Z_OK) return {Outcome::Failed, 0};
  stream_.next_in = const_cast<unsigned char*>(input);
  stream_.avail_in = static_cast<uInt>(size);
  stream_.next_out = output;
  stream_.avail_out = static_cast<uInt>(capacity);
  switch (deflate(&stream_, Z_FINISH)) {
    case Z_STREAM_END: return {Outcome::Compressed, capacity - static_cast<int>(stream_.avail_out)};
    // Output area full before the stream could finish.
    case Z_OK:
    case Z_BUF_ERROR: return {Outcome::DoesNotFit, 0};
    default: return {Outcome::Failed, 0};
  }
}

BlockInflater::BlockInflater() { ready_ = inflateInit(&stream_) == Z_OK; }

BlockInflater::~BlockInflater() {
  if (ready_) inflateEnd(&stream_);
}

int BlockInflater::inflate(const unsigned char* input, int size, unsigned char* output, int capacity) {
  if (inflateReset(&stream_) != Z_OK) return -1;
  stream_.next_in = const_cast<unsigned char*>(input);
  stream_.avail_in = static_cast<uInt>(size);
  stream_.next_out = output;
  stream_.avail_out = static_cast<uInt>(capacity);
  if (::inflate(&stream_, Z_FINISH) != Z_STREAM_END) return -1;
  return capacity - static_cast<int>(stream_.avail_out);
}

}  // namespace vekrano::backup
