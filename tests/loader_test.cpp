#include "input/loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

using namespace spherebench;

namespace {

struct ParsedAirports {
    AirportTable table;
    std::optional<std::string> failure;
};

ParsedAirports airports_from(const std::string& text) {
    ParsedAirports parsed;
    parsed.failure = parse_airports(text, "airports.ptc", parsed.table, nullptr);
    return parsed;
}

struct ParsedFlightLine {
    FlightLine line;
    std::optional<std::string> failure;
};

ParsedFlightLine flight_line_from(const std::string& text) {
    ParsedFlightLine parsed;
    parsed.failure = parse_flight_line(text, "flightline.lnc", parsed.line);
    return parsed;
}

std::string repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

TEST(ParseWord, ReadsLikeAtolWithWrappingIn32Bits) {
    EXPECT_EQ(parse_word("-5"), -5);
    EXPECT_EQ(parse_word("+7"), 7);
    EXPECT_EQ(parse_word("12abc"), 12);
    EXPECT_EQ(parse_word(";100"), 0);
    EXPECT_EQ(parse_word("abc"), 0);
    EXPECT_EQ(parse_word("-"), 0);
    EXPECT_EQ(parse_word("+-5"), 0);
    EXPECT_EQ(parse_word("\r\v\f12"), 12);  // atol skips any leading white space
    EXPECT_EQ(parse_word("2147483647"), 2147483647);
    // A word with bit 31 set reads the same in unsigned and signed decimal.
    EXPECT_EQ(parse_word("2147483648"), parse_word("-2147483648"));
    EXPECT_EQ(parse_word("3221225472"), static_cast<int32_t>(0xC0000000u));
    EXPECT_EQ(parse_word("4294967295"), -1);
    EXPECT_EQ(parse_word("4294967296"), 0);
    EXPECT_EQ(parse_word("-4294967297"), -1);
    EXPECT_EQ(parse_word("00000000000000000000000000000042"), 42);
}

TEST(ParseAirports, NameIsTheTextAfterTheSeparatorEndingTheSecondNumber) {
    const ParsedAirports p = airports_from(
        "100 200 Gate\n"
        "100\t200\tGate\n"
        "100 200  Gate\n"
        "  \t100   200\t \tName with\ttab and trailing blanks \t\n"
        "1 2 CR\rinside\r\n"
        "3 4 last line without line feed");
    ASSERT_FALSE(p.failure) << *p.failure;
    ASSERT_EQ(p.table.count, 6);
    EXPECT_EQ(p.table.cdc[0].first, 100);
    EXPECT_EQ(p.table.cdc[0].second, 200);
    EXPECT_EQ(p.table.names[0], "Gate");
    EXPECT_EQ(p.table.names[1], "Gate");
    EXPECT_EQ(p.table.names[2], " Gate");
    EXPECT_EQ(p.table.names[3], " \tName with\ttab and trailing blanks \t");
    EXPECT_EQ(p.table.names[4], "CR\rinside");
    EXPECT_EQ(p.table.names[5], "last line without line feed");
}

TEST(ParseAirports, EachRecordGetsItsFixedPositionFromTheDecodedPair) {
    const ParsedAirports p = airports_from("1073741824 0 West\n-5 +7 Somewhere\n");
    ASSERT_FALSE(p.failure);
    EXPECT_EQ(p.table.fixed[0].lat, 0);
    EXPECT_EQ(p.table.fixed[0].lon, -2147483639);
    const FixedLatLong expected = to_fixed(vector_to_latlong(decode_cdc({-5, 7})));
    EXPECT_EQ(p.table.fixed[1].lat, expected.lat);
    EXPECT_EQ(p.table.fixed[1].lon, expected.lon);
}

TEST(ParseAirports, CommentsAndBlankLinesAreSkippedButCountAsLines) {
    const ParsedAirports p = airports_from(
        "; comment\n"
        "* another 1 2 3\n"
        "\n"
        " \t \n"
        "\r\n"
        " ;100 200 Gate\n"
        "12abc\n");
    ASSERT_TRUE(p.failure);
    // The blank-looking CR-only line is a plain empty line after text mode;
    // " ;100 200 Gate" is a record whose first field reads as 0.
    EXPECT_EQ(*p.failure, "Line 7 of [airports.ptc] has fewer than two number fields\n");
    ASSERT_EQ(p.table.count, 1);
    EXPECT_EQ(p.table.cdc[0].first, 0);
    EXPECT_EQ(p.table.cdc[0].second, 200);
    EXPECT_EQ(p.table.names[0], "Gate");
}

TEST(ParseAirports, MissingNameFailsWithTheIndexTheAirportWouldHave) {
    for (const char* bad : {"100 200\n", "100 200 \n", "100 200", "100 200 \r\n"}) {
        SCOPED_TRACE(bad);
        const ParsedAirports p = airports_from(std::string("1 2 A\n; c\n3 4 B\n") + bad);
        ASSERT_TRUE(p.failure);
        EXPECT_EQ(*p.failure, "Strdup failed at 2\n");
    }
}

TEST(ParseAirports, AByte1AEndsTheFileEvenInsideAComment) {
    const ParsedAirports p = airports_from("1 2 A\n; note \x1a then junk\nnot a record\n");
    ASSERT_FALSE(p.failure);
    EXPECT_EQ(p.table.count, 1);
    const ParsedAirports q = airports_from("1 2 Name\x1a tail\n");
    ASSERT_FALSE(q.failure);
    EXPECT_EQ(q.table.names[0], "Name");
}

TEST(ParseAirports, LineLengthLimitAppliesToRecordsOnly) {
    const std::string longest = "1 2 " + std::string(504, 'n');  // 508 characters
    const ParsedAirports ok = airports_from(longest + "\n;" + std::string(5000, 'c') + "\n");
    ASSERT_FALSE(ok.failure) << *ok.failure;
    EXPECT_EQ(ok.table.count, 1);
    EXPECT_EQ(ok.table.names[0].size(), 504u);
    // CR LF does not count toward the length; a lone CR does.
    EXPECT_FALSE(airports_from(longest + "\r\n").failure);
    const ParsedAirports too_long = airports_from("; c\n" + longest + "x\n");
    ASSERT_TRUE(too_long.failure);
    EXPECT_EQ(*too_long.failure, "Line 2 of [airports.ptc] is too long\n");
    EXPECT_EQ(*airports_from(longest + "\r").failure, "Line 1 of [airports.ptc] is too long\n");
    // A long line of blanks is still a blank line.
    EXPECT_FALSE(airports_from(std::string(600, ' ') + "\n").failure);
}

TEST(ParseAirports, NulByteInARecordFails) {
    const ParsedAirports p = airports_from(std::string("1 2 A\n3 4 B\0C\n", 14));
    ASSERT_TRUE(p.failure);
    EXPECT_EQ(*p.failure, "Line 2 of [airports.ptc] holds a NUL byte\n");
    EXPECT_FALSE(airports_from(std::string(";\0\n1 2 A\n", 9)).failure);
}

TEST(ParseAirports, CapacityIsCheckedBeforeTheLineIsRead) {
    const std::string full = repeat("1 2 A\n", kAirportCapacity);
    const ParsedAirports ok = airports_from(full + "; trailing comment\n\n");
    ASSERT_FALSE(ok.failure);
    EXPECT_EQ(ok.table.count, kAirportCapacity);
    // Even a malformed 14001st line reports the overflow first.
    const ParsedAirports over = airports_from(full + std::string(600, 'x') + "\n");
    ASSERT_TRUE(over.failure);
    EXPECT_EQ(*over.failure, "Airport buffer overflow (14000)?\n");
}

TEST(ParseAirports, DiagnosticLineAfterAirport11206GivesNameLength) {
    std::FILE* diagnostics = std::tmpfile();
    ASSERT_NE(diagnostics, nullptr);
    AirportTable table;
    const std::string text = repeat("1 2 A\n", 11206) + "3 4  Named one\n5 6 B\n";
    ASSERT_FALSE(parse_airports(text, "airports.ptc", table, diagnostics));
    std::rewind(diagnostics);
    char line[100] = {};
    ASSERT_NE(std::fgets(line, sizeof line, diagnostics), nullptr);
    EXPECT_STREQ(line, "11206       10  Named one\n");
    EXPECT_EQ(std::fgets(line, sizeof line, diagnostics), nullptr);
    std::fclose(diagnostics);
}

TEST(ParseAirports, AByteOrderMarkIsSkippedOnlyWholeAndAtTheStart) {
    const std::string mark = "\xEF\xBB\xBF";
    const ParsedAirports p = airports_from(mark + "100 200 Gate\n" + mark + "3 4 B\n");
    ASSERT_FALSE(p.failure) << *p.failure;
    ASSERT_EQ(p.table.count, 2);
    EXPECT_EQ(p.table.cdc[0].first, 100);
    EXPECT_EQ(p.table.cdc[0].second, 200);
    EXPECT_EQ(p.table.names[0], "Gate");
    EXPECT_EQ(p.table.cdc[1].first, 0);  // not at the start: ordinary bytes
    // An incomplete mark, or a second one, is part of the first field.
    for (const std::string& start : {std::string("\xEF\xBB"), std::string("\xEF"), mark + mark}) {
        const ParsedAirports q = airports_from(start + "100 200 Gate\n");
        ASSERT_FALSE(q.failure) << *q.failure;
        EXPECT_EQ(q.table.cdc[0].first, 0);
        EXPECT_EQ(q.table.names[0], "Gate");
    }
    EXPECT_EQ(airports_from("\xEF\xBB\x1a"
                            "1 2 A\n")
                  .table.count,
              0);
    EXPECT_EQ(airports_from(mark + "; comment\n").table.count, 0);
    // The mark does not count toward the first line's length.
    const std::string longest = "1 2 " + std::string(504, 'n');
    EXPECT_FALSE(airports_from(mark + longest + "\n").failure);
    EXPECT_EQ(*airports_from(mark + longest + "x\n").failure, "Line 1 of [airports.ptc] is too long\n");
}

TEST(ParseFlightLine, AByteOrderMarkAtTheStartIsSkipped) {
    const ParsedFlightLine p = flight_line_from("\xEF\xBB\xBF-5 7\r\n");
    ASSERT_EQ(p.line.count, 1);
    EXPECT_EQ(p.line.cdc[0].first, -5);
}

TEST(ParseFlightLine, LineNumbersGoPast32Bits) {
    FlightLine line;
    EXPECT_EQ(*parse_flight_line("1 2\n;\n5\n", "flightline.lnc", line, 2147483647),
              "Line 2147483650 of [flightline.lnc] has fewer than two number fields\n");
    AirportTable table;
    EXPECT_EQ(*parse_airports(std::string("\n1 2 \0\n", 8), "airports.ptc", table, nullptr, 4294967296),
              "Line 4294967298 of [airports.ptc] holds a NUL byte\n");
}

TEST(ParseFlightLine, TakesTwoWordsAndIgnoresTheRest) {
    const ParsedFlightLine p = flight_line_from("* header\r\n-5 +7 anything here\r\n3\t4\n5 6");
    ASSERT_FALSE(p.failure);
    ASSERT_EQ(p.line.count, 3);
    EXPECT_EQ(p.line.cdc[0].first, -5);
    EXPECT_EQ(p.line.cdc[0].second, 7);
    EXPECT_EQ(p.line.cdc[2].second, 6);
    EXPECT_EQ(*flight_line_from("1 2\n42\n").failure, "Line 2 of [flightline.lnc] has fewer than two number fields\n");
}

TEST(ParseFlightLine, HoldsAThousandPoints) {
    const std::string full = repeat("1 2\n", kFlightLineCapacity);
    EXPECT_FALSE(flight_line_from(full + "; done\n").failure);
    EXPECT_EQ(*flight_line_from(full + "1 2\n").failure, "Flightline buffer overflow (1000)?\n");
}

TEST(ParseFlightLine, EmptyFileLoadsNoPoints) {
    const ParsedFlightLine p = flight_line_from("");
    EXPECT_FALSE(p.failure);
    EXPECT_EQ(p.line.count, 0);
}

}  // namespace
