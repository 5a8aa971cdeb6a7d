// Growing a full header by one block: the result, and what happens to the
// user's file when something goes wrong.
#include "fits_fixture.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fixture::card;
using testsupport::ProgramResult;
using testsupport::ScratchDir;
using testsupport::slurp;
using testsupport::spit;

ProgramResult run_in(const fs::path &cwd, const std::vector<std::string> &args,
                     std::function<void()> in_child = {})
{
    testsupport::RunOptions options;
    options.cwd = cwd;
    options.in_child = std::move(in_child);
    return testsupport::run_program(HDRTWEAK_BINARY, args, options);
}

// The file as it must be after appending `new_card` to a header whose END is
// card 36 * k.
std::string grown(const std::string &before, size_t header_blocks, const std::string &new_card)
{
    size_t end_offset = header_blocks * 2880 - 80;
    std::string end_block = card("END");
    end_block.resize(2880, ' ');
    return before.substr(0, end_offset) + card(new_card) + end_block +
           before.substr(header_blocks * 2880);
}

struct GrowthCase {
    const char *what;
    int end_card_number;
    size_t data_length;
};

TEST(HeaderGrowth, FullBlockGrowsByOneBlock)
{
    const GrowthCase cases[] = {
        {"END at card 36, data of whole blocks", 36, 2 * 2880},
        {"header only", 36, 0},
        {"data not a multiple of 2880", 36, 1000},
        {"two-block header", 72, 5000},
    };
    for (const GrowthCase &c : cases) {
        ScratchDir dir;
        std::string before =
            fixture::fits(fixture::filler_until_end_at(c.end_card_number),
                          fixture::data_pattern(c.data_length));
        spit(dir / "img.fits", before);
        ProgramResult r = run_in(dir.path(), {"img.fits", "exptime", "30"});
        EXPECT_EQ(r.exit_status, 0) << c.what << r.err;
        std::string after = slurp(dir / "img.fits");
        EXPECT_EQ(after.size(), before.size() + 2880) << c.what;
        EXPECT_TRUE(after == grown(before, static_cast<size_t>(c.end_card_number) / 36,
                                   "EXPTIME = 30"))
            << c.what;
        EXPECT_FALSE(fs::exists(dir / "hdrtweak.___")) << c.what;
        EXPECT_EQ(run_in(dir.path(), {"img.fits", "exptime"}).out, "EXPTIME = 30\n");
    }
}

TEST(HeaderGrowth, ExistingTemporaryIsOverwrittenAndGone)
{
    ScratchDir dir;
    std::string before = fixture::fits(fixture::filler_until_end_at(36), "data");
    spit(dir / "img.fits", before);
    spit(dir / "hdrtweak.___", std::string(100000, 'x'));  // as a killed run leaves it
    ProgramResult r = run_in(dir.path(), {"img.fits", "exptime", "30"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(slurp(dir / "img.fits") == grown(before, 1, "EXPTIME = 30"));
    EXPECT_FALSE(fs::exists(dir / "hdrtweak.___"));
}

TEST(HeaderGrowth, KeepsPermissionBits)
{
    ScratchDir dir;
    spit(dir / "img.fits", fixture::fits(fixture::filler_until_end_at(36), "data"));
    for (mode_t mode : {0640, 0600, 0664, 0604}) {
        ASSERT_EQ(chmod((dir / "img.fits").c_str(), mode), 0);
        ASSERT_EQ(run_in(dir.path(), {"img.fits", "key" + std::to_string(mode), "1"}).exit_status, 0);
        // pad the header full again for the next growth
        std::string bytes = slurp(dir / "img.fits");
        struct stat st;
        ASSERT_EQ(stat((dir / "img.fits").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        (void)bytes;
        spit(dir / "img.fits", fixture::fits(fixture::filler_until_end_at(36), "data"));
    }
}

TEST(HeaderGrowth, KeepsOwnerAndGroup)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give the file another owner";
    ScratchDir dir;
    spit(dir / "img.fits", fixture::fits(fixture::filler_until_end_at(36), "data"));
    ASSERT_EQ(chown((dir / "img.fits").c_str(), 4321, 8765), 0);
    ASSERT_EQ(run_in(dir.path(), {"img.fits", "exptime", "30"}).exit_status, 0);
    struct stat st;
    ASSERT_EQ(stat((dir / "img.fits").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    EXPECT_EQ(st.st_size, 2 * 2880 + 4);
}

TEST(HeaderGrowth, ThroughASymbolicLinkTheLinkStays)
{
    ScratchDir dir;
    fs::create_directory(dir / "store");
    std::string before = fixture::fits(fixture::filler_until_end_at(36), "data");
    spit(dir / "store" / "real.fits", before);
    fs::create_symlink("store/real.fits", dir / "link.fits");
    ProgramResult r = run_in(dir.path(), {"link.fits", "exptime", "30"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir / "link.fits"));
    EXPECT_EQ(fs::read_symlink(dir / "link.fits"), "store/real.fits");
    EXPECT_TRUE(slurp(dir / "store" / "real.fits") == grown(before, 1, "EXPTIME = 30"));
}

TEST(HeaderGrowth, FileOnAnotherFileSystem)
{
    struct statfs shm_fs, tmp_fs;
    if (statfs("/dev/shm", &shm_fs) != 0 || statfs("/tmp", &tmp_fs) != 0)
        GTEST_SKIP() << "no /dev/shm";
    struct stat shm_st, tmp_st;
    stat("/dev/shm", &shm_st);
    stat("/tmp", &tmp_st);
    if (shm_st.st_dev == tmp_st.st_dev)
        GTEST_SKIP() << "/dev/shm and /tmp are one file system here";
    ScratchDir work;
    ScratchDir elsewhere("/dev/shm");
    std::string before = fixture::fits(fixture::filler_until_end_at(36),
                                       fixture::data_pattern(10000));
    spit(elsewhere / "img.fits", before);
    ASSERT_EQ(chmod((elsewhere / "img.fits").c_str(), 0640), 0);
    ProgramResult r = run_in(work.path(), {(elsewhere / "img.fits").string(), "exptime", "30"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_TRUE(slurp(elsewhere / "img.fits") == grown(before, 1, "EXPTIME = 30"));
    struct stat st;
    ASSERT_EQ(stat((elsewhere / "img.fits").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(fs::exists(work / "hdrtweak.___"));
    size_t files = 0;
    for (auto &entry : fs::directory_iterator(elsewhere.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST(HeaderGrowth, WriteFailureLeavesTheFileIntact)
{
    ScratchDir dir;
    std::string before = fixture::fits(fixture::filler_until_end_at(36),
                                       fixture::data_pattern(200000));
    spit(dir / "img.fits", before);
    // limits above the few bytes that stderr takes; the copy is larger
    for (rlim_t limit : {rlim_t{1000}, rlim_t{2900}, rlim_t{5800}, rlim_t{100000}}) {
        ProgramResult r = run_in(dir.path(), {"img.fits", "exptime", "30"}, [limit] {
            struct rlimit rl = {limit, limit};
            setrlimit(RLIMIT_FSIZE, &rl);
        });
        EXPECT_EQ(r.exit_status, 1) << limit;
        EXPECT_EQ(r.err, "Error writing/renaming temporary file: hdrtweak.___\nExiting ...\n")
            << limit;
        EXPECT_TRUE(slurp(dir / "img.fits") == before) << limit;
        EXPECT_FALSE(fs::exists(dir / "hdrtweak.___")) << limit;
    }
}

// The temporary file cannot be made: a directory of its name, or a symbolic
// link there, which must never be followed to overwrite what it points at.
TEST(HeaderGrowth, TemporaryCannotBeCreated)
{
    ScratchDir dir;
    std::string before = fixture::fits(fixture::filler_until_end_at(36), "data");
    spit(dir / "img.fits", before);
    spit(dir / "victim", "precious");
    for (int attempt = 0; attempt < 2; ++attempt) {
        fs::remove_all(dir / "hdrtweak.___");
        if (attempt == 0)
            fs::create_directory(dir / "hdrtweak.___");
        else
            fs::create_symlink("victim", dir / "hdrtweak.___");
        ProgramResult r = run_in(dir.path(), {"img.fits", "exptime", "30"});
        EXPECT_EQ(r.exit_status, 1) << attempt;
        EXPECT_EQ(r.err, "Error creating temporary file\nExiting ...\n") << attempt;
        EXPECT_TRUE(slurp(dir / "img.fits") == before) << attempt;
    }
    EXPECT_EQ(slurp(dir / "victim"), "precious");
}

// Two runs in one working directory, each growing its own file: both files
// come out right, whichever run gets the temporary file first.
TEST(HeaderGrowth, ConcurrentRunsDoNotMix)
{
    ScratchDir dir;
    const int runs = 6;
    std::vector<std::string> before;
    for (int i = 0; i < runs; ++i) {
        before.push_back(fixture::fits(fixture::filler_until_end_at(36),
                                       fixture::data_pattern(3'000'000 + i * 1000)));
        spit(dir / ("img" + std::to_string(i) + ".fits"), before.back());
    }
    std::vector<pid_t> children;
    for (int i = 0; i < runs; ++i) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ProgramResult r = run_in(dir.path(), {"img" + std::to_string(i) + ".fits",
                                                  "run" + std::to_string(i), "1"});
            _exit(r.exit_status == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int i = 0; i < runs; ++i)
        EXPECT_TRUE(slurp(dir / ("img" + std::to_string(i) + ".fits")) ==
                    grown(before[i], 1, "RUN" + std::to_string(i) + "    = 1"))
            << i;
    EXPECT_FALSE(fs::exists(dir / "hdrtweak.___"));
}

} // namespace
