// Feeds arbitrary bytes to the openers of saved indexes, as a whole file.
//
// The first byte chooses whether the header's checksum is made again for
// the rest (so that the checks behind it, of the structure's values and
// arrays, meet made-up files too); the rest is the file. Each index type
// opens it or refuses it with one line naming it; an index opened is asked
// the nearest, the 3 nearest and those within a limit at a few points, and
// every answer must be one of its locations (or none). Besides running
// clean under AddressSanitizer and UndefinedBehaviorSanitizer, any broken
// rule aborts, which the fuzzer reports with the input that caused it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "base/checksum.h"
#include "geo/cdc_encoder.h"
#include "method/result_sets.h"
#include "search/cdc_index.h"
#include "search/latlong_index.h"
#include "search/point_index.h"

using namespace spherebench;

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "saved_index_fuzz: %s\n", what);
        std::abort();
    }
}

void check_answers(const std::vector<Nearest>& found, int size) {
    for (const Nearest& answer : found) require(answer.index >= 0 && answer.index < size, "an answer out of range");
}

// The nearest, the 3 nearest and those within the 3rd's score.
template <typename Index, typename Query>
void ask(const Index& index, const Query& query) {
    const Nearest nearest = index.nearest(query);
    require(nearest.index == kNoWinner || (nearest.index >= 0 && nearest.index < index.size()),
            "the nearest out of range");
    const std::vector<Nearest> k = nearest_k(index, query, 3);
    check_answers(k, index.size());
    const double limit = k.empty() ? std::numeric_limits<double>::infinity() : k.back().score;
    check_answers(nearest_within(index, query, limit), index.size());
    if (nearest.index != kNoWinner) index.score_at(query, nearest.index);
}

template <typename Index, typename MakeQuery>
void open_and_ask(const std::string& file, MakeQuery make_query) {
    const Opened<Index> opened = Index::open_bytes(copied_bytes(file), "fuzz.sbi");
    if (!opened.index) {
        require(opened.failure.rfind("can't open fuzz.sbi: ", 0) == 0, "a refusal that does not name the file");
        require(opened.failure.find('\n') == std::string::npos, "a refusal of more than one line");
        return;
    }
    for (const UnitVector v : {UnitVector{1, 0, 0}, UnitVector{0, -0.6, 0.8}, UnitVector{0.48, 0.6, -0.64}})
        ask(*opened.index, make_query(v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) file = with_checksum(file);
    open_and_ask<CdcIndex>(file, [](UnitVector v) { return arrange_point(decode_cdc(encode_cdc(v))); });
    open_and_ask<LatLongIndex>(file, [](UnitVector v) { return cdc_to_fixed(encode_cdc(v)); });
    open_and_ask<S2PointIndex>(file, [](UnitVector v) { return v; });
    return 0;
}
