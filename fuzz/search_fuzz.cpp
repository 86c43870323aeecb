// Differential fuzzing of the exact searches: a table of airports and a few
// points made from arbitrary bytes, searched by every exact search this build
// has, each against the brute force it must match (the catalogue's
// reference_search), with the same winner and the same score bit for bit;
// the brute force in every arrangement of its sum; and the vector searches
// on every Highway target this CPU has. Any difference aborts, which the
// fuzzer reports with the input that caused it.
//
// The bytes are read as recipes, so that short inputs reach the cases where
// exactness is hard: an airport is raw bits (every flag case, the unread
// axis Y bit beside axis Z, fields at their extremes), a duplicate or the
// antipode of an earlier one, a pair on the edge of a grid of its stored
// components, an axis or a direction with a -0.0 component, or a random
// direction; a point is raw bits, an airport itself (a tie of every
// duplicate), its antipode, or the midpoint of two airports. The first two
// bytes give the count, up to 5000; what the recipes leave is filled with
// random directions seeded by the input.
#include <hwy/targets.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/coords.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "query/search.h"
#include "random/random_tables.h"
#include "vector/cdc_block_search.h"

using namespace spherebench;

namespace {

constexpr int kMostAirports = 5000;
constexpr int kMostPoints = 8;

void require(bool condition, const std::string& what) {
    if (!condition) {
        std::fprintf(stderr, "search_fuzz: %s\n", what.c_str());
        std::abort();
    }
}

struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = w << 8 | byte();
        return w;
    }
};

CdcPair raw_pair(Bytes& in) { return {static_cast<int32_t>(in.word()), static_cast<int32_t>(in.word())}; }

CdcPair antipode(CdcPair pair) {
    const UnitVector v = decode_cdc(pair);
    return encode_cdc({-v.x, -v.y, -v.z});
}

// A pair whose stored fields sit on a grid line (their low bits clear, or
// all set, just below the next line), with its flag bits from the byte.
CdcPair grid_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const int shift = 10 + shape % 20;
    const uint32_t below = (shape & 0x20) ? (1u << shift) - 1 : 0;
    const auto field = [&](uint8_t line) { return ((static_cast<uint32_t>(line) << shift) | below) & kCdcFieldMask; };
    const uint32_t first = field(in.byte()) | ((shape & 0x40) ? kCdcNegativeMajorBit : 0);
    const uint32_t flags = static_cast<uint32_t>(in.byte()) << 30;
    return {static_cast<int32_t>(first), static_cast<int32_t>(field(in.byte()) | flags)};
}

// An axis, or a direction in a coordinate plane, with a zero of either sign.
CdcPair axis_pair(Bytes& in) {
    const uint8_t shape = in.byte();
    const double zero = (shape & 1) ? -0.0 : 0.0, one = (shape & 2) ? -1.0 : 1.0;
    const double half = (shape & 4) ? -0.7071067811865476 : 0.7071067811865476;
    const UnitVector choices[] = {{one, zero, zero},  {zero, one, zero},  {zero, zero, one},
                                  {half, half, zero}, {zero, half, half}, {half, zero, half}};
    return encode_cdc(choices[(shape >> 3) % 6]);
}

std::vector<CdcPair> make_airports(Bytes& in) {
    const int count = static_cast<int>((static_cast<uint32_t>(in.byte()) << 8 | in.byte()) % (kMostAirports + 1));
    std::vector<CdcPair> airports;
    uint64_t state = kAirportSeed ^ in.size;
    while (static_cast<int>(airports.size()) < count) {
        const uint8_t recipe = in.empty() ? 255 : in.byte();
        const size_t earlier = airports.empty() ? 0 : in.byte() % airports.size();
        switch (recipe % 8) {
            case 0:
            case 1:
                airports.push_back(raw_pair(in));
                break;
            case 2:
                airports.push_back(airports.empty() ? raw_pair(in) : airports[earlier]);
                break;
            case 3:
                airports.push_back(airports.empty() ? raw_pair(in) : antipode(airports[earlier]));
                break;
            case 4:
                airports.push_back(grid_pair(in));
                break;
            case 5:
                airports.push_back(axis_pair(in));
                break;
            default:
                airports.push_back(encode_cdc(random_direction(state)));
        }
    }
    return airports;
}

std::vector<CdcPair> make_points(Bytes& in, const std::vector<CdcPair>& airports) {
    std::vector<CdcPair> points;
    const int count = 1 + in.byte() % kMostPoints;
    for (int i = 0; i < count; ++i) {
        const uint8_t recipe = in.byte();
        const size_t a = airports.empty() ? 0 : in.byte() % airports.size();
        const size_t b = airports.empty() ? 0 : in.byte() % airports.size();
        if (airports.empty() || recipe % 4 == 0) {
            points.push_back(raw_pair(in));
        } else if (recipe % 4 == 1) {
            points.push_back(airports[a]);
        } else if (recipe % 4 == 2) {
            points.push_back(antipode(airports[a]));
        } else {
            const UnitVector u = decode_cdc(airports[a]), v = decode_cdc(airports[b]);
            const UnitVector m{u.x + v.x, u.y + v.y, u.z + v.z};
            const double norm = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
            points.push_back(norm > 1e-3 ? encode_cdc({m.x / norm, m.y / norm, m.z / norm}) : airports[a]);
        }
    }
    return points;
}

// The pairs in a search's form, as the loader and the suite make them from
// a pair: the fixed-point angles of the decoded pair, its decoded doubles.
FormTable table_of(Form form, const std::vector<CdcPair>& pairs) {
    const int count = static_cast<int>(pairs.size());
    FormTable t = empty_form_table(form, count);
    for (int i = 0; i < count; ++i) {
        const UnitVector v = decode_cdc(pairs[i]);
        if (form == Form::kCdcPair) t.cdc[i] = pairs[i];
        if (form == Form::kFixedLatLong) t.fixed[i] = cdc_to_fixed(pairs[i]);
        if (form == Form::kS2Point) t.xs[i] = v.x, t.ys[i] = v.y, t.zs[i] = v.z;
    }
    return t;
}

std::string differ(const char* what, const char* against, int point, Nearest found, Nearest expected) {
    char text[200];
    std::snprintf(text, sizeof text, "%s differs from %s at point %d: %d (%a), expected %d (%a)", what, against, point,
                  found.airport, found.score, expected.airport, expected.score);
    return text;
}

// The brute force in every arrangement, and the block vector search of the
// grouped pairs, against CdcBrute.
void check_pairs(const std::vector<CdcPair>& airports, const CdcCaseGroups& groups, CdcPair point, int i) {
    const int n = static_cast<int>(airports.size());
    const CdcPoint arranged = arrange_point(decode_cdc(point));
    const Nearest expected = find_nearest<CdcMethod>(airports.data(), n, arranged);
    for (CdcArrangement arrangement :
         {CdcArrangement::kTwoSlotArray, CdcArrangement::kSelectBits, CdcArrangement::kConditional}) {
        const Nearest found = with_cdc_method(
            arrangement, [&](auto method) { return find_nearest<decltype(method)>(airports.data(), n, arranged); });
        require(same_answer(found, expected), differ("an arrangement", "CdcBrute", i, found, expected));
    }
    const Nearest blocks = cdc_block_find_nearest(groups, point);
    require(same_answer(blocks, expected), differ("CdcBruteVector", "CdcBrute", i, blocks, expected));
}

struct Prepared {
    std::unique_ptr<FormTable> tables[std::size(kForms)];
    std::vector<std::unique_ptr<Search>> searches;  // by SearchId
};

// Every exact search this build has, and each one's brute force, prepared
// over the fuzzer's table in its form.
Prepared prepare_all(const std::vector<CdcPair>& airports) {
    Prepared p;
    p.searches.resize(std::size(kSearchCatalogue));
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        std::unique_ptr<FormTable>& table = p.tables[static_cast<int>(facts.form)];
        if (facts.form != Form::kCdcPair && facts.form != Form::kFixedLatLong && facts.form != Form::kS2Point)
            continue;  // S2CellId and floats: a brute force alone, nothing to match
        if (!table) table = std::make_unique<FormTable>(table_of(facts.form, airports));
        p.searches[static_cast<int>(facts.id)] = make_search(facts.id, *table);
    }
    return p;
}

// Every prepared search against its brute force, on the target now chosen:
// on the first, all of them; on the others, those where either is a vector
// search.
void check_searches(const Prepared& p, const std::vector<CdcPair>& points, const char* target, bool first) {
    for (const auto& search : p.searches) {
        if (!search) continue;
        const Search& reference = *p.searches[static_cast<int>(reference_search(search->id()))];
        if (&reference == search.get()) continue;
        if (!first && !search_facts(search->id()).vector && !search_facts(reference.id()).vector) continue;
        const FormTable queries = table_of(table_form(search->id()), points);
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            const Nearest found = search->nearest(queries, i), expected = reference.nearest(queries, i);
            const std::string what = std::string(search_name(search->id())) + " on " + target;
            require(same_answer(found, expected),
                    differ(what.c_str(), search_name(reference.id()), i, found, expected));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    const std::vector<CdcPair> airports = make_airports(in);
    const std::vector<CdcPair> points = make_points(in, airports);
    const CdcCaseGroups groups = group_by_flag_case(airports.data(), static_cast<int>(airports.size()));
    const Prepared prepared = prepare_all(airports);
    bool first = true;
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (int i = 0; i < static_cast<int>(points.size()); ++i) check_pairs(airports, groups, points[i], i);
        check_searches(prepared, points, hwy::TargetName(target), first);
        first = false;
    }
    hwy::SetSupportedTargetsForTest(0);
    return 0;
}
