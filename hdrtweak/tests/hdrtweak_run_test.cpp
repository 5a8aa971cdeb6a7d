// End-to-end runs of the built hdrtweak on files written byte by byte.
#include "fits_fixture.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fixture::card;
using testsupport::ProgramResult;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

const std::string usage_line = "usage: hdrtweak file [ field [ value ] ]\n";

std::string error_text(const std::string &message)
{
    return message + "\nExiting ...\n";
}

class HdrtweakRun : public ::testing::Test {
protected:
    ScratchDir dir;

    ProgramResult run(const std::vector<std::string> &args,
                      std::optional<std::string> input = std::nullopt)
    {
        testsupport::RunOptions options;
        options.cwd = dir.path();
        options.stdin_text = std::move(input);
        return testsupport::run_program(HDRTWEAK_BINARY, args, options);
    }
    void write(const std::string &name, const std::string &bytes) { spit(dir / name, bytes); }
    std::string read(const std::string &name) { return slurp(dir / name); }
};

const std::vector<std::string> sample_cards = {
    "BITPIX  =                   16 / number of bits per data pixel",
    "NAXIS   =                    2 / number of data axes",
    "OBJECT  = 'M31     '           / target name",
    "BLANKSTR= '        '           / blank string",
    "EXPTIME =                   30 / exposure time",
    "DATE-OBS= '2015-01-10T00:08:48'",
    "DATE    = '2015-01-10T00:10:00' / file written",
    "COMMENT   a comment card",
    "lower   =                    1 / lower-case keyword",
    "        = 'blank keyword'",
    "OBJECT  = 'second'             / not reached",
};

TEST_F(HdrtweakRun, NoArgumentsGivesUsage)
{
    ProgramResult r = run({});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, usage_line);
    EXPECT_EQ(r.out, "");
}

TEST_F(HdrtweakRun, HelpAndVersion)
{
    ProgramResult help = run({"--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out.substr(0, usage_line.size()), usage_line);
    EXPECT_NE(help.out.find("hdrtweak(1)"), std::string::npos);
    ProgramResult version = run({"--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out.rfind("hdrtweak ", 0), 0u);
}

TEST_F(HdrtweakRun, ListsCardsTwoToBeforeEnd)
{
    write("img.fits", fixture::fits(sample_cards, fixture::data_pattern(100)));
    ProgramResult r = run({"img.fits"});
    EXPECT_EQ(r.exit_status, 0);
    std::string expected;
    for (const std::string &c : sample_cards)
        expected += card(c) + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
}

TEST_F(HdrtweakRun, HeaderWithoutEnd)
{
    std::string bytes = fixture::fits({"A       = 1", "B       = 2"}, "", false);
    bytes = bytes.substr(0, 3 * 80) + "PARTIAL";  // a trailing piece shorter than a card
    write("noend.fits", bytes);
    ProgramResult list = run({"noend.fits"});
    EXPECT_EQ(list.exit_status, 0);
    EXPECT_EQ(list.out, card("A       = 1") + "\n" + card("B       = 2") + "\n");
    ProgramResult show = run({"noend.fits", "C"});
    EXPECT_EQ(show.exit_status, 0);
    EXPECT_EQ(show.out, "");
    ProgramResult edit = run({"noend.fits", "C", "3"});
    EXPECT_EQ(edit.exit_status, 0);
    EXPECT_EQ(read("noend.fits"), bytes);
}

std::string comment_of(size_t index, const std::string &start)
{
    return fixture::rest_of_card(sample_cards[index], start);
}

TEST_F(HdrtweakRun, ShowMode)
{
    write("img.fits", fixture::fits(sample_cards));
    struct Case { const char *field; std::string expected; };
    const Case cases[] = {
        {"naxis", "NAXIS = 2 / " + comment_of(1, "number") + "\n"},
        {"blankstr", "BLANKSTR = - / " + comment_of(3, "blank string") + "\n"},
        {"date-obs", "DATE-OBS = 2015-01-10T00:08:48\n"},
        {"date", "DATE = 2015-01-10T00:10:00 / " + comment_of(6, "file written") + "\n"},
        {"DATE-OBSERVED", "DATE-OBS = 2015-01-10T00:08:48\n"},  // first eight characters
        {"comment", "COMMENT = \n"},
        {"object", "OBJECT = M31 / " + comment_of(2, "target name") + "\n"},  // first match
        {"", " = \n"},                // eight blanks match the blank keyword; its parse is empty
        {"lower", ""},                // keys are upper case; the card is not
        {"simple", ""},               // card 1 is never matched
        {"end", ""},                  // nor the END card
        {"absent", ""},
    };
    for (const Case &c : cases) {
        ProgramResult r = run({"img.fits", c.field});
        EXPECT_EQ(r.exit_status, 0) << c.field;
        EXPECT_EQ(r.out, c.expected) << c.field;
    }
}

TEST_F(HdrtweakRun, FileLookupOrder)
{
    auto image = [](const std::string &object) {
        return fixture::fits({"OBJECT  = '" + object + "'"});
    };
    struct Case { std::vector<std::string> present; std::string expected_object; };
    const Case cases[] = {
        {{"img", "img.fts", "img.fth", "img.fits"}, "img"},
        {{"img.fts", "img.fth", "img.fits"}, "img.fts"},
        {{"img.fth", "img.fits"}, "img.fth"},
        {{"img.fits"}, "img.fits"},
    };
    for (const Case &c : cases) {
        for (const char *name : {"img", "img.fts", "img.fth", "img.fits"})
            fs::remove(dir / name);
        for (const std::string &name : c.present)
            write(name, image(name));
        ProgramResult r = run({"img", "object"});
        EXPECT_EQ(r.out, "OBJECT = " + c.expected_object + "\n");
        // edit mode finds the same file
        EXPECT_EQ(run({"img", "object", "changed"}).exit_status, 0);
        EXPECT_EQ(read(c.expected_object).substr(80, 80), card("OBJECT  = 'changed ' / "));
    }
    for (const char *name : {"img", "img.fts", "img.fth", "img.fits"})
        fs::remove(dir / name);
    ProgramResult missing = run({"img"});
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_EQ(missing.err, error_text("Error opening file: img.fits"));
}

TEST_F(HdrtweakRun, FirstCardErrors)
{
    write("empty.fits", "");
    write("short.fits", "SIMPLE  =  T");
    write("ext.fits", fixture::fits({}).replace(0, 8, "XTENSION"));
    write("simplex.fits", fixture::fits({"OBJECT  = 'ok'"}).replace(0, 8, "SIMPLEX "));
    struct Case { const char *file; int status; std::string err; };
    const Case cases[] = {
        {"empty.fits", 1, error_text("Error reading header file: empty.fits")},
        {"short", 1, error_text("Error reading header file: short.fits")},
        {"ext.fits", 1, error_text("Not a fits file: ext.fits")},
        {"simplex.fits", 0, ""},
    };
    for (const Case &c : cases) {
        ProgramResult r = run({c.file});
        EXPECT_EQ(r.exit_status, c.status) << c.file;
        EXPECT_EQ(r.err, c.err) << c.file;
    }
}

struct EditCase {
    std::string old_card;
    std::string value_argument;
    std::optional<std::string> answer;
    std::string expected_card;
    std::string expected_prompt;
};

TEST_F(HdrtweakRun, EditRewritesTheCardInPlace)
{
    const std::string data = fixture::data_pattern(3000);
    const EditCase cases[] = {
        {"EXPTIME =                   30 / exposure time", "2048", {},
         "EXPTIME =                 2048 / exposure time", ""},
        {"OBJECT  = 'M31'            / target", " ", "\n", "OBJECT  = 'M31     ' / target",
         "Enter new value for OBJECT         [M31]: "},
        {"OBJECT  = 'M31'            / target", " NGC 224", "\n",
         "OBJECT  = 'NGC 224 ' / target", "Enter new value for OBJECT         [NGC 224]: "},
        {"OBJECT  = 'M31'            / target", " ", "Andromeda galaxy\n",
         "OBJECT  = 'Andromeda galaxy' / target", "Enter new value for OBJECT         [M31]: "},
        {"OBJECT  = 'M31'            / target", " ", "", "OBJECT  = 'M31     ' / target",
         "Enter new value for OBJECT         [M31]: "},  // no line end: still an empty answer?
        {"OBJECT  = 'M31' / target", "", {}, "OBJECT  = '        ' / target", ""},
        {"EXPTIME =                   30 / exposure time", "", {},
         "EXPTIME =                      / exposure time", ""},
        {"OBJECT  = '    '           / blank", " ", "\n", "OBJECT  = '-       ' / blank",
         "Enter new value for OBJECT         [-]: "},
        {"NOCOM   =                    1", "2", {}, "NOCOM   =                    2 / ", ""},
        {"EMPTY   = ''", "abc", {}, "EMPTY   =                  abc / ", ""},
        {"EXPTIME =                   30 / exposure time",
         "1234567890123456789012345678901234567890", {},
         "EXPTIME = 1234567890123456789012345678901234567890 / exposure time", ""},
        {"EXPTIME =                   30 / exposure time plus a long comment to the end",
         "123456789012345678901234567890", {},
         "EXPTIME = 123456789012345678901234567890 / exposure time plus a long comment to t",
         ""},
    };
    for (const EditCase &c : cases) {
        std::vector<std::string> cards = {"BITPIX  =                    8", c.old_card,
                                          "AFTER   = 'unchanged'"};
        std::string before = fixture::fits(cards, data);
        write("edit.fits", before);
        std::string field = c.old_card.substr(0, c.old_card.find_first_of(" ="));
        ProgramResult r = run({"edit.fits", field, c.value_argument}, c.answer);
        if (c.answer && c.answer->empty()) {
            // end of input with nothing read: refused, nothing written
            EXPECT_EQ(r.exit_status, 1);
            EXPECT_EQ(r.err, error_text("No new value given: standard input ended"));
            EXPECT_EQ(read("edit.fits"), before);
            continue;
        }
        EXPECT_EQ(r.exit_status, 0) << c.old_card << r.err;
        EXPECT_EQ(r.out, c.expected_prompt);
        std::string after = read("edit.fits");
        std::string expected = before;
        expected.replace(160, 80, card(c.expected_card));
        EXPECT_EQ(after.substr(160, 80), card(c.expected_card)) << c.old_card;
        EXPECT_TRUE(after == expected) << c.old_card;
    }
}

TEST_F(HdrtweakRun, RefusedArgumentsLeaveTheFileAlone)
{
    const std::string before =
        fixture::fits({"OBJECT  = 'M31' / target", "EXPTIME =                   30 / s"});
    write("img.fits", before);
    struct Case { std::vector<std::string> args; std::optional<std::string> input; std::string err; };
    const std::string long_file(123, 'f');
    const Case cases[] = {
        {{long_file}, {}, error_text("File name too long (more than 122 characters): " + long_file)},
        {{"img.fits", std::string(24, 'K')}, {},
         error_text("Field name too long (more than 23 characters): " + std::string(24, 'K'))},
        {{"img.fits", "object", std::string(128, 'v')}, {},
         error_text("Value too long (more than 127 characters): " + std::string(128, 'v'))},
        {{"img.fits", "object", " "}, std::string(128, 'v') + "\n",
         error_text("Value too long (more than 127 characters)")},
        {{"img.fits", "object", std::string(69, 'v')}, {},
         error_text("New value does not fit in the card: " + std::string(69, 'v'))},
        {{"img.fits", "exptime", std::string(71, '9')}, {},
         error_text("New value does not fit in the card: " + std::string(71, '9'))},
        {{"img.fits", "newkey", std::string(71, 'n')}, {},
         error_text("New value does not fit in the card (more than 70 characters): " +
                    std::string(71, 'n'))},
        {{"img.fits", "end", "1"}, {},
         error_text("Refusing to write a keyword that reads as the END card: end")},
        {{"img.fits", "object", " "}, "",
         error_text("No new value given: standard input ended")},
    };
    for (const Case &c : cases) {
        ProgramResult r = run(c.args, c.input);
        EXPECT_EQ(r.exit_status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(read("img.fits"), before) << c.err;
    }
    // the limits themselves are accepted
    EXPECT_EQ(run({"img.fits", std::string(23, 'K')}).exit_status, 0);
    EXPECT_EQ(run({"img.fits", "object", std::string(68, 'v')}).exit_status, 0);
    EXPECT_EQ(read("img.fits").substr(80, 80), "OBJECT  = '" + std::string(68, 'v') + "'");
}

TEST_F(HdrtweakRun, AppendInPlaceWhenTheBlockHasRoom)
{
    // END at card 35: the new card becomes card 35, END card 36
    const std::string data = fixture::data_pattern(2880);
    std::string before = fixture::fits(fixture::filler_until_end_at(35), data);
    write("img.fits", before);
    ProgramResult r = run({"img.fits", "exptime", "30"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::string after = read("img.fits");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(34 * 80, 80), card("EXPTIME = 30"));
    EXPECT_EQ(after.substr(35 * 80, 80), card("END"));
    EXPECT_TRUE(after.substr(0, 34 * 80) == before.substr(0, 34 * 80));
    EXPECT_TRUE(after.substr(2880) == data);
    EXPECT_EQ(run({"img.fits", "exptime"}).out, "EXPTIME = 30\n");
}

TEST_F(HdrtweakRun, AppendThroughThePrompt)
{
    write("img.fits", fixture::fits({"OBJECT  = 'M31'"}));
    ProgramResult r = run({"img.fits", "observer", " "}, "\n");
    EXPECT_EQ(r.out, "Enter new value for OBSERVER         []: ");
    EXPECT_EQ(read("img.fits").substr(160, 80), card("OBSERVER="));
    r = run({"img.fits", "filter", " 'V'"}, "\n");
    EXPECT_EQ(r.out, "Enter new value for FILTER         ['V']: ");
    EXPECT_EQ(read("img.fits").substr(240, 80), card("FILTER  = 'V'"));
    EXPECT_EQ(read("img.fits").substr(320, 80), card("END"));
}

} // namespace
