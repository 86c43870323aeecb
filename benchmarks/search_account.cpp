// search-account: where an index's time goes. Builds the three indexes and,
// where this build has it, nanoflann's k-d tree over one table, and asks the
// chosen one 1000 queries, once each, in ask_all, printing per query what the
// index's walk did (search/walk_counts.h: this program compiles the indexes
// with their counts; no other build has them). Under callgrind with its cache
// simulation, ask_all alone also gives the instructions and the data-cache
// misses per query (benchmarks/search_account.sh).
//
//   search-account INDEX TABLE COUNT QUERIES
//       INDEX    CdcIndex, LatLongIndex, S2PointIndex or NanoflannKdTree
//       TABLE    airports (data/airports.csv; COUNT is ignored) or a kind
//                of random/table_kinds.h: uniform, towns, city, line, repeated
//       QUERIES  path (Bombay to Los Angeles), uniform, or near the table
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "anchors/anchor.h"
#include "base/whole_file.h"
#include "geo/cdc_encoder.h"
#include "input/input_files.h"
#include "method/cdc_method.h"
#include "random/random_tables.h"
#include "random/table_kinds.h"
#include "search/cdc_index.h"
#include "search/latlong_index.h"
#include "search/point_index.h"
#include "search/walk_counts.h"

using namespace spherebench;

namespace {

constexpr int kQueries = 1000;

// The table as the indexes take it: pairs, their fixed-point positions (as
// the loader makes them) and their decoded vectors.
struct Table {
    std::vector<CdcPair> pairs;
    std::vector<FixedLatLong> fixed;
    std::vector<double> xs, ys, zs;
    explicit Table(const std::vector<UnitVector>& directions) {
        for (const UnitVector& d : directions) {
            const CdcPair pair = encode_cdc(d);
            const UnitVector v = decode_cdc(pair);
            pairs.push_back(pair), fixed.push_back(cdc_to_fixed(pair));
            xs.push_back(v.x), ys.push_back(v.y), zs.push_back(v.z);
        }
    }
    int count() const { return static_cast<int>(pairs.size()); }
};

std::optional<std::vector<UnitVector>> airports() {
    std::string csv;
    std::vector<AirportSource> sources;
    if (read_whole_file(SPHEREBENCH_DATA_DIR "/airports.csv", csv) || read_airport_list(csv, sources))
        return std::nullopt;
    std::vector<UnitVector> directions;
    for (const AirportSource& s : sources) directions.push_back(vector_from_degrees(s.latitude, s.longitude));
    return directions;
}

std::vector<UnitVector> queries(const std::string& kind, TableKind table) {
    if (kind == "path") return flight_path_directions(kQueries);
    if (kind == "uniform") return random_directions(kFlightLineSeed, kQueries);
    return near_query_directions(table, kQueries, kAirportSeed);
}

// Every query asked once; the checksum keeps the answers alive.
template <typename Search, typename Query>
__attribute__((noinline)) int64_t ask_all(const Search& search, const std::vector<Query>& asked) {
    int64_t checksum = 0;
    for (const Query& query : asked) checksum += search.nearest(query).index;
    return checksum;
}

template <typename Search, typename Query>
void account(const char* name, const Search& search, const std::vector<Query>& asked, int count) {
    walk_counts = WalkCounts{};
    const int64_t checksum = ask_all(search, asked);
    const double n = static_cast<double>(asked.size());
    const WalkCounts& c = walk_counts;
    std::printf(
        "%s over %d: per query %.2f faces, %.2f nodes, %.2f leaves, %.2f entries, %.2f scored; %.2f bytes a "
        "location (checksum %lld)\n",
        name, count, c.faces / n, c.nodes / n, c.leaves / n, c.entries / n, c.scored / n,
        static_cast<double>(search.bytes()) / count, static_cast<long long>(checksum));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: search-account INDEX TABLE COUNT QUERIES\n");
        return 2;
    }
    const std::string index = argv[1], table_name = argv[2], query_kind = argv[4];
    const bool bundled = table_name == "airports";
    const std::optional<TableKind> kind = bundled ? TableKind::kUniform : find_table_kind(table_name);
    std::optional<std::vector<UnitVector>> directions =
        bundled ? airports() : std::optional(table_directions(*kind, std::atoi(argv[3]), kAirportSeed));
    if (!kind || !directions || directions->empty()) {
        std::fprintf(stderr, "search-account: no table %s of %s\n", argv[3], argv[2]);
        return 1;
    }
    const Table table(*directions);
    std::vector<UnitVector> vectors;
    std::vector<FixedLatLong> fixed;
    std::vector<CdcPoint> points;
    for (const UnitVector& d : queries(query_kind, *kind)) {
        const CdcPair pair = encode_cdc(d);
        vectors.push_back(decode_cdc(pair)), fixed.push_back(cdc_to_fixed(pair));
        points.push_back(arrange_point(decode_cdc(pair)));
    }
    if (index == "CdcIndex") {
        account("CdcIndex", CdcIndex(table.pairs.data(), table.count()), points, table.count());
    } else if (index == "LatLongIndex") {
        account("LatLongIndex", LatLongIndex(table.fixed.data(), table.count()), fixed, table.count());
    } else if (index == "S2PointIndex") {
        const ComponentArrays<double> points3{table.xs.data(), table.ys.data(), table.zs.data()};
        account("S2PointIndex", S2PointIndex(points3, table.count()), vectors, table.count());
#ifdef SPHEREBENCH_HAVE_NANOFLANN
    } else if (index == "NanoflannKdTree") {
        account("NanoflannKdTree", NanoflannKdTree(table.pairs.data(), table.count()), vectors, table.count());
#endif
    } else {
        std::fprintf(stderr, "search-account: no index %s in this build\n", argv[1]);
        return 1;
    }
    return 0;
}
