// A header that must grow to take DATE-OBS: the file is replaced whole, so
// a run killed at any moment leaves the old file or the repaired one.
#include "run_program.h"

#include <fitsio.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

// A 16-bit image of nx * ny pixels whose header is full: END is card 36.
void make_full_header_image(const fs::path &path, long nx, long ny)
{
    int status = 0;
    fitsfile *file = nullptr;
    std::string name = "!" + path.string();
    long axes[2] = {nx, ny};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, SHORT_IMG, 2, axes, &status);
    fits_update_key(file, TSTRING, "DATE", const_cast<char *>("2010-01-01T00:00:00"), "",
                    &status);
    int existing = 0;
    fits_get_hdrspace(file, &existing, nullptr, &status);
    for (int i = existing; i < 35; ++i)
        fits_write_comment(file, "padding", &status);
    std::vector<short> row(static_cast<size_t>(nx));
    for (long y = 0; y < ny; ++y) {
        for (long x = 0; x < nx; ++x)
            row[static_cast<size_t>(x)] = static_cast<short>((x * 31 + y * 17) % 30000);
        fits_write_img(file, TSHORT, y * nx + 1, nx, row.data(), &status);
    }
    fits_close_file(file, &status);
    ASSERT_EQ(status, 0);
}

pid_t start_obsfix(const fs::path &cwd)
{
    return testsupport::start_program(cwd, {OBSFIX_BINARY});
}

using testsupport::wait_for;

TEST(ObsfixSafeGrowth, KeepsModeLinkAndLeavesNothingBehind)
{
    ScratchDir dir;
    fs::create_directory(dir / "store");
    make_full_header_image(dir / "store" / "real.fits", 64, 64);
    ASSERT_EQ(chmod((dir / "store" / "real.fits").c_str(), 0640), 0);
    fs::create_symlink("store/real.fits", dir / "link.fits");
    spit(dir / "list_all.dat", "link.fits\n");
    testsupport::RunOptions options;
    options.cwd = dir.path();
    auto r = testsupport::run_program(OBSFIX_BINARY, {}, options);
    EXPECT_EQ(r.out, "./obsfix file=link.fits status=0\n");
    EXPECT_TRUE(fs::is_symlink(dir / "link.fits"));
    struct stat st;
    ASSERT_EQ(stat((dir / "store" / "real.fits").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_size, 5 * 2880);  // one header block more than the 4 it had
    size_t entries = 0;
    for (auto &entry : fs::directory_iterator(dir / "store")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

// Where no copy can be made beside the file, it is repaired in place as
// before, with a note on stderr.
TEST(ObsfixSafeGrowth, ReadOnlyDirectoryFallsBackToInPlace)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write into any directory";
    ScratchDir dir;
    fs::create_directory(dir / "images");
    make_full_header_image(dir / "images" / "img.fits", 64, 64);
    spit(dir / "list_all.dat", "images/img.fits\n");
    fs::permissions(dir / "images", fs::perms::owner_read | fs::perms::owner_exec);
    testsupport::RunOptions options;
    options.cwd = dir.path();
    auto r = testsupport::run_program(OBSFIX_BINARY, {}, options);
    fs::permissions(dir / "images", fs::perms::owner_all);
    EXPECT_EQ(r.out, "./obsfix file=images/img.fits status=0\n");
    EXPECT_NE(r.err.find("updating it in place"), std::string::npos) << r.err;
    EXPECT_EQ(fs::file_size(dir / "images" / "img.fits"), 5u * 2880);
}

TEST(ObsfixSafeGrowth, KilledRunLeavesOldOrNewFile)
{
    ScratchDir dir;
    make_full_header_image(dir / "pristine.fits", 4096, 3072);  // 24 MiB of data
    spit(dir / "list_all.dat", "img.fits\n");
    fs::copy_file(dir / "pristine.fits", dir / "img.fits");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(WEXITSTATUS(wait_for(start_obsfix(dir.path()))), 0);
    auto whole_run = std::chrono::steady_clock::now() - started;
    const std::string repaired = slurp(dir / "img.fits");
    const std::string pristine = slurp(dir / "pristine.fits");
    ASSERT_EQ(repaired.size(), pristine.size() + 2880);

    const int kills = 50;
    int old_seen = 0;
    for (int i = 0; i < kills; ++i) {
        fs::copy_file(dir / "pristine.fits", dir / "img.fits",
                      fs::copy_options::overwrite_existing);
        pid_t pid = start_obsfix(dir.path());
        std::this_thread::sleep_for(whole_run * i * 2 / kills);
        kill(pid, SIGKILL);
        wait_for(pid);
        std::string after = slurp(dir / "img.fits");
        ASSERT_TRUE(after == pristine || after == repaired) << "kill " << i;
        old_seen += after == pristine;
    }
    EXPECT_GT(old_seen, 0);
}

} // namespace
