// obsfix on lists and files that are not what it expects.
#include "run_program.h"

#include <fitsio.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ProgramResult;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

void make_image(const fs::path &path, const char *date)
{
    int status = 0;
    fitsfile *file = nullptr;
    std::string name = "!" + path.string();
    long axes[2] = {4, 4};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, SHORT_IMG, 2, axes, &status);
    fits_update_key(file, TSTRING, "DATE", const_cast<char *>(date), "file written", &status);
    short pixels[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    fits_write_img(file, TSHORT, 1, 16, pixels, &status);
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0);
}

ProgramResult run_in(const fs::path &dir)
{
    testsupport::RunOptions options;
    options.cwd = dir;
    return testsupport::run_program(OBSFIX_BINARY, {}, options);
}

// Status of each name's line, in order.
std::vector<std::pair<std::string, int>> status_lines(const std::string &out)
{
    std::vector<std::pair<std::string, int>> lines;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        std::string line = out.substr(start, end - start);
        size_t file = line.find("file="), status = line.rfind(" status=");
        EXPECT_EQ(line.rfind("./obsfix file=", 0), 0u) << line;
        lines.emplace_back(line.substr(file + 5, status - file - 5),
                           std::stoi(line.substr(status + 8)));
        start = end + 1;
    }
    return lines;
}

TEST(ObsfixHostile, EveryNameGetsItsStatusAndNothingElseChanges)
{
    ScratchDir dir;
    make_image(dir / "good.fits", "2010-01-01T00:00:00");
    make_image(dir / "odd\x01\xff-name.fits", "2010-01-01T00:00:00");
    spit(dir / "text.fits", "this is not a FITS file at all\n");
    spit(dir / "empty.fits", "");
    std::string whole = slurp(dir / "good.fits");
    spit(dir / "truncated.fits", whole.substr(0, 1000));
    fs::create_directory(dir / "adir.fits");
    make_image(dir / "bystander.fits", "2010-01-01T00:00:00");
    make_image(dir / "with blank.fits", "2010-01-01T00:00:00");  // a list cannot name it

    std::map<std::string, std::string> before;
    for (const char *name : {"text.fits", "empty.fits", "truncated.fits", "bystander.fits",
                             "with blank.fits"})
        before[name] = slurp(dir / name);
    spit(dir / "list_all.dat",
         "good.fits text.fits empty.fits truncated.fits adir.fits odd\x01\xff-name.fits "
         "good.fits missing.fits with blank.fits\n");
    ProgramResult r = run_in(dir.path());
    EXPECT_EQ(r.exit_status, 0);
    auto lines = status_lines(r.out);
    ASSERT_EQ(lines.size(), 10u) << r.out;
    const char *expected_names[] = {"good.fits", "text.fits", "empty.fits", "truncated.fits",
                                    "adir.fits", "odd\x01\xff-name.fits", "good.fits",
                                    "missing.fits", "with", "blank.fits"};
    const bool expected_ok[] = {true, false, false, false, false, true, true, false, false, false};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].first, expected_names[i]);
        EXPECT_EQ(lines[i].second == 0, expected_ok[i]) << lines[i].first << " " << lines[i].second;
    }
    for (auto &[name, bytes] : before)
        EXPECT_TRUE(slurp(dir / name) == bytes) << name;
    EXPECT_TRUE(fs::is_directory(dir / "adir.fits"));
}

// Ten thousand names: a line each, and the run's memory does not grow with
// the list.
TEST(ObsfixHostile, LongListInFlatMemory)
{
    ScratchDir dir;
    const int files = 100;
    for (int i = 0; i < files; ++i)
        make_image(dir / ("img" + std::to_string(i) + ".fits"), "2010-01-01T00:00:00");
    auto list_of = [&](int names) {
        std::string list;
        for (int i = 0; i < names; ++i)
            list += "img" + std::to_string(i % files) + ".fits\n";
        return list;
    };
    spit(dir / "list_all.dat", list_of(1000));
    ProgramResult short_run = run_in(dir.path());
    spit(dir / "list_all.dat", list_of(10000));
    ProgramResult long_run = run_in(dir.path());
    EXPECT_EQ(long_run.exit_status, 0);
    auto lines = status_lines(long_run.out);
    ASSERT_EQ(lines.size(), 10000u);
    for (auto &[name, status] : lines)
        ASSERT_EQ(status, 0) << name;
    std::printf("peak RSS: %ld KiB for 1000 names, %ld KiB for 10000\n", short_run.max_rss_kib,
                long_run.max_rss_kib);
    RecordProperty("rss_1000_kib", std::to_string(short_run.max_rss_kib));
    RecordProperty("rss_10000_kib", std::to_string(long_run.max_rss_kib));
#if !defined(__SANITIZE_ADDRESS__)
    // (AddressSanitizer's quarantine of freed memory grows with every file)
    EXPECT_LT(long_run.max_rss_kib, short_run.max_rss_kib + short_run.max_rss_kib / 10 + 1024);
#endif
}

} // namespace
