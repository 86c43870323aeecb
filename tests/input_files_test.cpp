#include "input/input_files.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "geo/cdc_encoder.h"
#include "input/loader.h"

using namespace spherebench;

namespace {

std::vector<AirportSource> list_of(const std::string& csv, std::optional<std::string>* failure = nullptr) {
    std::vector<AirportSource> airports;
    const std::optional<std::string> result = read_airport_list(csv, airports);
    if (failure) {
        *failure = result;
    } else {
        EXPECT_EQ(result, std::nullopt);
    }
    return airports;
}

std::string repeat_text(std::string_view text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) repeated += text;
    return repeated;
}

std::string failure_of(const std::string& csv) {
    std::optional<std::string> failure;
    list_of(csv, &failure);
    return failure.value_or("(accepted)");
}

TEST(ReadAirportList, ReadsQuotedFieldsAndSkipsTheHeaderAndBlankLines) {
    const std::vector<AirportSource> airports = list_of(
        "latitude,longitude,name\r\n"
        "19.0886993408,72.8678970337,Chhatrapati Shivaji International Airport (BOM)\r\n"
        "\r\n"
        "-33.5,\"151.25\",\"Sydney, Kingsford \"\"Smithy\"\"\"\n"
        "90,-180, \"\tTab and trailing blank \" \n"
        "-90,180,Ísafjörður");
    ASSERT_EQ(airports.size(), 4u);
    EXPECT_EQ(airports[0].latitude, 19.0886993408);
    EXPECT_EQ(airports[0].longitude, 72.8678970337);
    EXPECT_EQ(airports[0].name, "Chhatrapati Shivaji International Airport (BOM)");
    EXPECT_EQ(airports[1].longitude, 151.25);
    EXPECT_EQ(airports[1].name, "Sydney, Kingsford \"Smithy\"");
    EXPECT_EQ(airports[2].name, "\tTab and trailing blank ");
    EXPECT_EQ(airports[3].name, "Ísafjörður");
}

TEST(ReadAirportList, RefusesWithTheLineOfTheFault) {
    const std::string header = "latitude,longitude,name\n";
    // Refused values as they were written.
    EXPECT_EQ(failure_of(header + "1,2,A\n90.0000001,0,B\n"), "line 3: latitude 90.0000001 is outside [-90, 90]");
    EXPECT_EQ(failure_of(header + "1, 180.50 ,A\n"), "line 2: longitude 180.50 is outside [-180, 180]");
    EXPECT_EQ(failure_of(header + "-9e1,1e3,A\n"), "line 2: longitude 1e3 is outside [-180, 180]");
    EXPECT_EQ(failure_of(header + "1,2,Sydney, Kingsford\n"), "line 2: expected 3 fields, as in the header");
    EXPECT_EQ(failure_of(header + "1,2\n"), "line 2: expected 3 fields, as in the header");
    EXPECT_EQ(failure_of(header + "north,2,A\n"), "line 2: the latitude \"north\" is not a number");
    EXPECT_EQ(failure_of(header + "1,\" 2\",A\n"), "line 2: the longitude \" 2\" is not a number");
    EXPECT_EQ(failure_of(header + "nan,2,A\n"), "line 2: the latitude \"nan\" is not a number");
    EXPECT_EQ(failure_of(header + "1,2,\"Two\nLines\"\n"), "line 2: the name holds a line break");
    EXPECT_EQ(failure_of(header + "1,2,A\n3,4,\"Open\n"), "line 3: a quoted field is not closed");
    EXPECT_EQ(failure_of(header + "1,2,\"A\"B\n"), "line 2: text after a closing quote");
    EXPECT_EQ(failure_of(header + "1,2,\n"), "line 2: the name is empty");
    EXPECT_EQ(failure_of(header + "1,2,A\n1,2,  \t \n"), "line 3: the name is empty");
    EXPECT_EQ(failure_of(header + "1,2,\" \t\"\n"), "line 2: the name is only spaces or tabs");
}

TEST(ReadAirportList, TrimsUnquotedFieldsAndKeepsQuotedOnes) {
    const std::vector<AirportSource> airports = list_of(
        " lat , lon , name \n"
        "51.5, -0.12, London\n"
        "\t1 ,\t2\t, \" Quoted \" \n"
        "3,4,Inner  spaces kept\t\n"
        "   \n");
    ASSERT_EQ(airports.size(), 3u);
    const auto fields = [](const AirportSource& a) { return std::tie(a.latitude, a.longitude, a.name); };
    EXPECT_EQ(fields(airports[0]), std::make_tuple(51.5, -0.12, "London"));
    EXPECT_EQ(fields(airports[1]), std::make_tuple(1.0, 2.0, " Quoted "));
    EXPECT_EQ(fields(airports[2]), std::make_tuple(3.0, 4.0, "Inner  spaces kept"));
    EXPECT_EQ(failure_of("lat,lon,name\n1,2,\"A\" x\n"), "line 2: text after a closing quote");
}

TEST(ReadAirportList, FindsTheColumnsByTheirHeaderNames) {
    const std::vector<AirportSource> airports = list_of(
        "\xEF\xBB\xBFid,Name,type,LONGITUDE_DEG,elevation, Latitude_Deg \n"
        "7,\"Kai Tak, Hong Kong\",closed,114.19,,22.31\n");
    ASSERT_EQ(airports.size(), 1u);
    const auto fields = [](const AirportSource& a) { return std::tie(a.latitude, a.longitude, a.name); };
    EXPECT_EQ(fields(airports[0]), std::make_tuple(22.31, 114.19, "Kai Tak, Hong Kong"));
    EXPECT_EQ(fields(list_of("lon,name,lat\n1,A,2\n").at(0)), std::make_tuple(2.0, 1.0, "A"));
}

TEST(ReadAirportList, RefusesAFirstLineThatIsNoHeaderAndCrOnlyLineEnds) {
    const std::string rule =
        ": the first line must be a header naming the columns latitude (or latitude_deg, lat), "
        "longitude (or longitude_deg, lon) and name";
    EXPECT_EQ(failure_of("19.08,72.86,Bombay\n1,2,A\n"), "line 1: no latitude, longitude or name column" + rule);
    EXPECT_EQ(failure_of("latitude,longitude,city\n"), "line 1: no name column" + rule);
    EXPECT_EQ(failure_of("lat,long,name\n"), "line 1: no longitude column" + rule);
    EXPECT_EQ(failure_of(""), "line 1: no latitude, longitude or name column" + rule);
    EXPECT_EQ(failure_of("lat,latitude,lon,name\n"), "line 1: the header has two latitude columns");
    EXPECT_EQ(failure_of("latitude,longitude,name\r1,2,A\r"),
              "line 1: a line ends in CR alone (old Mac line ends): save the list with LF or CR LF line ends");
}

TEST(CheckAirport, AcceptsWhatTheLoaderReadsBack) {
    EXPECT_EQ(check_airport({90, 180, "x"}), std::nullopt);
    EXPECT_EQ(check_airport({-90, -180, "x"}), std::nullopt);
    EXPECT_EQ(check_airport({0, 0, "a\tb"}), std::nullopt);
    EXPECT_NE(check_airport({0, 0, "a\x1a"}), std::nullopt);  // text mode ends the file there
    EXPECT_NE(check_airport({0, 0, std::string("a\0b", 3)}), std::nullopt);
    EXPECT_NE(check_airport({0, 0, "a\rb"}), std::nullopt);
    EXPECT_NE(check_airport({std::nan(""), 0, "x"}), std::nullopt);
}

// The name's room is the 508 bytes of a line less the pair's words and their
// spaces, as data/airports.ptc stores them: Heathrow's "1071045583
// -1408156506 " takes 23 bytes, Bombay's "924288720 1249315532 " 21.
TEST(CheckAirport, CountsTheNameInBytesAgainstItsOwnLine) {
    const AirportSource heathrow{51.4706, -0.461941, ""}, bombay{19.0886993408, 72.8678970337, ""};
    struct Case {
        AirportSource at;
        std::string name;
        std::optional<std::string> failure;
    };
    const std::string too_long = "the name is too long: ";
    const std::string rule = " (a line holds at most 508 bytes, the two numbers and a space after each included)";
    const Case cases[] = {
        {heathrow, std::string(485, 'n'), std::nullopt},
        {heathrow, std::string(486, 'n'), too_long + "486 bytes where this position leaves room for 485" + rule},
        {bombay, std::string(487, 'n'), std::nullopt},
        {bombay, std::string(488, 'n'), too_long + "488 bytes where this position leaves room for 487" + rule},
        // 243 two-byte letters fill Bombay's room less one byte; 244 overflow it.
        {bombay, repeat_text("\xc3\xa9", 243), std::nullopt},
        {bombay, repeat_text("\xc3\xa9", 244), too_long + "488 bytes where this position leaves room for 487" + rule},
    };
    for (const Case& c : cases) {
        AirportSource airport = c.at;
        airport.name = c.name;
        EXPECT_EQ(check_airport(airport), c.failure) << c.name.size();
    }
}

TEST(FormatAirportsFile, IsReadBackByTheLoaderUnchanged) {
    const std::vector<AirportSource> airports = {
        {19.0886993408, 72.8678970337, "Chhatrapati Shivaji International Airport (BOM)"},
        {-33.9461, 151.177, " Leading blank, \ttab; and a semicolon"},
        {71.2854, -156.766, "Wiley Post Will Rogers Memorial Airport (BRW)"},
        {-90, 0, std::string(484, 'n')},
    };
    std::string file;
    ASSERT_EQ(format_airports_file(airports, {"made by a test", "second comment"}, file), std::nullopt);
    EXPECT_EQ(file.rfind("; made by a test\n; second comment\n", 0), 0u);

    AirportTable table;
    ASSERT_EQ(parse_airports(file, "airports.ptc", table, nullptr), std::nullopt);
    ASSERT_EQ(table.count, 4);
    for (int i = 0; i < 4; ++i) {
        const CdcPair pair = encode_degrees(airports[i].latitude, airports[i].longitude);
        EXPECT_EQ(table.cdc[i].first, pair.first);
        EXPECT_EQ(table.cdc[i].second, pair.second);
        EXPECT_EQ(table.names[i], airports[i].name);
    }
}

TEST(FormatAirportsFile, RefusesAListTheLoaderCannotHold) {
    std::string file;
    EXPECT_EQ(format_airports_file({}, {}, file), "no airports");
    const std::vector<AirportSource> too_many(kAirportCapacity + 1, AirportSource{1, 2, "Gate"});
    EXPECT_EQ(format_airports_file(too_many, {}, file), "more than 14000 airports: the benchmark holds at most 14000");
    const std::vector<AirportSource> full(kAirportCapacity, AirportSource{1, 2, "Gate"});
    EXPECT_EQ(format_airports_file(full, {}, file), std::nullopt);
    EXPECT_EQ(format_airports_file({{1, 2, "A"}, {1, 2, "B\nC"}}, {}, file), "airport 2: the name holds a line break");
    EXPECT_EQ(format_airports_file({{1, 2, "A"}}, {"two\nlines"}, file), "a header line holds a line break");
    EXPECT_EQ(format_airports_file({{1, 2, "A"}}, {std::string(506, 'c')}, file), std::nullopt);
    EXPECT_EQ(format_airports_file({{1, 2, "A"}}, {std::string(507, 'c')}, file),
              "a header line is longer than 506 characters");
}

TEST(FormatFlightLineFile, IsReadBackByTheLoaderAndHoldsAtMost1000Points) {
    std::vector<UnitVector> points;
    for (int i = 0; i < kFlightLineCapacity; ++i) points.push_back(vector_from_degrees(i * 0.09 - 45, i * 0.3 - 150));
    std::string file;
    ASSERT_EQ(format_flight_line_file(points, {"made by a test"}, file), std::nullopt);
    FlightLine line;
    ASSERT_EQ(parse_flight_line(file, "flightline.lnc", line), std::nullopt);
    ASSERT_EQ(line.count, kFlightLineCapacity);
    for (int i = 0; i < line.count; ++i) {
        EXPECT_EQ(line.cdc[i].first, encode_cdc(points[i]).first);
        EXPECT_EQ(line.cdc[i].second, encode_cdc(points[i]).second);
    }
    points.push_back(points.back());
    EXPECT_EQ(format_flight_line_file(points, {}, file), "more than 1000 points: the benchmark holds at most 1000");
    EXPECT_EQ(format_flight_line_file(std::vector<CdcPair>{}, {}, file), "no points");
}

}  // namespace
