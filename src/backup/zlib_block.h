// One archive block as one complete zlib stream (RFC 1950). Each wrapper owns its z_stream for
// its lifetime and resets it between blocks, which yields the same bytes as a fresh stream per
// block without paying for the stream's allocation every time.
#pragma once

#include <zlib.h>

namespace vekrano::backup {

class BlockCompressor {
 public:
  enum class Outcome { Compressed, DoesNotFit, Failed };
  struct Result {
    Outcome outcome;
    int length;  // bytes of compressed output when Compressed
  };

  // `level`: zlib level 0 to 9, or Z_DEFAULT_COMPRESSION. Check ready() before use.
  explicit BlockCompressor(int level);
  ~BlockCompressor();
  BlockCompressor(const BlockCompressor&) = delete;
  BlockCompressor& operator=(const BlockCompressor&) = delete;

  // False when zlib could not be initialised.
  bool ready() const { return ready_; }
  // Compresses `size` bytes of `input` as one finished stream into `output`, which holds
  // `capacity` bytes. DoesNotFit when the stream needs more room than that.
  // REQUIRES: ready().
  Result compress(const unsigned char* input, int size, unsigned char* output, int capacity);

 private:
  z_stream stream_{};
  bool ready_ = false;
};

class BlockInflater {
 public:
  BlockInflater();
  ~BlockInflater();
  BlockInflater(const BlockInflater&) = delete;
  BlockInflater& operator=(const BlockInflater&) = delete;

  bool ready() const { return ready_; }
  // Inflates one complete zlib stream of `size` bytes into `output` (`capacity` bytes).
  // Returns the output length, or -1 when the stream is damaged, ends early or inflates to
  // more than `capacity` bytes. REQUIRES: ready().
  int inflate(const unsigned char* input, int size, unsigned char* output, int capacity);

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace vekrano::backup
