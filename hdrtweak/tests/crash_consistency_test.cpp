// hdrtweak killed with SIGKILL at many moments while it grows the header of
// a large file: the file under its name is always the old file or the fully
// grown one, and a later run works.
#include "fits_fixture.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

pid_t start_hdrtweak(const fs::path &cwd, const char *file, const char *field, const char *value)
{
    return testsupport::start_program(cwd, {HDRTWEAK_BINARY, file, field, value});
}

using testsupport::wait_for;

TEST(CrashConsistency, KilledGrowthLeavesOldOrNewFile)
{
    ScratchDir dir;
    const std::string pristine =
        fixture::fits(fixture::filler_until_end_at(36), fixture::data_pattern(24u << 20));
    std::string grown = pristine.substr(0, 2880 - 80) + fixture::card("EXPTIME = 30");
    std::string end_block = fixture::card("END");
    end_block.resize(2880, ' ');
    grown += end_block + pristine.substr(2880);
    spit(dir / "pristine.fits", pristine);

    // How long a whole run takes here (sanitizers and disks differ).
    fs::copy_file(dir / "pristine.fits", dir / "img.fits", fs::copy_options::overwrite_existing);
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(WEXITSTATUS(wait_for(start_hdrtweak(dir.path(), "img.fits", "exptime", "30"))), 0);
    auto whole_run = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(slurp(dir / "img.fits") == grown);

    const int kills = 60;
    int old_seen = 0, new_seen = 0, killed_mid_copy = 0;
    for (int i = 0; i < kills; ++i) {
        fs::copy_file(dir / "pristine.fits", dir / "img.fits",
                      fs::copy_options::overwrite_existing);
        pid_t pid = start_hdrtweak(dir.path(), "img.fits", "exptime", "30");
        // moments spread over twice the measured run: runs here vary a lot
        // in length, with the disk's writeback of the earlier copies
        std::this_thread::sleep_for(whole_run * i * 2 / kills);
        kill(pid, SIGKILL);
        wait_for(pid);
        if (fs::exists(dir / "hdrtweak.___"))
            ++killed_mid_copy;

        std::string after = slurp(dir / "img.fits");
        bool is_old = after == pristine, is_new = after == grown;
        ASSERT_TRUE(is_old || is_new) << "kill " << i << ": file of " << after.size() << " bytes";
        (is_old ? old_seen : new_seen)++;

        // a later run completes the change, or appends after it
        testsupport::RunOptions options;
        options.cwd = dir.path();
        auto later = testsupport::run_program(HDRTWEAK_BINARY,
                                              {"img.fits", is_old ? "exptime" : "later",
                                               is_old ? "30" : "1"},
                                              options);
        ASSERT_EQ(later.exit_status, 0) << "kill " << i << ": " << later.err;
        if (is_old) {
            ASSERT_TRUE(slurp(dir / "img.fits") == grown) << "kill " << i;
        }
    }
    RecordProperty("old", old_seen);
    RecordProperty("new", new_seen);
    RecordProperty("killed_mid_copy", killed_mid_copy);
    std::printf("kills: %d left the old file, %d the new one; %d during the copy\n", old_seen,
                new_seen, killed_mid_copy);
    EXPECT_GT(old_seen, 0);
    EXPECT_GT(killed_mid_copy, 0);
    // nothing left behind but, at most, a stale temporary
    for (auto &entry : fs::directory_iterator(dir.path())) {
        std::string name = entry.path().filename();
        EXPECT_TRUE(name == "pristine.fits" || name == "img.fits" || name == "hdrtweak.___")
            << name;
    }
}

} // namespace
