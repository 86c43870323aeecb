// A location's place on one face of the cube around the sphere (its major
// axis and that axis's sign), and the lower bounds on a squared chord the
// indexes skip work by: each formed with the operations a search forms its
// score with (a difference of doubles, its square, the ordered sum of
// three squares), each rounded to nearest. Rounding is monotone, so a bound
// formed from gaps no larger than a member's differences is no larger than
// that member's computed score.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace spherebench {

inline constexpr int kFaces = 6;

// A location's face, its two coordinates on it, and the third.
struct FacePlace {
    int face;
    double a, b;
    double major;
};

// The same face and the same three coordinates, bit for bit: what makes two
// locations score alike where their place is all their score reads.
inline bool same_place(const FacePlace& p, const FacePlace& q) {
    const auto bits = [](double x) { return std::bit_cast<uint64_t>(x); };
    return p.face == q.face && bits(p.a) == bits(q.a) && bits(p.b) == bits(q.b) && bits(p.major) == bits(q.major);
}

// Where the major coordinate's square stands in the score's sum of three
// squares, the other two in the order a, b: the score is
// (m + a) + b, (a + m) + b or (a + b) + m, each sum rounded.
enum class MajorTerm { kFirst, kSecond, kLast };

// The score's sum formed of lower bounds of its three terms: rounding is
// monotone, so it is no greater than the score formed of the terms.
inline double ordered_bound(double a, double b, double m, MajorTerm major) {
    switch (major) {
        case MajorTerm::kFirst:
            return (m + a) + b;
        case MajorTerm::kSecond:
            return (a + m) + b;
        case MajorTerm::kLast:
            break;
    }
    return (a + b) + m;
}

// f.template operator()<kMajor>() with `major` as a constant, so that the
// sums f forms hold no choice.
template <typename F>
decltype(auto) with_major_term(MajorTerm major, F f) {
    switch (major) {
        case MajorTerm::kFirst:
            return f.template operator()<MajorTerm::kFirst>();
        case MajorTerm::kSecond:
            return f.template operator()<MajorTerm::kSecond>();
        case MajorTerm::kLast:
            break;
    }
    return f.template operator()<MajorTerm::kLast>();
}

// The face of a three-component vector: its largest component in size
// (the first of equals), 2 * axis + (1 where it is negative), and its other
// two components in order as the coordinates on that face.
inline FacePlace face_place_of(double x, double y, double z) {
    const double ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax >= ay && ax >= az) return {x < 0 ? 1 : 0, y, z, x};
    if (ay >= az) return {y < 0 ? 3 : 2, x, z, y};
    return {z < 0 ? 5 : 4, x, y, z};
}

// The coordinates of a vector on a face (face_place_of's pair for that
// face's axis).
inline FacePlace on_face(int face, double x, double y, double z) {
    const int axis = face / 2;
    if (axis == 0) return {face, y, z, x};
    if (axis == 1) return {face, x, z, y};
    return {face, x, y, z};
}

// In the squared chord ((x - px)^2 + (y - py)^2) + (z - pz)^2, where the
// major coordinate of a face of that axis stands.
inline MajorTerm chord_major_term(int face) { return static_cast<MajorTerm>(face / 2); }

// The square of the gap from x to [low, high]: x less the nearest point of
// the range, which is x itself inside it (a gap of 0) and an end outside
// it, so the gap is round(x - low) or round(x - high). For a member m of the
// range beyond that end, |round(x - low)| <= |round(x - m)| (rounding is
// monotone, and a difference rounds alike in either order but for its
// sign), so the square is at most the member's rounded square of its
// difference. Clamping by min and max compiles without branches: a query's
// gaps to the nodes it meets fall on either side unpredictably.
inline double squared_gap(double low, double high, double x) {
    const double gap = x - std::min(std::max(x, low), high);
    return gap * gap;
}

// What a face search needs of the query: its place on the face and where
// the major term stands in the score.
struct FaceQuery {
    FacePlace place;
    MajorTerm major;
};

}  // namespace spherebench
