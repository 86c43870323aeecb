// The nearest tool's work: CSV files of positions read as people write
// them, each fault named by file, line and column; and the rows of answers
// those of the brute force, for each kind of question.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geo/cdc_encoder.h"
#include "geo/distance.h"
#include "input/input_files.h"
#include "method/brute_force.h"
#include "method/result_sets.h"
#include "nearest_csv/nearest_rows.h"
#include "nearest_csv/position_csv.h"
#include "random/table_kinds.h"

using namespace spherebench;

namespace {

std::vector<CdcPair> read(const std::string& csv) {
    std::vector<CdcPair> pairs;
    const std::optional<std::string> failure = read_position_csv(csv, "f.csv", pairs);
    EXPECT_EQ(failure, std::nullopt);
    return pairs;
}

std::string fault(const std::string& csv) {
    std::vector<CdcPair> pairs;
    return read_position_csv(csv, "f.csv", pairs).value_or("read");
}

bool same_pairs(const std::vector<CdcPair>& a, const std::vector<CdcPair>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].first != b[i].first || a[i].second != b[i].second) return false;
    return true;
}

TEST(PositionCsv, ReadsTheWaysPeopleWriteThem) {
    const std::vector<CdcPair> expected{encode_degrees(48.8566, 2.3522), encode_degrees(-33.9, 151.2)};
    for (const std::string csv : {
             "48.8566,2.3522\n-33.9,151.2\n",                               // no header, LF
             "48.8566,2.3522\r\n-33.9,151.2",                               // CR LF, no last line end
             "\xEF\xBB\xBFlat,lon\n\n48.8566 , 2.3522\n  \n-33.9,151.2\n",  // mark, blank lines, spaces
             "Name,LONG,Latitude\n\"Paris, \"\"FR\"\"\",2.3522,48.8566\nSydney,151.2,\"-33.9\"\n",  // any order
             "id,lng,latitude_deg,x\n1,2.3522,48.8566,\n2,151.2,-33.9,\"\"\n",
         })
        EXPECT_TRUE(same_pairs(read(csv), expected)) << csv;
    EXPECT_TRUE(read("").empty());
    EXPECT_TRUE(read("lat,lon\n").empty());
}

TEST(PositionCsv, FaultsNamedByFileLineAndColumn) {
    EXPECT_EQ(fault("lat,lon\n1,2\n\n91,3\n"), "f.csv:4:1: latitude 91 is outside [-90, 90]");
    EXPECT_EQ(fault("1,2\n3, -180.5\n"), "f.csv:2:4: longitude -180.5 is outside [-180, 180]");
    EXPECT_EQ(fault("1,2\n3,x\n"), "f.csv:2:3: the longitude \"x\" is not a number");
    EXPECT_EQ(fault("name,lat,lon\nA,nan,2\n"), "f.csv:2:3: the latitude \"nan\" is not a number");
    EXPECT_EQ(fault("name,lat,lon\nA,1\n"), "f.csv:2:4: the row ends before its longitude");
    EXPECT_EQ(fault("name,lat,lon\n\"A,1,2\n"), "f.csv:2:1: a quoted field is not closed on its line");
    EXPECT_EQ(fault("name,lat,lon\n\"A\" B,1,2\n"), "f.csv:2:5: text after a closing quote");
    EXPECT_EQ(fault("name,lat,lon,latitude\n"), "f.csv:1:1: the header names two latitude or two longitude columns");
    EXPECT_EQ(fault("x,y\n1,2\n").rfind("f.csv:1:1: the first line holds neither two numbers nor a header", 0), 0u);
}

TEST(PositionCsv, NumbersReadAsTheInputFilesReadThem) {
    // The tool's quicker reading of numbers gives parse_number's values and
    // refusals, the ends of doubles and its own shortcuts among them.
    for (const std::string text : {"1e1",
                                   ".5",
                                   "5.",
                                   "-0",
                                   "0",
                                   "0.000",
                                   "+5",
                                   "0x1p3",
                                   "1e-320",
                                   "1e-400",
                                   "2.2250738585072014e-308",
                                   "45.000000000000001",
                                   "89.99999999999999999999",
                                   "-179.9",
                                   "7E-1",
                                   "0.1",
                                   "-.25",
                                   "inf",
                                   "nan",
                                   "1e999",
                                   "1e",
                                   "--1",
                                   "1.2.3",
                                   "90.0000000000000001",
                                   "12345678901234567890e-18"}) {
        std::vector<CdcPair> pairs;
        const std::optional<std::string> failure = read_position_csv(text + ",0\n", "f.csv", pairs);
        const std::optional<double> expected = parse_number(text);
        if (!expected || std::fabs(*expected) > 90) {
            EXPECT_TRUE(failure) << text;
            continue;
        }
        ASSERT_EQ(failure, std::nullopt) << text;
        EXPECT_TRUE(same_pairs(pairs, {encode_degrees(*expected, 0)})) << text;
    }
}

TEST(PositionCsv, ReadInPartsAsAWhole) {
    // Parts of whole lines on 3 threads: the same pairs, and a fault in a
    // late part named by its line in the file.
    std::string csv = "\n name , lat,lon\n";
    for (int row = 0; row < 30000; ++row)
        csv += (row % 7 == 0 ? "\r\n" : "") + std::string("x,") + std::to_string(row % 179 - 89) + ".25," +
               std::to_string(row % 359 - 179) + ".5\r\n";
    std::vector<CdcPair> one, three;
    ASSERT_EQ(read_position_csv(csv, "f.csv", one, 1), std::nullopt);
    ASSERT_EQ(read_position_csv(csv, "f.csv", three, 3), std::nullopt);
    EXPECT_EQ(one.size(), 30000u);
    EXPECT_TRUE(same_pairs(one, three));
    std::string bad = csv;
    const size_t at = bad.rfind("x,", bad.size() - 200);
    bad.replace(at, 2, "x,y");
    const std::string line = std::to_string(std::count(bad.begin(), bad.begin() + at, '\n') + 1);
    std::vector<CdcPair> pairs;
    const std::optional<std::string> fault = read_position_csv(bad, "f.csv", pairs, 3);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->rfind("f.csv:" + line + ":3: the latitude \"y", 0), 0u) << *fault;
}

struct Case {
    const char* name;
    NearestQuestion question;
};

// The rows the brute force gives for the question, formatted here.
std::string brute_rows(const CdcBrute& brute, const NearestQuestion& q, int64_t fix, CdcPair pair, int count) {
    const CdcPoint point = arrange_point(decode_cdc(pair));
    const std::optional<double> km = q.within_km ? q.within_km : q.max_km;
    const double limit = km ? within_chord2(*km) : INFINITY;
    std::vector<Nearest> found = q.k || !q.within_km ? nearest_k(brute, point, std::min(q.k.value_or(1), count))
                                                     : nearest_within(brute, point, limit);
    std::string rows;
    for (size_t j = 0; j < found.size() && found[j].score <= limit; ++j) {
        char km_text[64];
        std::snprintf(km_text, sizeof km_text, "%.6f", chord2_to_km(found[j].score));
        rows += std::to_string(fix) + "," + std::to_string(j + 1) + "," + std::to_string(found[j].index) + "," +
                km_text + "\n";
    }
    return rows;
}

TEST(NearestRows, EachQuestionAnsweredAsTheBruteForce) {
    // Towns, so that the k nearest and those within 30 km are many.
    std::vector<CdcPair> table, fixes;
    for (const UnitVector v : table_directions(TableKind::kTowns, 4000, 5)) table.push_back(encode_cdc(v));
    for (const UnitVector v : near_query_directions(TableKind::kTowns, 200, 5)) fixes.push_back(encode_cdc(v));
    fixes.push_back(table[17]);  // a fix at a location, at 0 km
    const int n = static_cast<int>(table.size());
    const CdcIndex index(table.data(), n);
    const CdcBrute brute(table.data(), n);
    const Case cases[] = {{"nearest", {}},
                          {"k", {5, {}, {}}},
                          {"k past the table", {n + 10, {}, {}}},
                          {"within", {{}, 30.0, {}}},
                          {"k within", {3, 30.0, {}}},
                          {"max", {{}, {}, 2.0}},
                          {"k max", {4, {}, 10.0}}};
    for (const Case& c : cases) {
        const NearestAsk ask = ask_of(c.question);
        std::string rows, expected;
        for (size_t i = 0; i < fixes.size(); ++i) {
            append_nearest_rows(index, ask, static_cast<int64_t>(i), fixes[i], rows);
            expected += brute_rows(brute, c.question, static_cast<int64_t>(i), fixes[i], n);
        }
        EXPECT_EQ(rows, expected) << c.name;
        EXPECT_FALSE(rows.empty()) << c.name;
    }
}

TEST(NearestRows, KilometresBetweenThePositionsAsStored) {
    // A degree of the equator is 6371 pi / 180 = 111.19492664... km; each
    // stored position lies within 14.53 mm of the one given (geo/coords.h).
    const std::vector<CdcPair> table{encode_degrees(0, 0)};
    const CdcIndex index(table.data(), 1);
    std::string rows;
    append_nearest_rows(index, ask_of({}), 7, encode_degrees(0, 1), rows);
    ASSERT_EQ(rows.rfind("7,1,0,111.1949", 0), 0u) << rows;
    EXPECT_NEAR(std::stod(rows.substr(6)), 6371 * M_PI / 180, 2 * 14.53e-6);
    EXPECT_EQ(rows.size(), std::string("7,1,0,111.194927\n").size());
    rows.clear();
    append_nearest_rows(index, ask_of({{}, {}, 111.19}), 7, encode_degrees(0, 1), rows);
    EXPECT_EQ(rows, "");
}

}  // namespace
