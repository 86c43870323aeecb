// The distance helpers against exact values worked out apart from this code
// (tests/vectors/distance_vectors.py, decimal arithmetic at 60 digits), to
// the bounds geo/distance.h argues; and the within limit against the score of
// locations at a known exact distance.
#include "geo/distance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "geo/cdc_encoder.h"
#include "geo/coords.h"
#include "method/cdc_method.h"

using namespace spherebench;

namespace {

constexpr long double kU = 0x1p-53L;

struct Exact {
    double input;
    long double value;  // to 30 digits, far past a double's
};

// clang-format off
const Exact kChord2ToAngle[] = {
    {0x0.0p+0, 0L},
    {0x1.56e1fc2f8f359p-997, 1.00000000000000001252954591760e-150L},
    {0x1.10adcb5247ac1p-34, 0.00000787400787403215256351370647299L},
    {0x1.0c6f7a0b5ed8dp-20, 0.00100000004166667133154141729613L},
    {0x1.0000000000000p-1, 0.722734247813415611178377352641L},
    {0x1.fffffffbb47d0p+0, 1.57079632629489657786113619207L},
    {0x1.0000000000000p+1, 1.57079632679489661923132169164L},
    {0x1.0000000225c18p+1, 1.57079632729489666060150719121L},
    {0x1.f333333333333p+1, 2.82403222429827173574605501420L},
    {0x1.ffffffffff734p+1, 3.14159165354534393512074729105L},
    {0x1.0000000000000p+2, 3.14159265358979323846264338328L},
    {0x1.05a6130ab2b9ep+1, 1.59286346167771024075661389417L},
    {0x1.58a0528203df8p+1, 1.92430999082941334622610179667L},
    {0x1.124759b5909ecp+1, 1.64225835635012297474347201635L},
    {0x1.59bd339758168p+1, 1.92894740938628862416597763730L},
    {0x1.44006b0f0078ep+0, 1.19481626349363336481479610576L},
    {0x1.3bed1cdcad2cap+1, 1.80707549419527063403508531251L},
    {0x1.df174399d52a4p-1, 1.00967275174869532183417728359L},
    {0x1.09483a21c7637p+1, 1.60706262385886392193160317871L},
    {0x1.32f04b3725f09p+1, 1.77111239889075088298268517697L},
    {0x1.4a11a469ec80ap+1, 1.86432492889171158994429190519L},
    {0x1.3d48fc90ec1d5p+1, 1.81253894606545166681014177353L},
    {0x1.242e0c785b180p+1, 1.71259872199540964680277655239L},
    {0x1.8d48f86708bb9p-38, 0.00000237608080429255289937934985574L},
    {0x1.00012417584b6p-27, 0.0000863174971607503283457342068906L},
    {0x1.765ab43fe3a50p-25, 0.000208759617672282008985915994285L},
    {0x1.18563f62e491cp-42, 4.98988165188777706016419105907e-7L},
    {0x1.4cebdae3d9ec4p-63, 3.75496549485969313399338832014e-10L},
    {0x1.345efaafd4f71p-53, 1.15643680653406658888305803487e-8L},
    {0x1.1735ba669f467p-58, 1.94525047743908493145821156329e-9L},
    {0x1.646f678f376e4p-45, 1.98927759977406531802883527181e-7L},
};
const Exact kAngleToChord2[] = {
    {0x0.0p+0, 0L},
    {0x1.12e0be826d695p-30, 1.00000000000000012447984958223e-18L},
    {0x1.ff2e48e8a71dep-8, 0.0000608396915418255481813048361033L},
    {0x1.0000000000000p-1, 0.244834876219254567767436834792L},
    {0x1.921fb54442d18p+0, 1.99999999999999987753532008526L},
    {0x1.8000000000000p+1, 3.97998499320089091454314558946L},
    {0x1.921fb54442d18p+1, 4.00000000000000000000000000000L},
    {0x1.5592f7efb6197p+1, 3.78037020841389756691303260405L},
    {0x1.c3ce63da5546fp-3, 0.0484710487910951551658202902593L},
    {0x1.3894247eb4d4ap+1, 3.53023606920007507742502145383L},
    {0x1.dd61e0385725cp+0, 2.57952444045153889210565908199L},
    {0x1.0878353ec4553p+1, 2.95071816208109237585432180983L},
    {0x1.679b5e3125eeap-3, 0.0307524713442265732298995499395L},
    {0x1.75861b9f40424p-4, 0.00831028295146877099201159224266L},
    {0x1.10a3e82576cf8p+0, 1.03099336043169993328239005068L},
    {0x1.25be41d3abfcbp+1, 3.32488163920936227186274428795L},
    {0x1.4c82a6e2d8d84p+1, 3.71144014704416895789596725201L},
    {0x1.1556351fa19e1p-2, 0.0729052132200922341225088617714L},
    {0x1.12bb0d7ac3919p-1, 0.281079409551575836047394682818L},
};
const Exact kKmToChord2[] = {
    {0x0.0p+0, 0L},
    {0x1.0624dd2f1a9fcp-10, 2.46368279039471669277481766307e-14L},
    {0x1.0000000000000p+0, 2.46368278533661090939541825467e-8L},
    {0x1.4000000000000p+3, 0.00000246368228458368887965346738373L},
    {0x1.9000000000000p+5, 0.0000615917536285956391016920430216L},
    {0x1.f400000000000p+8, 0.00615604630574164864264353250636L},
    {0x1.38bc000000000p+13, 1.99998637638980190691995306125L},
    {0x1.3880000000000p+14, 3.99999439237938066182536889845L},
    {0x1.38bc000000000p+14, 3.99999999981439724517041422824L},
    {0x1.0141b6fadf28fp+13, 1.44986899423567868315273191357L},
    {0x1.34450c033372dp+12, 0.570014093908831846447445941657L},
    {0x1.267f8a059cbe8p+14, 3.96652953297529550432117974257L},
    {0x1.967f394b9d77cp+13, 2.90744855322155611125942473217L},
    {0x1.2080f752289b8p+14, 3.94103746097960673082876841582L},
    {0x1.99d585f6a4b9cp+12, 0.969074890898669928671794122608L},
    {0x1.2facd4cc68211p+14, 3.99172134683977717242419727060L},
    {0x1.6b3107acc8d92p+11, 0.204407008111913655190439165425L},
    {0x1.4503ab8adcbf4p-11, 9.46781995559038630800425103840e-15L},
    {0x1.5185425485ce6p+4, 0.0000109633896795251890780479651250L},
    {0x1.0dd7f8302b7f2p-18, 3.98335817316361033532364912832e-19L},
    {0x1.98e748cbb714bp-20, 5.71671566266518117249299135472e-20L},
    {0x1.651f6e789e7a9p-10, 4.57235615762738097183915736693e-14L},
    {0x1.c95ef8be4affap-14, 2.92955864998082731050521736066e-16L},
    {0x1.e897e064f934ep+7, 0.00147016656417397196661097180312L},
    {0x1.80cd68e710a18p-15, 5.18418501783042294390733450274e-17L},
};
const Exact kChord2ToKm[] = {
    {0x0.0p+0, 0L},
    {0x1.56e1fc2f8f359p-997, 6.37100000000000007982573704106e-147L},
    {0x1.10adcb5247ac1p-34, 0.0501653041654588439821458239394L},
    {0x1.0c6f7a0b5ed8dp-20, 6.37100026545836305325036959363L},
    {0x1.0000000000000p-1, 4604.53989281927085881744211368L},
    {0x1.fffffffbb47d0p+0, 10007.5433948247860975532986797L},
    {0x1.0000000000000p+1, 10007.5433980102863611227504974L},
    {0x1.0000000225c18p+1, 10007.5434011957866246922023152L},
    {0x1.f333333333333p+1, 17991.9093010042892284381164955L},
    {0x1.ffffffffff734p+1, 20015.0804247373862106542809913L},
    {0x1.0000000000000p+2, 20015.0867960205727222455009949L},
    {0x1.05a6130ab2b9ep+1, 10148.1331143486919438603871197L},
    {0x1.58a0528203df8p+1, 12259.7789515741924288064945466L},
    {0x1.124759b5909ecp+1, 10462.8279883066334720906602162L},
    {0x1.59bd339758168p+1, 12289.3239452000448245614435272L},
    {0x1.44006b0f0078ep+0, 7612.17441471793816723506598980L},
    {0x1.3bed1cdcad2cap+1, 11512.8779735180692094375285260L},
    {0x1.df174399d52a4p-1, 6432.62510139093789540554347377L},
    {0x1.09483a21c7637p+1, 10238.5959766048220466262438516L},
    {0x1.32f04b3725f09p+1, 11283.7570933329738754826872625L},
    {0x1.4a11a469ec80ap+1, 11877.6141219690945395350837279L},
    {0x1.3d48fc90ec1d5p+1, 11547.6856253829925692474132392L},
    {0x1.242e0c785b180p+1, 10910.9664578327548597804894153L},
    {0x1.8d48f86708bb9p-38, 0.0151380108041478545219458379309L},
    {0x1.00012417584b6p-27, 0.549928774411140341890672632100L},
    {0x1.765ab43fe3a50p-25, 1.33000752419010867924927079959L},
    {0x1.18563f62e491cp-42, 0.00317905360041770276503060612373L},
    {0x1.4cebdae3d9ec4p-63, 0.00000239228851677511049566718769876L},
    {0x1.345efaafd4f71p-53, 0.0000736765889442853823777396274018L},
    {0x1.1735ba669f467p-58, 0.0000123931907917644100983202658697L},
    {0x1.646f678f376e4p-45, 0.00126736875881605701411617095167L},
};
const Exact kCosineToAngle[] = {
    {0x1.0000000000000p+0, 0e-59L},
    {0x1.ffffffff24190p-1, 0.0000141421362089115636442422133872L},
    {0x1.0000000000000p-1, 1.04719755119659774615421446109L},
    {0x0.0p+0, 1.57079632679489661923132169164L},
    {-0x1.3333333333333p-2, 1.87548898081029411556502503193L},
    {-0x1.0000000000000p+0, 3.14159265358979323846264338328L},
    {0x1.9085e434fd236p-1, 0.672492362864443730743315660612L},
    {-0x1.d66bc4df7bb10p-2, 2.04811081875410845550898651158L},
    {-0x1.4e2756da38070p-3, 1.73469004212556663819220038717L},
    {0x1.3e07f9dea59e2p-1, 0.900581188833604706837073647435L},
    {-0x1.1b16d7e8c2192p-1, 2.15664730879003977657741848914L},
    {0x1.490ee8f6a67c0p-3, 1.40942388326146383212688199275L},
    {-0x1.3e0479a37699cp-2, 1.88658258447827340130637009199L},
    {-0x1.6a34084b7d8e8p-1, 2.35664918480382951661312130904L},
};
const Exact kAngleToCosine[] = {
    {0x0.0p+0, 1.00000000000000000000000000000L},
    {0x1.12e0be826d695p-30, 0.999999999999999999500000000000L},
    {0x1.ff2e48e8a71dep-8, 0.999969580154229087225909347582L},
    {0x1.0000000000000p-1, 0.877582561890372716116281582604L},
    {0x1.921fb54442d18p+0, 6.12323399573676588613032966138e-17L},
    {0x1.8000000000000p+1, -0.989992496600445457271572794731L},
    {0x1.921fb54442d18p+1, -1.00000000000000000000000000000L},
    {0x1.5592f7efb6197p+1, -0.890185104206948783456516302024L},
    {0x1.c3ce63da5546fp-3, 0.975764475604452422417089854870L},
    {0x1.3894247eb4d4ap+1, -0.765118034600037538712510726916L},
    {0x1.dd61e0385725cp+0, -0.289762220225769446052829540993L},
    {0x1.0878353ec4553p+1, -0.475359081040546187927160904915L},
    {0x1.679b5e3125eeap-3, 0.984623764327886713385050225030L},
    {0x1.75861b9f40424p-4, 0.995844858524265614503994203879L},
    {0x1.10a3e82576cf8p+0, 0.484503319784150033358804974661L},
    {0x1.25be41d3abfcbp+1, -0.662440819604681135931372143974L},
    {0x1.4c82a6e2d8d84p+1, -0.855720073522084478947983626004L},
    {0x1.1556351fa19e1p-2, 0.963547393389953882938745569114L},
    {0x1.12bb0d7ac3919p-1, 0.859460295224212081976302658591L},
};
// clang-format on

// Every row's result within `ulps` u (relatively) of the exact value.
template <size_t n>
void expect_within(const Exact (&rows)[n], double (*helper)(double), long double bound) {
    for (const Exact& row : rows) {
        const long double error = std::fabs(static_cast<long double>(helper(row.input)) - row.value);
        EXPECT_LE(error, bound * kU * std::fabs(row.value)) << std::hexfloat << row.input;
    }
}

TEST(Distance, HelpersAreWithinTheirBounds) {
    for (const Exact& row : kChord2ToAngle)  // the branch beyond 2 is bound by 5.3 u
        EXPECT_LE(std::fabs(chord2_to_angle(row.input) - row.value), (row.input > 2 ? 5.3L : 3.3L) * kU * row.value)
            << std::hexfloat << row.input;
    for (const Exact& row : kChord2ToKm)
        EXPECT_LE(std::fabs(chord2_to_km(row.input) - row.value), (row.input > 2 ? 6.3L : 4.3L) * kU * row.value)
            << std::hexfloat << row.input;
    expect_within(kAngleToChord2, angle_to_chord2, 5);
    expect_within(kKmToChord2, km_to_chord2, 7);
    expect_within(kCosineToAngle, cosine_to_angle, 2);
    expect_within(kAngleToCosine, angle_to_cosine, 2);
}

TEST(Distance, EndsOfTheRange) {
    EXPECT_EQ(chord2_to_angle(4.000000000000001), kPi);  // decoded vectors a little off unit length
    EXPECT_EQ(chord2_to_angle(INFINITY), kPi);
    EXPECT_TRUE(std::isnan(chord2_to_angle(-1e-300)));
    EXPECT_TRUE(std::isnan(chord2_to_angle(NAN)));
    EXPECT_EQ(angle_to_chord2(kPi), 4.0);
    EXPECT_EQ(km_to_chord2(40000), 4.0);  // beyond half the circumference: as far as directions go
    EXPECT_EQ(km_to_chord2(INFINITY), 4.0);
    EXPECT_TRUE(std::isnan(angle_to_chord2(-1e-300)));
    EXPECT_TRUE(std::isnan(km_to_chord2(NAN)));
    EXPECT_EQ(cosine_to_angle(1.0000000000000002), 0.0);  // a cosine rounded past 1
    EXPECT_EQ(cosine_to_angle(-1.0000000000000002), kPi);
}

// The limit against the exact squared chord of km: above it by the score's
// own error (1 + 16.3 u) and floor, and not by much more.
TEST(Distance, WithinLimitLiesJustAboveTheChordOfKm) {
    for (const Exact& row : kKmToChord2) {
        const long double limit = within_chord2(row.input);
        EXPECT_GE(limit, row.value * (1 + 16.3L * kU) + 1.61e-28L) << row.input;
        EXPECT_LE(limit, (row.value + 0x1p-92L) * (1 + 48.3L * kU)) << row.input;
    }
}

// The exact distance in km between the directions of two vectors, to long
// double's precision (which is far past a double's): from the squared chord
// between the vectors, |p - q|^2 = (|p| - |q|)^2 + |p| |q| C, where C is the
// squared chord between their directions. The differences of doubles this
// near are exact in long double.
long double exact_km(UnitVector p, UnitVector q) {
    const long double d[] = {static_cast<long double>(p.x) - q.x, static_cast<long double>(p.y) - q.y,
                             static_cast<long double>(p.z) - q.z};
    const long double pp =
        static_cast<long double>(p.x) * p.x + static_cast<long double>(p.y) * p.y + static_cast<long double>(p.z) * p.z;
    const long double qq =
        static_cast<long double>(q.x) * q.x + static_cast<long double>(q.y) * q.y + static_cast<long double>(q.z) * q.z;
    const long double lengths = std::sqrt(pp) - std::sqrt(qq);
    const long double chord2 = (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] - lengths * lengths) / std::sqrt(pp * qq);
    return 2 * std::asin(std::sqrt(chord2) / 2) * kEarthRadiusKm;
}

// Locations at a known exact distance: within the least double of km at or
// above it, and not within a hair less (a relative 2e-14 and 0.2
// micrometres less, up to 10000 km).
TEST(Distance, WithinLimitFindsEveryLocationAtItsDistance) {
    std::mt19937_64 random(28);
    std::uniform_real_distribution<double> unit(-1, 1), spread(-7, 0.2);
    int missed = 0, too_far = 0;
    for (int i = 0; i < 200000; ++i) {
        const double lat = std::asin(unit(random)) * kDegreesPerRadian, lon = 180 * unit(random);
        const double step = std::pow(10.0, spread(random)) * 90;  // 9e-6 degrees (1 m) to 143 degrees
        const CdcPair a = encode_degrees(lat, lon);
        const CdcPair b = encode_degrees(std::clamp(lat + step * unit(random), -90.0, 90.0), lon + step * unit(random));
        const long double exact = exact_km(decode_cdc(a), decode_cdc(b));
        double km = static_cast<double>(exact);
        if (km < exact) km = std::nextafter(km, INFINITY);
        const double score = CdcMethod::score(a, arrange_point(decode_cdc(b)));
        missed += score > within_chord2(km);
        const double nearer_km = static_cast<double>(exact * (1 - 2e-14L) - 2e-10L);
        too_far += exact < 10000 && nearer_km > 0 && score <= within_chord2(nearer_km);
    }
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(too_far, 0);
}

}  // namespace
