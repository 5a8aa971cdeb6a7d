// hdrtweak on files and arguments no well-behaved writer produces.
#include "fits_fixture.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixture::card;
using testsupport::ProgramResult;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

class HdrtweakHostile : public ::testing::Test {
protected:
    ScratchDir dir;
    ProgramResult run(const std::vector<std::string> &args)
    {
        testsupport::RunOptions options;
        options.cwd = dir.path();
        return testsupport::run_program(HDRTWEAK_BINARY, args, options);
    }
};

TEST_F(HdrtweakHostile, NulAndNonAsciiBytesInCards)
{
    std::string nul_card = card("NULCARD = 'abc' / comment");
    nul_card[13] = '\0';  // inside the value
    std::string high_card = card("HIGH    = 'caf\xc3\xa9' / \xff\xfe bytes");
    std::string bytes = fixture::fits({nul_card, high_card, "AFTER   =                    1"});
    spit(dir / "img.fits", bytes);

    ProgramResult list = run({"img.fits"});
    EXPECT_EQ(list.exit_status, 0);
    // a card is listed as text: up to its first NUL byte
    EXPECT_EQ(list.out, std::string("NULCARD = 'ab\n") + high_card + "\n" +
                            card("AFTER   =                    1") + "\n");

    ProgramResult show = run({"img.fits", "high"});
    EXPECT_EQ(show.exit_status, 0);
    EXPECT_EQ(show.out, "HIGH = caf\xc3\xa9\n");  // the comment stops at the first non-ASCII byte

    // the text up to the NUL reads as a string value without its closing quote
    ProgramResult edit = run({"img.fits", "nulcard", "xyz"});
    EXPECT_EQ(edit.exit_status, 0);
    EXPECT_EQ(slurp(dir / "img.fits").substr(80, 80), card("NULCARD = 'xyz     ' / "));
}

TEST_F(HdrtweakHostile, FileEndingInsideTheFirstCard)
{
    spit(dir / "img.fits", "SIMPLE  =                    T / but only forty-");
    ProgramResult r = run({"img.fits"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, "Error reading header file: img.fits\nExiting ...\n");
}

TEST_F(HdrtweakHostile, HugeHeader)
{
    // END at card 36 * 140 = 5040: listing, a lookup at the far end, growth
    std::vector<std::string> cards = fixture::filler_until_end_at(5040);
    cards.back() = "LASTKEY = 'far away'";
    std::string before = fixture::fits(cards, fixture::data_pattern(5000));
    spit(dir / "img.fits", before);
    ProgramResult list = run({"img.fits"});
    EXPECT_EQ(list.exit_status, 0);
    EXPECT_EQ(list.out.size(), 5038u * 81);
    EXPECT_EQ(run({"img.fits", "lastkey"}).out, "LASTKEY = far away\n");
    ProgramResult append = run({"img.fits", "newkey", "1"});
    EXPECT_EQ(append.exit_status, 0) << append.err;
    std::string after = slurp(dir / "img.fits");
    EXPECT_EQ(after.size(), before.size() + 2880);
    EXPECT_EQ(after.substr(5039 * 80, 80), card("NEWKEY  = 1"));
    EXPECT_EQ(after.substr(5040 * 80, 80), card("END"));
    EXPECT_TRUE(after.substr((5040 + 36) * 80) == before.substr(5040 * 80));
}

TEST_F(HdrtweakHostile, ArgumentsAtTheirLimits)
{
    const std::string name_122(122, 'n');
    ProgramResult at_limit = run({name_122});
    EXPECT_EQ(at_limit.exit_status, 1);
    EXPECT_EQ(at_limit.err, "Error opening file: " + name_122 + ".fits\nExiting ...\n");

    spit(dir / "img.fits", fixture::fits({"OBJECT  = 'M31' / target"}));
    const std::string field_23 = "OBJECT" + std::string(17, 'X');  // matches by its first eight
    EXPECT_EQ(run({"img.fits", field_23}).out, "");
    ProgramResult value_127 = run({"img.fits", "object", std::string(127, 'v')});
    EXPECT_EQ(value_127.exit_status, 1);  // a value that long cannot fit a card
    EXPECT_EQ(value_127.err, "New value does not fit in the card: " + std::string(127, 'v') +
                                 "\nExiting ...\n");
}

TEST_F(HdrtweakHostile, OverlongKeywordRunIsNotRewritten)
{
    const std::string odd = "OBJECTXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX= 'value' / comment";
    std::string before = fixture::fits({odd});
    spit(dir / "img.fits", before);
    EXPECT_EQ(run({"img.fits", "objectxx"}).exit_status, 0);
    ProgramResult edit = run({"img.fits", "objectxx", "new"});
    EXPECT_EQ(edit.exit_status, 1);
    EXPECT_EQ(edit.err, "Keyword of the card too long to rewrite: img.fits\nExiting ...\n");
    EXPECT_EQ(slurp(dir / "img.fits"), before);
}

TEST_F(HdrtweakHostile, DirectoriesAndUnreadableNames)
{
    std::filesystem::create_directory(dir / "adir");
    ProgramResult list = run({"adir"});
    EXPECT_EQ(list.exit_status, 1);
    EXPECT_EQ(list.err, "Error reading header file: adir\nExiting ...\n");
    ProgramResult edit = run({"adir", "key", "1"});
    EXPECT_EQ(edit.exit_status, 1);
    EXPECT_EQ(edit.err, "Error opening file: adir.fits\nExiting ...\n");
}

} // namespace
