// The checksum's values are fixed by the saved format: a file written
// today must check the same tomorrow. The expected values come from a
// separate implementation of its description (in Python, word by word).
#include "base/checksum.h"

#include <gtest/gtest.h>

#include <string>

using namespace spherebench;

namespace {

std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + 11) & 255);
    return bytes;
}

uint64_t checksum_of(const std::string& bytes) {
    Checksum checksum;
    checksum.add(bytes.data(), bytes.size());
    return checksum.value();
}

}  // namespace

TEST(Checksum, ValuesOfTheSavedFormat) {
    EXPECT_EQ(checksum_of(pattern(0)), 0xfdcfea8fc2b67a65u);
    EXPECT_EQ(checksum_of(pattern(5)), 0x178c295ac2230703u);
    EXPECT_EQ(checksum_of(pattern(8)), 0xe587d6a559c95b4du);
    EXPECT_EQ(checksum_of(pattern(100)), 0x8d9d29e9a5f273e5u);
    EXPECT_EQ(checksum_of(pattern(1000)), 0x68eaa11f9b3a634eu);
    EXPECT_EQ(checksum_of(pattern(4099)), 0xe76dc7bdfa987718u);
}

// In two pieces cut anywhere, or in three, the bytes check as one.
TEST(Checksum, SameHoweverCut) {
    const std::string bytes = pattern(300);
    const uint64_t whole = checksum_of(bytes);
    for (size_t cut = 0; cut <= bytes.size(); ++cut)
        for (const size_t second : {size_t{1}, size_t{13}, size_t{40}}) {
            const size_t end = std::min(bytes.size(), cut + second);
            Checksum pieces;
            pieces.add(bytes.data(), cut);
            pieces.add(bytes.data() + cut, end - cut);
            pieces.add(bytes.data() + end, bytes.size() - end);
            ASSERT_EQ(pieces.value(), whole) << "cut at " << cut << " and " << end;
        }
}
