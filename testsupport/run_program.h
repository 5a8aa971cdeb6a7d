// Runs a built program as a child process, the way a user's shell would,
// and collects what it wrote and how it ended.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramResult {
    int exit_status = -1;  // -1 when the program did not exit normally
    int signal = 0;        // the signal that ended it, if any
    std::string out;
    std::string err;
    long max_rss_kib = 0;  // the child's peak resident memory
};

struct RunOptions {
    std::filesystem::path cwd;
    std::optional<std::string> stdin_text;      // nothing: stdin is /dev/null
    std::function<void()> in_child;             // runs in the child before exec
};

inline std::string slurp(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void spit(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

inline ProgramResult run_program(const std::string &program, const std::vector<std::string> &args,
                                 const RunOptions &options = {})
{
    namespace fs = std::filesystem;
    char dir_template[] = "/tmp/run_program.XXXXXX";
    if (mkdtemp(dir_template) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    fs::path io_dir = dir_template;
    fs::path in_path = io_dir / "in", out_path = io_dir / "out", err_path = io_dir / "err";
    if (options.stdin_text)
        spit(in_path, *options.stdin_text);

    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        int in = open(options.stdin_text ? in_path.c_str() : "/dev/null", O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0)
            _exit(126);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0)
            _exit(126);
        if (options.in_child)
            options.in_child();
        // FITSTOOLS_TOOL_WRAPPER (e.g. "valgrind -q --error-exitcode=99")
        // runs the program under a checker.
        std::vector<std::string> wrapper;
        if (const char *w = std::getenv("FITSTOOLS_TOOL_WRAPPER")) {
            std::string word;
            for (const char *c = w;; ++c) {
                if (*c == ' ' || *c == '\0') {
                    if (!word.empty())
                        wrapper.push_back(word);
                    word.clear();
                    if (*c == '\0')
                        break;
                } else {
                    word += *c;
                }
            }
        }
        std::vector<char *> argv;
        for (std::string &w : wrapper)
            argv.push_back(w.data());
        argv.push_back(const_cast<char *>(program.c_str()));
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int wait_status = 0;
    struct rusage usage {};
    while (wait4(pid, &wait_status, 0, &usage) < 0)
        if (errno != EINTR)
            throw std::runtime_error("wait4 failed");

    ProgramResult result;
    result.max_rss_kib = usage.ru_maxrss;
    if (WIFEXITED(wait_status))
        result.exit_status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status))
        result.signal = WTERMSIG(wait_status);
    result.out = slurp(out_path);
    result.err = slurp(err_path);
    fs::remove_all(io_dir);
    return result;
}

// Starts a program in `cwd` with its standard streams on /dev/null and does
// not wait: for tests that stop it themselves.
inline pid_t start_program(const std::filesystem::path &cwd, const std::vector<std::string> &args)
{
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        int null = open("/dev/null", O_RDWR);
        if (null < 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 || dup2(null, 2) < 0)
            _exit(126);
        std::vector<char *> argv;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Waits for a child and returns its wait status.
inline int wait_for(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
        ;
    return status;
}

// A scratch directory that lives as long as the object.
class ScratchDir {
public:
    ScratchDir()
    {
        char dir_template[] = "/tmp/fitstools_test.XXXXXX";
        if (mkdtemp(dir_template) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = dir_template;
    }
    explicit ScratchDir(const std::filesystem::path &parent)
    {
        std::string dir_template = (parent / "fitstools_test.XXXXXX").string();
        if (mkdtemp(dir_template.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed under " + parent.string());
        path_ = dir_template;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace testsupport
