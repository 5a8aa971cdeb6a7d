#include "safe_replace.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace obsfix {

namespace {

bool copy_all(int in, int out)
{
    off_t in_offset = 0, out_offset = 0;
    for (;;) {
        ssize_t copied = copy_file_range(in, &in_offset, out, &out_offset, size_t{1} << 30, 0);
        if (copied > 0)
            continue;
        if (copied == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break;
    }
    char buffer[65536];
    for (;;) {
        ssize_t got = pread(in, buffer, sizeof buffer, in_offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t written = pwrite(out, buffer + done, static_cast<size_t>(got - done), out_offset);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            done += written;
            out_offset += written;
        }
        in_offset += got;
    }
}

std::string directory_of(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool is_regular_file(const char *name)
{
    struct stat st;
    return stat(name, &st) == 0 && S_ISREG(st.st_mode);
}

ReplacementCopy::ReplacementCopy(const char *path)
{
    char resolved[PATH_MAX];
    if (realpath(path, resolved) == nullptr) {
        error_ = errno;
        return;
    }
    target_ = resolved;
    std::string name = directory_of(target_) + "/.obsfix." +
                       target_.substr(target_.rfind('/') + 1) + ".XXXXXX";
    int out = mkostemp(name.data(), O_CLOEXEC);
    if (out < 0) {
        error_ = errno;
        return;
    }
    int in = open(resolved, O_RDONLY | O_CLOEXEC);
    bool copied = in >= 0 && copy_all(in, out);
    if (!copied)
        error_ = errno;
    if (in >= 0)
        close(in);
    if (close(out) != 0 && copied) {
        error_ = errno;
        copied = false;
    }
    if (!copied) {
        unlink(name.c_str());
        return;
    }
    copy_path_ = name;
}

ReplacementCopy::~ReplacementCopy()
{
    if (!copy_path_.empty())
        unlink(copy_path_.c_str());
}

bool ReplacementCopy::replace_original()
{
    struct stat original;
    int fd = open(copy_path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 || stat(target_.c_str(), &original) != 0) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (fchown(fd, original.st_uid, original.st_gid) != 0)
        (void)!fchown(fd, static_cast<uid_t>(-1), original.st_gid);
    bool synced = fchmod(fd, original.st_mode & 07777) == 0 && fsync(fd) == 0;
    if (close(fd) != 0 || !synced || rename(copy_path_.c_str(), target_.c_str()) != 0)
        return false;
    copy_path_.clear();
    int dir = open(directory_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

} // namespace obsfix
