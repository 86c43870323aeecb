// Differential fuzzing of the exact searches: a table and a few points made
// from arbitrary bytes by the recipes of search_recipes.h, searched on one
// Highway target the input picks. Each search's nearest must be its
// reference's (the catalogue's reference_search), winner and score bit for
// bit; its k nearest and those within a limit must be the reference's
// scores of every location ranked apart from the result sets
// (tests/reference_scores.h), in the same order, bit for bit; and the
// direction-cosine brute force must find the same in every arrangement of
// its sum. Any difference aborts, which the fuzzer reports with the input
// that caused it.
//
// To try many inputs a second, the work an input makes is bounded: a table
// of up to 64 locations is searched by every exact search, one of up to
// 3000 by those of one form the input picks, at up to four points; one of
// up to 65536 (only where the input asks for one) by one index or pruned
// scan, at one point. On one core under AddressSanitizer and
// UndefinedBehaviorSanitizer, a 60 s run from fuzz/search_corpus tries
// about 160 inputs a second (250 from the hand-made seeds alone), where
// asking every question of every search on every target tried 7
// (docs/ARCHITECTURE.md, "Testing").
#include <hwy/targets.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "forms/representations.h"
#include "method/cdc_method.h"
#include "method/nearest.h"
#include "query/search.h"
#include "reference_scores.h"
#include "search_recipes.h"

using namespace spherebench;
using namespace spherebench::fuzz;

namespace {

void require(bool condition, const std::string& what) {
    if (!condition) {
        std::fprintf(stderr, "search_fuzz: %s\n", what.c_str());
        std::abort();
    }
}

float to_float(double x) {
    // Beyond the floats the cast is undefined; rounding gives an infinity.
    if (std::fabs(x) > std::numeric_limits<float>::max()) return x > 0 ? INFINITY : -INFINITY;
    return static_cast<float>(x);
}

// The locations in a form: their pairs, their lat/long words, their
// components as they are (in doubles or floats), or the cells of their
// decoded pairs.
FormTable table_of(Form form, const Locations& locations) {
    FormTable t = empty_form_table(form, locations.size());
    for (int i = 0; i < locations.size(); ++i) {
        const UnitVector v = locations.vectors[i];
        if (form == Form::kCdcPair)
            t.cdc[i] = locations.pairs[i];
        else if (form == Form::kFixedLatLong)
            t.fixed[i] = locations.fixed[i];
        else if (form == Form::kS2Point)
            t.xs[i] = v.x, t.ys[i] = v.y, t.zs[i] = v.z;
        else if (form == Form::kFloatVector)
            t.fxs[i] = to_float(v.x), t.fys[i] = to_float(v.y), t.fzs[i] = to_float(v.z);
        else
            set_location(t, i, decode_cdc(locations.pairs[i]));
    }
    return t;
}

// The brute force in every arrangement against CdcBrute.
void check_arrangements(const std::vector<CdcPair>& table, CdcPair point, int i) {
    const int n = static_cast<int>(table.size());
    const CdcPoint arranged = arrange_point(decode_cdc(point));
    const Nearest expected = find_nearest<CdcMethod>(table.data(), n, arranged);
    for (CdcArrangement arrangement :
         {CdcArrangement::kTwoSlotArray, CdcArrangement::kSelectBits, CdcArrangement::kConditional}) {
        const Nearest found = with_cdc_method(
            arrangement, [&](auto method) { return find_nearest<decltype(method)>(table.data(), n, arranged); });
        require(same_answer(found, expected), "an arrangement differs from CdcBrute at point " + std::to_string(i));
    }
}

// The searches to check: every exact one over a small table; over a larger
// one those of one form, and over a large one one index or pruned scan (by
// `pick`), beside the references they need.
std::vector<SearchId> searches_checked(int table_size, uint8_t pick) {
    const Form form = kForms[pick % std::size(kForms)];
    std::vector<SearchId> checked;
    for (const SearchFacts& facts : kSearchCatalogue) {
        if (!facts.exact || !search_built(facts.id)) continue;
        if (table_size > kMostMedium && facts.kind != SearchKind::kIndex && facts.kind != SearchKind::kPruned) continue;
        if (table_size > kMostSmall && table_size <= kMostMedium && facts.form != form) continue;
        checked.push_back(facts.id);
    }
    if (table_size > kMostMedium && !checked.empty()) checked = {checked[pick % checked.size()]};
    return checked;
}

// The table and the points in every form asked, the searches built over the
// table, and each reference's ranking at each point, made once.
class Fuzzed {
  public:
    Fuzzed(const Locations& table, const Locations& points) : table_(table), points_(points) {}

    const FormTable& table(Form form) { return made(tables_, form, table_); }
    const FormTable& points(Form form) { return made(queries_, form, points_); }
    const Search& search(SearchId id) {
        std::unique_ptr<Search>& search = searches_[id];
        if (!search) search = make_search(id, table(table_form(id)));
        return *search;
    }
    const std::vector<Nearest>& ranked(SearchId reference, int i) {
        const auto key = std::make_pair(reference, i);
        if (!rankings_.count(key))
            rankings_[key] =
                reference::ranked_by(reference, table(table_form(reference)), points(table_form(reference)), i);
        return rankings_[key];
    }

  private:
    static const FormTable& made(std::map<Form, FormTable>& tables, Form form, const Locations& locations) {
        auto at = tables.find(form);
        if (at == tables.end()) at = tables.emplace(form, table_of(form, locations)).first;
        return at->second;
    }

    const Locations& table_;
    const Locations& points_;
    std::map<Form, FormTable> tables_, queries_;
    std::map<SearchId, std::unique_ptr<Search>> searches_;
    std::map<std::pair<SearchId, int>, std::vector<Nearest>> rankings_;
};

void check_search(Fuzzed& fuzzed, SearchId id, const std::vector<Question>& questions, const char* target) {
    const SearchId reference_id = reference_search(id);
    const Search& search = fuzzed.search(id);
    const Search& reference = fuzzed.search(reference_id);
    const FormTable& queries = fuzzed.points(table_form(id));
    for (int i = 0; i < queries.count; ++i) {
        const std::vector<Nearest>& ranked = fuzzed.ranked(reference_id, i);
        const double limit = limit_of(questions[i], ranked);
        const std::string differs =
            reference::first_difference(search, reference, ranked, queries, i, {questions[i].k}, {limit});
        require(differs.empty(), std::string(search_name(id)) + " on " + target + " differs from " +
                                     search_name(reference_id) + " in " + differs + " at point " + std::to_string(i));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in{data, size};
    const Locations table = make_table(in);
    const bool large = table.size() > kMostMedium;
    const uint8_t pick = in.byte();
    const Locations points = make_points(in, table, large ? 1 : kMostPoints);
    const std::vector<Question> questions = make_questions(in, points.size(), table.size());
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    const int64_t target = targets[pick % targets.size()];
    hwy::SetSupportedTargetsForTest(target);
    if (!large)
        for (int i = 0; i < points.size(); ++i) check_arrangements(table.pairs, points.pairs[i], i);
    Fuzzed fuzzed(table, points);
    for (const SearchId id : searches_checked(table.size(), pick / 16))
        check_search(fuzzed, id, questions, hwy::TargetName(target));
    hwy::SetSupportedTargetsForTest(0);
    return 0;
}
