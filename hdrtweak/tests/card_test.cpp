#include "card.h"

#include "fits_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace hdrtweak;
using fixture::card;
using fixture::rest_of_card;

struct ParseCase {
    std::string card_text;
    std::string keyword, value, comment;
    int field_count;
    bool string_form;
};

TEST(ParseCard, Cases)
{
    const ParseCase cases[] = {
        {card("NAXIS   =                    2 / number of data axes"), "NAXIS", "2",
         rest_of_card("NAXIS   =                    2 / number of data axes", "number"), 3,
         false},
        {card("OBJECT  = 'M31     '           / target"), "OBJECT", "M31",
         rest_of_card("OBJECT  = 'M31     '           / target", "target"), 3, true},
        {card("OBJECT  = '        ' / blank"), "OBJECT", "-",
         rest_of_card("OBJECT  = '        ' / blank", "blank"), 3, true},
        {card("OBJECT  = '  NGC 224   '"), "OBJECT", "  NGC 224", "", 2, true},
        {card("OBJECT  = 'it''s' / x"), "OBJECT", "it", "", 2, true},          // doubled quote
        {card("OBJECT  = 'no end quote"), "OBJECT", "no end quote", "", 2, true},
        {card("EXPTIME = 5/ comment"), "EXPTIME", "5/", "", 2, false},
        {card("COMMENT   some words"), "COMMENT", "", "", 1, false},
        {card("HISTORY = not a value / really"), "HISTORY", "not", "", 2, false},
        {card("EMPTY   = '' / empty string"), "EMPTY", "''",
         rest_of_card("EMPTY   = '' / empty string", "empty string"), 3, false},
        {card("  leading blank"), "", "", "", 0, false},
        {card("KEY     = 'value' /     "), "KEY", "value", "", 2, true},  // blank comment
        {"", "", "", "", 0, false},
    };
    for (const ParseCase &c : cases) {
        ParsedCard parsed;
        parse_card(c.card_text.c_str(), &parsed);
        EXPECT_EQ(parsed.keyword, c.keyword) << c.card_text;
        EXPECT_EQ(parsed.value, c.value) << c.card_text;
        EXPECT_EQ(parsed.comment, c.comment) << c.card_text;
        EXPECT_EQ(parsed.field_count, c.field_count) << c.card_text;
        EXPECT_EQ(parsed.string_form, c.string_form) << c.card_text;
    }
}

TEST(ParseCard, OverlongKeywordRunIsFlagged)
{
    ParsedCard parsed;
    parse_card(card("ABCDEFGHIJABCDEFGHIJABCDEFGHIJAB = 1").c_str(), &parsed);
    EXPECT_TRUE(parsed.keyword_too_long);
    parse_card(card("ABCDEFGHIJABCDEFGHIJABCDEFGHIJA = 1").c_str(), &parsed);
    EXPECT_FALSE(parsed.keyword_too_long);
    EXPECT_STREQ(parsed.value, "1");
}

std::string show(const std::string &card_text)
{
    ParsedCard parsed;
    parse_card(card_text.c_str(), &parsed);
    char line[400];
    EXPECT_GT(format_show_line(&parsed, line, sizeof line), 0);
    return line;
}

TEST(ShowLine, Cases)
{
    const std::string naxis = "NAXIS   =                    2 / number of data axes";
    EXPECT_EQ(show(card(naxis)), "NAXIS = 2 / " + rest_of_card(naxis, "number") + "\n");
    EXPECT_EQ(show(card("OBJECT  = '        '")), "OBJECT = -\n");
    EXPECT_EQ(show(card("EXPTIME =                   30")), "EXPTIME = 30\n");
    EXPECT_EQ(show(card("COMMENT   hello")), "COMMENT = \n");
}

std::string rebuilt(const std::string &card_text, const char *new_value)
{
    ParsedCard parsed;
    parse_card(card_text.c_str(), &parsed);
    char out[81];
    if (rebuild_card(&parsed, new_value, out) != CardBuild::ok)
        return "refused";
    return out;
}

TEST(RebuildCard, ColumnLayout)
{
    const std::string exptime = card("EXPTIME =                   30 / exposure time");
    // plain form: value right-justified to end in column 30, slash in 32
    std::string c = rebuilt(exptime, "2048");
    EXPECT_EQ(c, card("EXPTIME =                 2048 / exposure time"));
    EXPECT_EQ(c.substr(26, 4), "2048");
    EXPECT_EQ(c[31], '/');

    // string form: closing quote in column 20, slash in 22, comment from 24
    c = rebuilt(card("OBJECT  = 'M31     '           / target name"), "M33");
    EXPECT_EQ(c, card("OBJECT  = 'M33     ' / target name"));
    EXPECT_EQ(c[19], '\'');
    EXPECT_EQ(c[21], '/');
    EXPECT_EQ(c.substr(23, 6), "target");

    // wider values push the comment right; the comment is cut at column 80
    c = rebuilt(exptime, "123456789012345678901234567890");
    EXPECT_EQ(c, card("EXPTIME = 123456789012345678901234567890 / exposure time"));
    EXPECT_EQ(rebuilt(card("NOCOM   =                    1"), "7"),
              card("NOCOM   =                    7 / "));
    EXPECT_EQ(rebuilt(card("EMPTY   = '' / was empty"), "abc"),
              card("EMPTY   =                  abc / was empty"));
    EXPECT_EQ(rebuilt(card("OBJECT  = 'M31'"), ""), card("OBJECT  = '        ' / "));
    EXPECT_EQ(rebuilt(exptime, ""), card("EXPTIME =                      / exposure time"));
    // quotes inside a new value are written as typed
    EXPECT_EQ(rebuilt(card("OBJECT  = 'M31'"), "a'b"), card("OBJECT  = 'a'b     ' / "));
}

TEST(RebuildCard, ValueMustFitWhole)
{
    const std::string object = card("OBJECT  = 'M31' / target");
    const std::string exptime = card("EXPTIME =                   30 / exposure time");
    // string form: the closing quote may stand in column 80, no further
    std::string longest_string(68, 'x');
    std::string c = rebuilt(object, longest_string.c_str());
    EXPECT_EQ(c, "OBJECT  = '" + longest_string + "'");
    EXPECT_EQ(rebuilt(object, std::string(69, 'x').c_str()), "refused");
    // plain form: the value may end in column 80, no further
    EXPECT_EQ(rebuilt(exptime, std::string(70, '9').c_str()), "EXPTIME = " + std::string(70, '9'));
    EXPECT_EQ(rebuilt(exptime, std::string(71, '9').c_str()), "refused");
    EXPECT_EQ(rebuilt(exptime, std::string(200, '9').c_str()), "refused");
}

TEST(NewCard, LayoutAndLimit)
{
    char key[key_capacity];
    make_search_key("exptime", key);
    EXPECT_STREQ(key, "EXPTIME        ");
    char out[81];
    ASSERT_EQ(new_card(key, "30", out), CardBuild::ok);
    EXPECT_EQ(std::string(out), card("EXPTIME = 30"));

    make_search_key("verylongfieldname", key);
    ASSERT_EQ(new_card(key, std::string(70, 'v').c_str(), out), CardBuild::ok);
    EXPECT_EQ(std::string(out), "VERYLONG= " + std::string(70, 'v'));
    EXPECT_EQ(new_card(key, std::string(71, 'v').c_str(), out), CardBuild::value_too_long);
}

TEST(SearchKey, UpperCasesLettersOnlyAndSpotsEnd)
{
    char key[key_capacity];
    make_search_key("date-obs_x9", key);
    EXPECT_STREQ(key, "DATE-OBS_X9        ");
    make_search_key("", key);
    EXPECT_STREQ(key, "        ");
    for (const char *field : {"END", "end", "End"}) {
        make_search_key(field, key);
        EXPECT_TRUE(is_end_key(key)) << field;
    }
    for (const char *field : {"ENDX", "EN", "ENDTIME"}) {
        make_search_key(field, key);
        EXPECT_FALSE(is_end_key(key)) << field;
    }
}

} // namespace
