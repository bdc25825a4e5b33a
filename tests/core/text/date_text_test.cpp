#include "core/text/date_text.h"

#include <gtest/gtest.h>

#include "core/text/date_time.h"

namespace tw {
namespace {

TEST(DateTime, DayNumbersCountFrom30December1899) {
    struct Case {
        int y, m, d;
        double day;
        int weekday;  // 1 Monday … 7 Sunday
    } cases[] = {
        {1899, 12, 30, 0, 6},      {1900, 1, 1, 2, 1},         {1900, 3, 1, 61, 4},
        {2000, 2, 29, 36585, 2},   {2024, 5, 10, 45422, 5},    {1, 1, 1, -693593, 1},
        {9999, 12, 31, 2958465, 5}, {1582, 10, 4, -115869, 1},  // no calendar switch: Gregorian backwards
    };
    for (const Case& c : cases) {
        auto value = EncodeDate(c.y, c.m, c.d);
        ASSERT_TRUE(value) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(*value, c.day);
        // Before day 0 the time of day counts away from zero.
        TCivilDate back = DecodeDate(*value + (*value < 0 ? -0.75 : 0.75));
        EXPECT_EQ(back.Year, c.y);
        EXPECT_EQ(back.Month, c.m);
        EXPECT_EQ(back.Day, c.d);
        EXPECT_EQ(DayOfTheWeek(*value), c.weekday) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_FALSE(EncodeDate(1900, 2, 29));
    EXPECT_FALSE(EncodeDate(2001, 4, 31));
    EXPECT_FALSE(EncodeDate(0, 1, 1));
}

TEST(DateText, WritesFixedLayouts) {
    EXPECT_EQ(DateToText(*EncodeDate(812, 3, 5)), "05.03.0812");
    EXPECT_EQ(DateToText(*EncodeDate(9999, 12, 31) + 0.99), "31.12.9999");
    EXPECT_EQ(DayMonthText(*EncodeDate(2024, 2, 9)), "09.02.");
    EXPECT_EQ(TimeToText(*EncodeTime(7, 5, 9)), "07:05:09");
    EXPECT_EQ(TimeToText(*EncodeDate(2024, 1, 1) + *EncodeTime(23, 59, 59)), "23:59:59");
}

TEST(DateText, TextToDateReadsLooseParts) {
    struct Case {
        const char* text;
        int y, m, d;  // y == 0: conversion error
    } cases[] = {
        {"1.2.1980", 1980, 2, 1},  {"01.02.1980", 1980, 2, 1}, {"15.03.", 9999, 3, 15},  {"1.1.0", 9999, 1, 1},
        {"1.1.2000.1999", 1999, 1, 1},  // the last year part wins
        {"31.4.2001", 0, 0, 0},    {"29.2.2001", 0, 0, 0},     {"1.13.2000", 0, 0, 0},   {"", 0, 0, 0},
        {"a.1.2000", 0, 0, 0},     {"1..2000", 0, 0, 0},       {"15.03", 0, 0, 0},       {"1.1.99999", 0, 0, 0},
        {"1.1.5", 5, 1, 1},
    };
    for (const Case& c : cases) {
        auto date = TextToDate(c.text);
        if (c.y == 0) {
            EXPECT_FALSE(date) << c.text;
        } else {
            ASSERT_TRUE(date) << c.text;
            EXPECT_EQ(*date, *EncodeDate(c.y, c.m, c.d)) << c.text;
        }
    }
}

TEST(DateText, FixedTextToDateReadsColumns) {
    EXPECT_EQ(FixedTextToDate("05.03.0812"), EncodeDate(812, 3, 5));
    EXPECT_EQ(FixedTextToDate("28.02.2024"), EncodeDate(2024, 2, 28));
    EXPECT_EQ(FixedTextToDate("28-02-2024"), EncodeDate(2024, 2, 28)) << "separators are not looked at";
    EXPECT_FALSE(FixedTextToDate("29.02.2023"));
    EXPECT_FALSE(FixedTextToDate("1.2.2023"));
    EXPECT_FALSE(FixedTextToDate("01.02."));
}

}  // namespace
}  // namespace tw
