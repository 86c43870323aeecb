#include "nearest_csv/nearest_rows.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

#include "geo/distance.h"
#include "method/result_sets.h"

namespace spherebench {

namespace {

void append_integer(int64_t value, std::string& out) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void append_row(int64_t fix, int rank, const Nearest& answer, std::string& out) {
    append_integer(fix, out);
    out += ',';
    append_integer(rank, out);
    out += ',';
    append_integer(answer.index, out);
    out += ',';
    char text[64];
    out.append(text,
               std::to_chars(text, text + sizeof text, chord2_to_km(answer.score), std::chars_format::fixed, 6).ptr);
    out += '\n';
}

}  // namespace

NearestAsk ask_of(const NearestQuestion& question) {
    const std::optional<double> km = question.within_km ? question.within_km : question.max_km;
    const double limit = km ? within_chord2(*km) : std::numeric_limits<double>::infinity();
    // --within-km alone asks for every location within; otherwise one
    // unless --k says more.
    const int k = question.k ? *question.k : (question.within_km ? 0 : 1);
    return {k, limit};
}

void append_nearest_rows(const CdcIndex& index, const NearestAsk& ask, int64_t fix, CdcPair pair, std::string& out) {
    const CdcPoint point = arrange_point(decode_cdc(pair));
    if (ask.k == 1) {
        const Nearest nearest = index.nearest(point);
        if (nearest.index != kNoWinner && nearest.score <= ask.limit) append_row(fix, 1, nearest, out);
        return;
    }
    // No more than the table holds: a result set keeps room for k.
    const std::vector<Nearest> found =
        ask.k == 0 ? nearest_within(index, point, ask.limit) : nearest_k(index, point, std::min(ask.k, index.size()));
    for (size_t j = 0; j < found.size() && found[j].score <= ask.limit; ++j)
        append_row(fix, static_cast<int>(j) + 1, found[j], out);
}

}  // namespace spherebench
