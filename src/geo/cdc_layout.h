// The layout of concise direction cosines, stated once: which bit of which
// word means what, and for each of the eight flag cases where the decoder
// puts the two stored cosines u, v and the computed major component w, and
// with which sign. The encoder, the decoder, the direction-cosine method's
// arrangement of the point, the vector search's case groups and its order of
// the sum are made from this table or checked against it at compile time.
#pragma once

#include <cstdint>

namespace spherebench {

// Two signed 32-bit words, in the order they stand on an input line.
struct CdcPair {
    int32_t first;
    int32_t second;
};

//   first  bits 0-29: first stored cosine u (30-bit two's-complement fraction)
//   first  bit 30:    the major component is negative (and one stored
//                     component is negated with it)
//   first  bit 31:    not read
//   second bits 0-29: second stored cosine v
//   second bit 31:    the major axis is Z
//   second bit 30:    (bit 31 clear) the major axis is Y, else X; not read
//                     when bit 31 is set
// The major component w is not stored; the decoder computes it.
inline constexpr uint32_t kCdcFieldMask = 0x3FFFFFFFu;  // bits 0-29 of either word
inline constexpr int kCdcNegativeMajorShift = 30;       // first word
inline constexpr int kCdcAxisZShift = 31;               // second word
inline constexpr int kCdcAxisYShift = 30;               // second word, axis Z clear
inline constexpr uint32_t kCdcNegativeMajorBit = 1u << kCdcNegativeMajorShift;
inline constexpr uint32_t kCdcAxisZBit = 1u << kCdcAxisZShift;
inline constexpr uint32_t kCdcAxisYBit = 1u << kCdcAxisYShift;

// The flag case of a pair, 0 to 7: the axis Z bit, the axis Y bit and the
// negative-major bit, in that order from the most significant.
constexpr unsigned cdc_flag_case(CdcPair pair) {
    const uint32_t first = static_cast<uint32_t>(pair.first), second = static_cast<uint32_t>(pair.second);
    return ((second >> (kCdcAxisYShift - 1)) & 6u) | ((first >> kCdcNegativeMajorShift) & 1u);
}
inline constexpr int kCdcFlagCases = 8;

// A component of the decoded vector: 0 for x, 1 for y, 2 for z.
enum CdcAxis : int8_t { kCdcX = 0, kCdcY = 1, kCdcZ = 2 };

// Where the decoder puts one of u, v, w, and whether it negates it there.
struct CdcPlace {
    CdcAxis axis;
    bool negated;
};

struct CdcCaseLayout {
    CdcAxis major;  // the axis of w
    bool negative;  // the negative-major bit
    CdcPlace u, v, w;
};

// By flag case. The decoded vector, (x, y, z):
//   axis X: ( w,  u, v), negative (-w, -u, v)
//   axis Y: (-u,  w, v), negative ( u, -w, v)
//   axis Z: (-v,  u, w), negative ( v,  u, -w)
inline constexpr CdcCaseLayout kCdcLayout[kCdcFlagCases] = {
    {kCdcX, false, {kCdcY, false}, {kCdcZ, false}, {kCdcX, false}},
    {kCdcX, true, {kCdcY, true}, {kCdcZ, false}, {kCdcX, true}},
    {kCdcY, false, {kCdcX, true}, {kCdcZ, false}, {kCdcY, false}},
    {kCdcY, true, {kCdcX, false}, {kCdcZ, false}, {kCdcY, true}},
    {kCdcZ, false, {kCdcY, false}, {kCdcX, true}, {kCdcZ, false}},
    {kCdcZ, true, {kCdcY, false}, {kCdcX, false}, {kCdcZ, true}},
    // Axis Z again: the axis Y bit is not read.
    {kCdcZ, false, {kCdcY, false}, {kCdcX, true}, {kCdcZ, false}},
    {kCdcZ, true, {kCdcY, false}, {kCdcX, false}, {kCdcZ, true}},
};

// The words' flag bits of a flag case (the fields left clear).
constexpr CdcPair cdc_flag_bits(unsigned flag_case) {
    const uint32_t second = ((flag_case >> 2) & 1u) << kCdcAxisZShift | ((flag_case >> 1) & 1u) << kCdcAxisYShift;
    return {static_cast<int32_t>((flag_case & 1u) << kCdcNegativeMajorShift), static_cast<int32_t>(second)};
}

// The first flag case (the one the encoder writes) of a major axis and sign.
constexpr unsigned cdc_case_of(CdcAxis major, bool negative) {
    for (unsigned k = 0; k < kCdcFlagCases; ++k)
        if (kCdcLayout[k].major == major && kCdcLayout[k].negative == negative) return k;
    return kCdcFlagCases;  // not reached: every axis and sign has a case
}

// The six distinct layouts, axis X, Y, Z each positive then negative: group
// 2 * axis + negative, which is also the first flag case of the group.
inline constexpr int kCdcCaseGroups = 6;
constexpr int cdc_case_group_of(unsigned flag_case) {
    return 2 * kCdcLayout[flag_case].major + (kCdcLayout[flag_case].negative ? 1 : 0);
}

namespace cdc_layout_checks {

constexpr bool same_place(CdcPlace a, CdcPlace b) { return a.axis == b.axis && a.negated == b.negated; }
constexpr bool same_layout(const CdcCaseLayout& a, const CdcCaseLayout& b) {
    return a.major == b.major && a.negative == b.negative && same_place(a.u, b.u) && same_place(a.v, b.v) &&
           same_place(a.w, b.w);
}

// Every case puts u, v, w on three different axes, w on the major one with
// the case's sign; its flag bits name it back; cases of one axis and sign
// are alike, and each group's first case is its index.
constexpr bool layout_is_consistent() {
    for (unsigned k = 0; k < kCdcFlagCases; ++k) {
        const CdcCaseLayout& c = kCdcLayout[k];
        if (c.u.axis == c.v.axis || c.u.axis == c.w.axis || c.v.axis == c.w.axis) return false;
        if (c.w.axis != c.major || c.w.negated != c.negative) return false;
        if (cdc_flag_case(cdc_flag_bits(k)) != k) return false;
        if (!same_layout(c, kCdcLayout[cdc_case_of(c.major, c.negative)])) return false;
        if (cdc_case_of(c.major, c.negative) != static_cast<unsigned>(cdc_case_group_of(k))) return false;
        if (cdc_case_group_of(k) >= kCdcCaseGroups) return false;
    }
    return true;
}
static_assert(layout_is_consistent());

}  // namespace cdc_layout_checks

}  // namespace spherebench
