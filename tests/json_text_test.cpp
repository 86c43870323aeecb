// The one JSON writer: strings, numbers and the two layouts of objects and
// arrays.
#include "base/json_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace spherebench {
namespace {

TEST(JsonText, EscapesQuotesBackslashesAndControlCharactersOnly) {
    EXPECT_EQ(json_string("a\"b\\c\n\x01\x1f\x7f\xc3\xa9"), "\"a\\\"b\\\\c\\u000a\\u0001\\u001f\x7f\xc3\xa9\"");
    EXPECT_EQ(json_string(std::string_view("a\0b", 3)), "\"a\\u0000b\"");
}

// Python: repr(float) is the shortest string that reads back the same:
// repr(0.1 + 0.2) == "0.30000000000000004", repr(5e-324) == "5e-324".
TEST(JsonText, NumbersAreTheShortestRoundTripAndNullWhereJsonHasNone) {
    EXPECT_EQ(json_number(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(json_number(5e-324), "5e-324");
    EXPECT_EQ(json_number(50000), "50000");
    EXPECT_EQ(json_number(-0.0), "-0");
    EXPECT_EQ(json_number(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(json_number(std::nan("")), "null");
}

TEST(JsonText, ObjectsAndArraysOnOneLineOrOneValueALine) {
    EXPECT_EQ(json_object({{"a", "1"}, {"b\"", json_array({"2", json_bool(false)})}}),
              "{\"a\": 1, \"b\\\"\": [2, false]}");
    EXPECT_EQ(json_object({}) + json_array({}) + json_array_lines({}, 4), "{}[][]");
    EXPECT_EQ(json_object_lines({{"a", json_array_lines({"1", "2"}, 4)}, {"b", "null"}}),
              "{\n  \"a\": [\n    1,\n    2\n  ],\n  \"b\": null\n}");
}

}  // namespace
}  // namespace spherebench
