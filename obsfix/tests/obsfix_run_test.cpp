// End-to-end runs of the built obsfix on real FITS files made with CFITSIO.
#include "run_program.h"

#include <fitsio.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ProgramResult;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

// One header keyword of a test image.
struct Key {
    std::string name;
    std::string value;   // string keywords: the text; numbers: the value as written
    bool is_string = true;
    std::string comment = "";
};

Key str(const std::string &name, const std::string &value) { return {name, value, true, "c"}; }
Key num(const std::string &name, const std::string &value) { return {name, value, false, "c"}; }

// Writes an 8x8 16-bit image with the given keywords, then blank-free
// COMMENT cards until the header holds `cards_before_end` cards (0: none
// added).  The pixel values follow a fixed pattern.
void make_image(const fs::path &path, const std::vector<Key> &keys, int cards_before_end = 0)
{
    int status = 0;
    fitsfile *file = nullptr;
    std::string name = "!" + path.string();
    fits_create_file(&file, name.c_str(), &status);
    long axes[2] = {8, 8};
    fits_create_img(file, SHORT_IMG, 2, axes, &status);
    for (const Key &k : keys) {
        char card[FLEN_CARD];
        if (k.is_string)
            std::snprintf(card, sizeof card, "%-8s= '%s' / %s", k.name.c_str(), k.value.c_str(),
                          k.comment.c_str());
        else
            std::snprintf(card, sizeof card, "%-8s= %20s / %s", k.name.c_str(), k.value.c_str(),
                          k.comment.c_str());
        fits_write_record(file, card, &status);
    }
    int existing = 0;
    fits_get_hdrspace(file, &existing, nullptr, &status);
    for (int i = existing; i < cards_before_end; ++i)
        fits_write_comment(file, "padding card", &status);
    short pixels[64];
    for (int i = 0; i < 64; ++i)
        pixels[i] = static_cast<short>(i * 517 - 9000);
    fits_write_img(file, TSHORT, 1, 64, pixels, &status);
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0) << "creating " << path;
}

struct KeyValue {
    bool found = false;
    std::string value;    // string keywords without quotes
    std::string comment;
};

KeyValue read_key(const fs::path &path, const char *keyword)
{
    KeyValue result;
    int status = 0;
    fitsfile *file = nullptr;
    fits_open_file(&file, path.c_str(), READONLY, &status);
    char value[FLEN_VALUE] = "", comment[FLEN_COMMENT] = "";
    fits_read_key_str(file, keyword, value, comment, &status);
    if (status == 0) {
        result.found = true;
        result.value = value;
        result.comment = comment;
    }
    int close_status = 0;
    fits_close_file(file, &close_status);
    return result;
}

// Bytes of the primary data unit.
std::string data_unit(const fs::path &path)
{
    int status = 0;
    fitsfile *file = nullptr;
    fits_open_file(&file, path.c_str(), READONLY, &status);
    LONGLONG header_start = 0, data_start = 0, data_end = 0;
    fits_get_hduaddrll(file, &header_start, &data_start, &data_end, &status);
    fits_close_file(file, &status);
    EXPECT_EQ(status, 0);
    return slurp(path).substr(static_cast<size_t>(data_start),
                              static_cast<size_t>(data_end - data_start));
}

class ObsfixRun : public ::testing::Test {
protected:
    ScratchDir dir;

    fs::path image(const std::string &name) { return dir / name; }
    void write_list(const std::string &text) { spit(dir / "list_all.dat", text); }
    ProgramResult run(const std::vector<std::string> &args = {})
    {
        testsupport::RunOptions options;
        options.cwd = dir.path();
        return testsupport::run_program(OBSFIX_BINARY, args, options);
    }
    static std::string status_line(const std::string &name, int status)
    {
        return "./obsfix file=" + name + " status=" + std::to_string(status) + "\n";
    }
};

struct RuleCase {
    const char *date;
    std::vector<Key> extra;
    const char *expected_date_obs;
    bool frame_comment_changed;
};

TEST_F(ObsfixRun, EachRuleWritesItsStart)
{
    const RuleCase cases[] = {
        // copy DATE-BEG from 2015-07-02 12:00 UT on, fractions kept
        {"2015-07-02T12:00:00", {str("DATE-BEG", "2015-07-02T11:58:00.123")},
         "2015-07-02T11:58:00.123", false},
        {"2020-05-01T03:00:00", {str("DATE-BEG", "2020-05-01T02:59:00")}, "2020-05-01T02:59:00",
         false},
        // computed start between 2014-09-26 0h and 2015-07-02 12h
        {"2015-07-02T11:59:59", {num("EXPOSURE", "30"), num("READTIME", "0")},
         "2015-07-02T11:59:29", true},
        {"2014-09-26T00:00:00", {num("EXPOSURE", "0"), num("READTIME", "0")},
         "2014-09-26T00:00:00", true},
        {"2015-01-10T00:10:00", {num("EXPOSURE", "30"), num("READTIME", "1.0E-05")},
         "2015-01-10T00:08:48", true},
        {"2015-01-01T00:00:10", {num("EXPOSURE", "20"), num("READTIME", "0")},
         "2014-12-31T23:59:50", true},
        {"2015-01-10T00:10:00", {num("EXPOSURE", "60.3"), num("READTIME", "0")},
         "2015-01-10T00:09:00", true},
        {"2015-01-10", {num("EXPOSURE", "10"), num("READTIME", "0")}, "2015-01-09T23:59:50",
         true},
        // READTIME written as a string still reads as a number
        {"2015-01-10T00:10:00", {num("EXPOSURE", "30"), str("READTIME", "1.0E-05")},
         "2015-01-10T00:08:48", true},
        // before 2014-09-26: DATE itself
        {"2014-09-25T23:59:59", {}, "2014-09-25T23:59:59", false},
        {"2014-09-25T23:59:59.25", {}, "2014-09-25T23:59:59.25", false},
        {"2010-03-04", {}, "2010-03-04", false},
    };
    std::string list;
    int n = 0;
    for (const RuleCase &c : cases) {
        std::vector<Key> keys = {str("DATE", c.date), str("FRAME", "frame time"),
                                 str("DATE-OBS", "old")};
        keys.insert(keys.end(), c.extra.begin(), c.extra.end());
        make_image(image("img" + std::to_string(n) + ".fits"), keys);
        list += "img" + std::to_string(n) + ".fits\n";
        ++n;
    }
    write_list(list);
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    std::string expected_out;
    for (int i = 0; i < n; ++i)
        expected_out += status_line("img" + std::to_string(i) + ".fits", 0);
    EXPECT_EQ(r.out, expected_out);
    for (int i = 0; i < n; ++i) {
        const RuleCase &c = cases[i];
        fs::path path = image("img" + std::to_string(i) + ".fits");
        KeyValue date_obs = read_key(path, "DATE-OBS");
        EXPECT_EQ(date_obs.value, c.expected_date_obs) << c.date;
        EXPECT_EQ(date_obs.comment, "UT exposure start time") << c.date;
        KeyValue frame = read_key(path, "FRAME");
        EXPECT_EQ(frame.value, "frame time") << c.date;
        EXPECT_EQ(frame.comment, c.frame_comment_changed ? "UT file save time" : "c") << c.date;
        EXPECT_EQ(read_key(path, "DATE").value, c.date);
    }
}

TEST_F(ObsfixRun, FailuresLeaveTheFileUnchanged)
{
    struct Case { const char *name; std::vector<Key> keys; int status; };
    const Case cases[] = {
        {"no_date_beg.fits", {str("DATE", "2016-01-01T00:00:00")}, KEY_NO_EXIST},
        {"no_date.fits", {str("DATE-BEG", "2016-01-01T00:00:00")}, KEY_NO_EXIST},
        {"no_readtime.fits", {str("DATE", "2015-01-01T00:00:00"), num("EXPOSURE", "1")},
         KEY_NO_EXIST},
        {"no_exposure.fits", {str("DATE", "2015-01-01T00:00:00"), num("READTIME", "0")},
         KEY_NO_EXIST},
        {"bad_readtime.fits",
         {str("DATE", "2015-01-01T00:00:00"), str("READTIME", "fast"), num("EXPOSURE", "1")},
         BAD_C2D},
        {"bad_exposure.fits",
         {str("DATE", "2015-01-01T00:00:00"), num("READTIME", "0"), str("EXPOSURE", "ten")},
         BAD_C2D},
        {"huge_readtime.fits",
         {str("DATE", "2015-01-01T00:00:00"), num("READTIME", "1E+20"), num("EXPOSURE", "1")},
         BAD_DATE},
        {"time_missing.fits", {str("DATE", "2015-01-10T00:10")}, BAD_DATE},
        {"not_a_date.fits", {str("DATE", "yesterday")}, BAD_DATE},
        {"nan_hour.fits", {str("DATE", "2015-01-10Tnan:00:00")}, BAD_DATE},
        {"bad_month.fits", {str("DATE", "2015-13-10T00:00:00")}, BAD_DATE},
        {"numeric_date.fits", {num("DATE", "2015")}, BAD_DATE},
    };
    std::string list;
    std::vector<std::string> before;
    for (const Case &c : cases) {
        std::vector<Key> keys = c.keys;
        keys.push_back(str("FRAME", "x"));
        keys.push_back(str("DATE-OBS", "untouched"));
        make_image(image(c.name), keys);
        before.push_back(slurp(image(c.name)));
        list += std::string(c.name) + "\n";
    }
    write_list(list);
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 0);
    std::string expected_out;
    for (const Case &c : cases) {
        int status = c.status;
        // CFITSIO reports a text that is no number as BAD_C2D or VALUE_UNDEFINED
        expected_out += status_line(c.name, status);
    }
    EXPECT_EQ(r.out, expected_out);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_TRUE(slurp(image(cases[i].name)) == before[i]) << cases[i].name;
}

TEST_F(ObsfixRun, MissingFrameFailsAfterDateObsIsWritten)
{
    make_image(image("a.fits"), {str("DATE", "2015-01-10T00:10:00"), num("EXPOSURE", "30"),
                                 num("READTIME", "1.0E-05")});
    write_list("a.fits\n");
    ProgramResult r = run();
    EXPECT_EQ(r.out, status_line("a.fits", KEY_NO_EXIST));
    EXPECT_EQ(read_key(image("a.fits"), "DATE-OBS").value, "2015-01-10T00:08:48");
    // the header is complete: CFITSIO reads every keyword back
    EXPECT_EQ(read_key(image("a.fits"), "EXPOSURE").value, "30");
}

TEST_F(ObsfixRun, MissingFileShowsTheOpenStatus)
{
    make_image(image("b.fits"), {str("DATE", "2010-01-01T00:00:00")});
    write_list("missing.fits\nb.fits\n");
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, status_line("missing.fits", FILE_NOT_OPENED) + status_line("b.fits", 0));
}

TEST_F(ObsfixRun, ListHandling)
{
    for (const char *name : {"a.fits", "b.fits", "Thref.fits", "m31_thref_01.fits",
                             "reference.fits", "c.fits"})
        make_image(image(name), {str("DATE", "2010-01-01T00:00:00")});
    std::string before_skipped = slurp(image("m31_thref_01.fits"));
    write_list("  a.fits\tm31_thref_01.fits\n\nreference.fits Thref.fits\r\nb.fits\nxy\nc.fits\n");
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, status_line("a.fits", 0) + status_line("Thref.fits", 0) +
                         status_line("b.fits", 0));
    EXPECT_NE(r.err.find("\"xy\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("rest of list_all.dat was not read"), std::string::npos) << r.err;
    EXPECT_FALSE(read_key(image("c.fits"), "DATE-OBS").found);
    EXPECT_TRUE(slurp(image("m31_thref_01.fits")) == before_skipped);
}

TEST_F(ObsfixRun, EmptyListsAndLastLines)
{
    make_image(image("a.fits"), {str("DATE", "2010-01-01T00:00:00")});
    for (const char *list : {"", " \n\t\n"}) {
        write_list(list);
        ProgramResult r = run();
        EXPECT_EQ(r.exit_status, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
    for (const char *list : {"a.fits", "a.fits\n", "a.fits\n\n"}) {
        write_list(list);
        EXPECT_EQ(run().out, status_line("a.fits", 0)) << list;
    }
}

TEST_F(ObsfixRun, OverlongNamesAreReportedAndSkipped)
{
    make_image(image("a.fits"), {str("DATE", "2010-01-01T00:00:00")});
    std::string long_name(250, 'q');
    std::string name_199(199, 'r');
    write_list(long_name + "\n" + std::string(200, 's') + " " + name_199 + "\na.fits\n");
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, status_line(name_199, FILE_NOT_OPENED) + status_line("a.fits", 0));
    EXPECT_NE(r.err.find("qqqqqqqqqq"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ssssssssss"), std::string::npos) << r.err;
}

TEST_F(ObsfixRun, UnreadableListIsAnError)
{
    ProgramResult r = run();
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("list_all.dat"), std::string::npos);
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;

    fs::create_directory(dir / "list_all.dat");
    r = run();
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.err.find("list_all.dat"), std::string::npos);
}

TEST_F(ObsfixRun, HelpAndVersionTouchNothing)
{
    make_image(image("a.fits"), {str("DATE", "2010-01-01T00:00:00")});
    write_list("a.fits\n");
    std::string before = slurp(image("a.fits"));
    ProgramResult help = run({"--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("usage: obsfix"), std::string::npos);
    ProgramResult version = run({"--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out.rfind("obsfix ", 0), 0u);
    EXPECT_TRUE(slurp(image("a.fits")) == before);

    ProgramResult ignored = run({"whatever", "-x"});
    EXPECT_EQ(ignored.out, status_line("a.fits", 0));
}

TEST_F(ObsfixRun, FullHeaderGrowsAndDataComeThrough)
{
    // 35 cards and END fill the first block exactly
    make_image(image("full.fits"), {str("DATE", "2010-01-01T00:00:00")}, 35);
    std::string data_before = data_unit(image("full.fits"));
    ASSERT_EQ(slurp(image("full.fits")).size(), 2u * 2880);
    write_list("full.fits\n");
    ProgramResult r = run();
    EXPECT_EQ(r.out, status_line("full.fits", 0));
    EXPECT_EQ(read_key(image("full.fits"), "DATE-OBS").value, "2010-01-01T00:00:00");
    EXPECT_EQ(slurp(image("full.fits")).size(), 3u * 2880);
    EXPECT_TRUE(data_unit(image("full.fits")) == data_before);
}

TEST_F(ObsfixRun, UnwritableStdoutIsAnError)
{
    make_image(image("a.fits"), {str("DATE", "2010-01-01T00:00:00")});
    write_list("a.fits\n");
    testsupport::RunOptions options;
    options.cwd = dir.path();
    options.in_child = [] {
        int full = open("/dev/full", O_WRONLY);
        if (full >= 0)
            dup2(full, 1);
    };
    ProgramResult r = testsupport::run_program(OBSFIX_BINARY, {}, options);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.err.find("status lines"), std::string::npos) << r.err;
}

} // namespace
