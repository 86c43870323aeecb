#include "base/checksum.h"

#include <cstring>

namespace spherebench {

namespace {

constexpr uint64_t kPrime1 = 0x9e3779b185ebca87u;
constexpr uint64_t kPrime2 = 0xc2b2ae3d27d4eb4fu;

constexpr uint64_t rotate_left(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

constexpr uint64_t mixed(uint64_t lane, uint64_t word) { return rotate_left(lane + word * kPrime2, 31) * kPrime1; }

}  // namespace

void Checksum::add_word(uint64_t word) {
    lanes_[words_ % 4] = mixed(lanes_[words_ % 4], word);
    ++words_;
}

void Checksum::add(const void* bytes, size_t size) {
    if (size == 0) return;
    const unsigned char* at = static_cast<const unsigned char*>(bytes);
    size_t held = size_ % 8;
    size_ += size;
    for (; held > 0 && size > 0; --size) {
        partial_[held++] = *at++;
        if (held < 8) continue;
        uint64_t word;
        std::memcpy(&word, partial_, 8);
        add_word(word);
        held = 0;
    }
    const auto next_word = [&] {
        uint64_t word;
        std::memcpy(&word, at, 8);
        at += 8, size -= 8;
        return word;
    };
    while (size >= 8 && words_ % 4 != 0) add_word(next_word());
    // Whole rounds of the four lanes held in registers: four chains of
    // multiplications the processor runs side by side.
    if (size >= 32) {
        uint64_t lane0 = lanes_[0], lane1 = lanes_[1], lane2 = lanes_[2], lane3 = lanes_[3];
        while (size >= 32) {
            lane0 = mixed(lane0, next_word());
            lane1 = mixed(lane1, next_word());
            lane2 = mixed(lane2, next_word());
            lane3 = mixed(lane3, next_word());
            words_ += 4;
        }
        lanes_[0] = lane0, lanes_[1] = lane1, lanes_[2] = lane2, lanes_[3] = lane3;
    }
    while (size >= 8) add_word(next_word());
    std::memcpy(partial_, at, size);
}

uint64_t Checksum::value() const {
    // The bytes past the last whole word, marked by a bit above them so
    // that trailing zeros count.
    const size_t held = size_ % 8;
    uint64_t tail = 0;
    std::memcpy(&tail, partial_, held);
    tail |= uint64_t{1} << (8 * held);
    uint64_t h =
        rotate_left(lanes_[0], 1) + rotate_left(lanes_[1], 7) + rotate_left(lanes_[2], 12) + rotate_left(lanes_[3], 18);
    h = mixed(h, size_);
    h = mixed(h, tail);
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    return h;
}

}  // namespace spherebench
