// A 64-bit checksum of bytes given in pieces, to tell a damaged file from
// the one written: four lanes of 64-bit words, each multiplied, rotated and
// multiplied again (so that every bit of a word reaches many bits of its
// lane), mixed together with the length at the end. Not a defence against
// someone who makes a file on purpose; a flipped bit, a lost or repeated
// stretch or a file cut short changes it (but for one chance in 2^64).
#pragma once

#include <cstddef>
#include <cstdint>

namespace spherebench {

class Checksum {
  public:
    // Adds the bytes after those added before: the value depends on the
    // bytes in order, not on how they were cut into pieces.
    void add(const void* bytes, size_t size);
    uint64_t value() const;

  private:
    void add_word(uint64_t word);

    uint64_t lanes_[4] = {0x9e3779b97f4a7c15u, 0xc2b2ae3d27d4eb4fu, 0x165667b19e3779f9u, 0x27d4eb2f165667c5u};
    uint64_t words_ = 0;             // added so far
    unsigned char partial_[8] = {};  // bytes past the last whole word
    uint64_t size_ = 0;
};

}  // namespace spherebench
