#include "scale/scale_search.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/threads.h"
#include "vector/component_vector_search.h"

namespace spherebench {

namespace {

// The direction-cosine vector searches read a copy of their pairs grouped by
// flag case.
bool reads_groups(SearchId search) {
    return search_facts(search).vector && search_facts(search).form == Form::kCdcPair;
}

TableParts parts_from(SearchId search, const FormTable& table, std::vector<int> begin) {
    TableParts parts{std::move(begin), {}};
    const FormView whole = view_of(table);
    for (int k = 0; k < parts.count(); ++k)
        parts.searches.push_back(
            make_search(search, part_of(whole, parts.begin[k], parts.begin[k + 1] - parts.begin[k])));
    return parts;
}

}  // namespace

TableParts split_table(SearchId search, const FormTable& table, int parts) {
    parts = std::max(1, parts);
    std::vector<int> begin;
    for (int k = 0; k <= parts; ++k) begin.push_back(part_start(table.count, k, parts));
    return parts_from(search, table, std::move(begin));
}

TableParts tile_table(SearchId search, const FormTable& table, int tile) {
    tile = std::max(1, tile);  // a tile of none would never advance
    std::vector<int> begin = {0};
    for (int end = tile; end < table.count; end += tile) begin.push_back(end);
    begin.push_back(table.count);  // an empty table is one empty tile
    return parts_from(search, table, std::move(begin));
}

int search_bytes_per_location(SearchId search) {
    const int grouped = reads_groups(search) ? sizeof(CdcPair) + sizeof(double) : 0;
    return bytes_per_location(search_facts(search).form) + grouped;
}

std::string table_refusal(Form form, int bytes_per_location, int count, long long available) {
    const long long needed = static_cast<long long>(count) * bytes_per_location;
    if (available < 0 || needed <= available) return "";
    return "refused: a table of " + std::to_string(count) + " " + form_name(form) + " locations needs " +
           std::to_string((needed + (1 << 20) - 1) >> 20) + " MiB and the machine has " +
           std::to_string(available >> 20) + " MiB available (MemAvailable)";
}

std::string table_refusal(SearchId search, int count, long long available) {
    return table_refusal(search_facts(search).form, search_bytes_per_location(search), count, available);
}

Nearest search_part(SearchId search, const FormTable& table, const TableParts& parts, int k, const FormTable& queries,
                    int q) {
    Nearest found = parts.searches[k]->nearest(queries, q);
    if (found.airport != kNoWinner) found.airport += parts.begin[k];
    return found;
}

Nearest search_whole(SearchId search, const FormTable& table, const FormTable& queries, int q) {
    return make_search(search, table)->nearest(queries, q);
}

void search_each(SearchId search, const FormTable& table, const TableParts& parts, const FormTable& queries,
                 int query_count, Nearest* answers) {
    const ScoreOrder order = score_order(table.form);
    const int threads = parts.count();
    const size_t stride = static_cast<size_t>(query_count);
    std::vector<Nearest> found(static_cast<size_t>(threads) * stride);
    run_on_threads(threads, [&](int k) {
        for (int q = 0; q < query_count; ++q) found[k * stride + q] = search_part(search, table, parts, k, queries, q);
    });
    for (int q = 0; q < query_count; ++q) {
        answers[q] = found[q];
        for (int k = 1; k < threads; ++k) answers[q] = nearer_of(answers[q], found[k * stride + q], order);
    }
}

void search_blocked(SearchId search, const FormTable& table, const TableParts& tiles, const FormTable& queries,
                    int query_count, int threads, Nearest* answers) {
    const ScoreOrder order = score_order(table.form);
    threads = thread_count(threads);
    run_on_threads(threads, [&](int k) {
        const int first = part_start(query_count, k, threads), last = part_start(query_count, k + 1, threads);
        for (int q = first; q < last; ++q) answers[q] = search_part(search, table, tiles, 0, queries, q);
        for (int tile = 1; tile < tiles.count(); ++tile) {
            for (int q = first; q < last; ++q)
                answers[q] = nearer_of(answers[q], search_part(search, table, tiles, tile, queries, q), order);
        }
    });
}

double sum_on_threads(const double* values, long long count, int passes, int threads) {
    threads = thread_count(threads);
    std::vector<double> sums(static_cast<size_t>(threads));
    run_on_threads(threads, [&](int k) {
        const long long begin = count * k / threads, end = count * (k + 1) / threads;
        for (int pass = 0; pass < passes; ++pass) sums[k] += vector_sum_of_doubles(values + begin, end - begin);
    });
    double total = 0;
    for (double s : sums) total += s;
    return total;
}

}  // namespace spherebench
