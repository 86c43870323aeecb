#include "geo/coords.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

using namespace spherebench;

namespace {

uint64_t bits(double x) { return std::bit_cast<uint64_t>(x); }
int32_t word(uint32_t w) { return static_cast<int32_t>(w); }
constexpr double kUnit = 2 * kCosineScale;  // the smallest stored cosine, code 0

// Pairs and what they decode to, bit for bit, computed from the bit layout by
// tests/vectors/decode_vectors.py (Python, independently of this code).
// Random words: many have u*u + v*v > 1 and decode with a zero major component.
struct DecodeCase {
    int32_t first, second;
    uint64_t x, y, z, lat, lon;
    int32_t fixed_lat, fixed_lon;
};
constexpr DecodeCase kRandomPairs[] = {
    {-188893910, 665742111, 0xbfe17cfbff372902, 0x3fd68495ac68495b, 0xbfe85194e205194e, 0xbfeb9fbd86efd8ed,
     0x40048e838171a26d, -590087416, 1756480278},
    {-909171723, 438547015, 0xbfdf460e8b6380a5, 0xbfd39e47ec39e47f, 0x3fea23b249223b24, 0x3fee9713a2b20431,
     0xc004a6925713c09c, 653448740, -1764510150},
    {-294752116, -1283734712, 0xbfd9087970908797, 0xbfe1918f749918f7, 0xbfe7a2ec7da98dd1, 0xbfea97f1bc20685f,
     0xc00184c156547fb1, -568075474, -1496886195},
    {620952010, 613522061, 0x0000000000000000, 0xbfeafd06372fd063, 0xbfeb6e657436e657, 0xbfe964a54b058184,
     0xbff921fb54442d18, -542433549, -1073741820},
    {-1518524763, 1411999241, 0x3fea82d95c282d96, 0x0000000000000000, 0x3fe429660ac29661, 0x3fe4ce5598ab183c,
     0x0000000000000000, 444445459, 0},
    {1333861420, 1285907671, 0x3fdf02385af02386, 0xbfe8f94d4ca59fac, 0x3fd94ac9b094ac9b, 0x3fda006615cce74d,
     0xbff03e48dc8bbcb0, 277715029, -693959706},
    {360059802, 106834146, 0x3fe6ddc3dc90d1cc, 0x3fe576139bd7613a, 0x3fc978a38b978a39, 0x3fc9a47583291e38,
     0x3fe81e68e6040349, 136939582, 515211437},
    {349332607, -1686923644, 0xbfeb739686373968, 0x3fe4d26480cd2648, 0x0000000000000000, 0x0000000000000000,
     0x4003f10077ddd137, 0, 1703907211},
    {-1750099951, -827253872, 0xbfdd623722d62372, 0x3fe7af9812faf981, 0x3fdf70ca919bac19, 0x3fe06ee0b0f30f80,
     0x4001020823d6b1a8, 351034607, 1453254362},
    {1369530592, -105634604, 0xbfc92f6caf92f6cb, 0x3fe1a160e19a160e, 0xbfe9f3cf1e8c9426, 0xbfee44a5534e687e,
     0x3ffe9ef4a9923cd1, -646570456, 1308212378},
    {-1539736982, -43335362, 0x3fb4a9f60d4a9f61, 0xbfebc685973c6859, 0x3fdf5bf9c09cbb3c, 0x3fe062eef8f1f230,
     0xbff7a62a55f89672, 350037946, -1010355763},
    {633818144, -1988404581, 0xbfd2f6b5382f6b53, 0xbfea38b3e1238b3e, 0x3fdf6703ccacdeb1, 0x3fe0694444d8f5a6,
     0xbffeaf32b65f2730, 350566406, -1310923005},
    {-1989599101, -531135844, 0x3fefa87d657a87d6, 0x3fd2d241082d2410, 0x0000000000000000, 0x0000000000000000,
     0x3fd27dfc809f3241, 0, 197509073},
    {-1565731757, 973348639, 0x3fd6a623607ecc1a, 0xbfed532bae5532bb, 0xbfc7ef83837ef838, 0xbfc813cc722cef43,
     0xbff33c7b4b8ece17, -128581502, -821827300},
    {48932655, -1434888504, 0x3fe586a938d86a93, 0x3fb755397d755398, 0x3fe77f5014b49395, 0x3fea634d4e475780,
     0x3fc13cf19058fb97, 563682841, 92057342},
    {859265986, 1738549147, 0x3fd991487c991488, 0x3fe052e078c13f55, 0xbfe85fd86605fd86, 0xbfebb5b852cf4719,
     0x3fed016759a4c271, -591921467, 619598158},
    {1872863644, 541835044, 0x8000000000000000, 0x3fe05e5e6485e5e6, 0xbfefb440dd7b440e, 0xbff181d6df3a5e6a,
     0x3ff921fb54442d18, -747956478, 1073741820},
    {902938443, 876371868, 0x3febf6a9045337b0, 0xbfd45c816a45c817, 0xbfd78740c878740c, 0xbfd817e97be1f9a2,
     0xbfd658896fb5ffc8, -257334624, -238669454},
    {1024507992, 1619558812, 0x3fb779fd3d779fd4, 0x3fc4178e2ec890d3, 0xbfef777e657777e6, 0xbff635309539f7f0,
     0x3ff0ac43a8f7068f, -948778882, 712313781},
    {-582585159, -1743411622, 0x3fe815a65c015a66, 0x3fed4674bb54674c, 0x8000000000000000, 0x8000000000000000,
     0x3fec3c5eea2b2898, 0, 603157132},
    {-1538345448, -1662672520, 0xbfece5a17a4e5a18, 0xbfebb149e93b149e, 0x0000000000000000, 0x0000000000000000,
     0xc0030511d8e165e2, 0, -1625159653},
    {-851824289, 2039549143, 0x3fda7462c0a7462c, 0xbfec6b4f0d0087ca, 0xbfc9bbcca39bbcca, 0xbfc9e90136818108,
     0xbff229b279a79d2d, -138369497, -775969608},
    {-1511485401, -72525019, 0x3fc14a936b14a937, 0xbfea176fda2176fe, 0x3fe203de2ecc5755, 0x3fe322a1e82642b7,
     0xbff68177f838a646, 408756717, -961508759},
    {2094007884, 1140243579, 0xbfb97fcd9d97fcda, 0xbfef97da3f136d11, 0x3fbfb5e3ddfb5e3e, 0x3fbfcacb59b1db98,
     0xbffabdd45d6bc36b, 84890703, -1142473473},
};

TEST(DecodeCdc, RandomPairsMatchIndependentDerivationBitForBit) {
    for (const DecodeCase& c : kRandomPairs) {
        SCOPED_TRACE(testing::Message() << c.first << " " << c.second);
        const UnitVector v = decode_cdc({c.first, c.second});
        EXPECT_EQ(bits(v.x), c.x);
        EXPECT_EQ(bits(v.y), c.y);
        EXPECT_EQ(bits(v.z), c.z);
        const LatLong a = vector_to_latlong(v);
        EXPECT_EQ(bits(a.lat), c.lat);
        EXPECT_EQ(bits(a.lon), c.lon);
        const FixedLatLong f = to_fixed(a);
        EXPECT_EQ(f.lat, c.fixed_lat);
        EXPECT_EQ(f.lon, c.fixed_lon);
    }
}

TEST(DecodeCdc, ZeroPairIsPositiveXAxis) {
    const UnitVector v = decode_cdc({0, 0});
    EXPECT_EQ(v.x, 1.0);  // u*u and v*v vanish against 1
    EXPECT_EQ(v.y, kUnit);
    EXPECT_EQ(v.z, kUnit);
}

TEST(DecodeCdc, SixFlagCasesPlaceAndSignComponents) {
    const double u = kUnit, v = kUnit;
    struct Case {
        uint32_t first, second;
        double x, y, z;
    };
    const Case cases[] = {
        {0x00000000, 0x00000000, 1, u, v},
        {0x40000000, 0x00000000, -1, -u, v},
        {0x00000000, 0x40000000, -u, 1, v},
        {0x40000000, 0x40000000, u, -1, v},
        {0x00000000, 0x80000000, -v, u, 1},
        {0x40000000, 0x80000000, v, u, -1},
        // bit 30 of the second word is not read when bit 31 is set
        {0x00000000, 0xC0000000, -v, u, 1},
        {0x40000000, 0xC0000000, v, u, -1},
        // bit 31 of the first word is never read
        {0x80000000, 0x00000000, 1, u, v},
        {0xC0000000, 0x80000000, v, u, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.first << " " << c.second);
        const UnitVector d = decode_cdc({word(c.first), word(c.second)});
        EXPECT_EQ(bits(d.x), bits(c.x));
        EXPECT_EQ(bits(d.y), bits(c.y));
        EXPECT_EQ(bits(d.z), bits(c.z));
    }
}

TEST(DecodeCdc, FieldBeyondOneGivesZeroMajorWithSignPassedToAtan2) {
    const double just_above_one = 2147483646.0 * kCosineScale;
    EXPECT_GT(just_above_one, 1.0);
    EXPECT_EQ(stored_cosine(0x1FFFFFFF), just_above_one);
    EXPECT_EQ(decode_cdc({0x1FFFFFFF, 0}).x, 0.0);

    // Major axis Y positive: (-u, +0, v), longitude pi.
    const UnitVector plus = decode_cdc({0x1FFFFFFF, 0x40000000});
    EXPECT_EQ(plus.x, -just_above_one);
    EXPECT_EQ(bits(plus.y), bits(0.0));
    EXPECT_EQ(vector_to_latlong(plus).lon, kPi);
    EXPECT_EQ(to_fixed(vector_to_latlong(plus)).lon, 2147483640);

    // Major axis Y negative, field just below -1: (u, -0, v), longitude -pi.
    const UnitVector minus = decode_cdc({0x60000000, 0x40000000});
    EXPECT_LT(minus.x, -1.0);
    EXPECT_EQ(bits(minus.y), bits(-0.0));
    EXPECT_EQ(vector_to_latlong(minus).lon, -kPi);
    EXPECT_EQ(to_fixed(vector_to_latlong(minus)).lon, -2147483640);
}

TEST(DecodeCdc, NegativeXAxisLiesJustEastOfMinusPi) {
    const LatLong a = vector_to_latlong(decode_cdc({0x40000000, 0}));
    EXPECT_EQ(to_fixed(a).lon, -2147483639);
    EXPECT_EQ(vector_to_latlong({-1, 0, 0}).lon, kPi);
    EXPECT_EQ(vector_to_latlong({-1, -0.0, 0}).lon, -kPi);
}

TEST(FixedLatLong, QuarterAndHalfTurnsAreExact) {
    EXPECT_EQ(angle_to_fixed(kPi), 2147483640);
    EXPECT_EQ(angle_to_fixed(kPi / 2), 1073741820);
    EXPECT_EQ(angle_to_fixed(-kPi / 2), -1073741820);
    EXPECT_EQ(angle_to_fixed(0.0), 0);
    EXPECT_EQ(fixed_to_angle(2147483640), kPi);
    EXPECT_EQ(fixed_to_angle(-2147483640), -kPi);
    EXPECT_EQ(fixed_to_angle(1073741820), kPi / 2);
    EXPECT_EQ(fixed_to_angle(0), 0.0);
}

// to_fixed truncates, so a round trip lands nearer zero, by less than one
// unit of pi/2147483640 radian (plus the rounding of the two products).
TEST(FixedLatLong, RoundTripMovesTowardZeroByLessThanOneUnit) {
    const unsigned seed = 7;
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> angle(-kPi, kPi);
    const double unit = kPi / 2147483640.0;
    for (int i = 0; i < 100000; ++i) {
        const double a = angle(random);
        const double back = from_fixed(to_fixed({a, a})).lat;
        ASSERT_LE(std::fabs(back), std::fabs(a) + 1e-15) << "seed " << seed << " angle " << a;
        ASSERT_LT(std::fabs(a) - std::fabs(back), unit * (1 + 1e-9)) << "seed " << seed << " angle " << a;
    }
}

}  // namespace
