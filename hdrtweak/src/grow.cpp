#include "grow.h"

#include "card.h"
#include "report.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

char tmpfn[13] = "hdrtweak.___";
FILE *tmpf = nullptr;

namespace {

// The temporary file's descriptor.  It holds an exclusive lock on the file
// for the rest of the run, so that a second run in the same directory waits
// instead of writing into our copy.
int temporary_fd = -1;

// The block buffer for copies that the kernel cannot do by itself.
char block[hdrtweak::block_length];

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes tmpfn only while it is still the file this run locked: after a
// rename it may be another run's.
void remove_own_temporary()
{
    struct stat ours, named;
    if (temporary_fd >= 0 && fstat(temporary_fd, &ours) == 0 && lstat(tmpfn, &named) == 0 &&
        same_file(ours, named))
        unlink(tmpfn);
}

// Creates (or takes over) tmpfn, locked and empty, and opens tmpf on it.
// A file of that name left by a killed run holds no lock and is reused; one
// that another run is filling makes us wait for that run to end.
void open_locked_temporary()
{
    for (;;) {
        int fd = open(tmpfn, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            error("Error creating temporary file", "");
        int locked;
        do
            locked = flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            close(fd);
            error("Error creating temporary file", "");
        }
        // The run we waited for may have renamed its copy away: then the
        // lock is on a file that no longer bears the name, so start over.
        struct stat locked_file, named;
        if (fstat(fd, &locked_file) == 0 && lstat(tmpfn, &named) == 0 &&
            same_file(locked_file, named)) {
            temporary_fd = fd;
            break;
        }
        close(fd);
    }
    int stream_fd = dup(temporary_fd);
    if (ftruncate(temporary_fd, 0) != 0 || stream_fd < 0)
        errtmp(0);
    tmpf = fdopen(stream_fd, "wb");
    if (tmpf == nullptr) {
        close(stream_fd);
        errtmp(0);
    }
}

bool write_all(int fd, const char *bytes, size_t length, off_t offset)
{
    while (length > 0) {
        ssize_t written = pwrite(fd, bytes, length, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        length -= static_cast<size_t>(written);
        offset += written;
    }
    return true;
}

// The kernel copies this much at a time; after each piece the disk starts
// writing it, so that the final sync waits for little more than the last one.
constexpr size_t kernel_copy_piece = size_t{64} << 20;

void start_writeback(int fd, off_t from, off_t to)
{
    // Only a hint: a file system that cannot is synced in full later.
    (void)sync_file_range(fd, from, to - from, SYNC_FILE_RANGE_WRITE);
}

// Copies everything from in_offset to the end of in_fd to out_fd at
// out_offset, in the kernel where it can, else through the block buffer.
bool copy_to_end(int in_fd, off_t in_offset, int out_fd, off_t out_offset)
{
    bool kernel_copy = true;
    for (;;) {
        if (kernel_copy) {
            off_t piece_start = out_offset;
            ssize_t copied = copy_file_range(in_fd, &in_offset, out_fd, &out_offset,
                                             kernel_copy_piece, 0);
            if (copied > 0) {
                start_writeback(out_fd, piece_start, out_offset);
                continue;
            }
            if (copied == 0)
                return true;
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            kernel_copy = false;
        }
        ssize_t got = pread(in_fd, block, sizeof block, in_offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!write_all(out_fd, block, static_cast<size_t>(got), out_offset))
            return false;
        in_offset += got;
        out_offset += got;
    }
}

// Gives the copy the original's owner and group (where we may) and its
// permission bits.  The mode comes last: a change of owner clears set-id bits.
bool take_over_attributes(int fd, const struct stat &original)
{
    if (fchown(fd, original.st_uid, original.st_gid) != 0)
        (void)!fchown(fd, static_cast<uid_t>(-1), original.st_gid);
    return fchmod(fd, original.st_mode & 07777) == 0;
}

void sync_directory_of(const char *path)
{
    char directory[PATH_MAX];
    strcpy(directory, path);
    char *slash = strrchr(directory, '/');
    if (slash == nullptr)
        strcpy(directory, ".");
    else if (slash == directory)
        directory[1] = '\0';
    else
        *slash = '\0';
    int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The working directory and the file lie on different file systems: copy
// the finished copy beside the file and rename it there.
void replace_across_file_systems(const char *target, const struct stat &original)
{
    char beside[PATH_MAX + 32];
    strcpy(beside, target);
    char *slash = strrchr(beside, '/');
    strcpy(slash != nullptr ? slash + 1 : beside, ".hdrtweak.XXXXXX");
    int fd = mkostemp(beside, O_CLOEXEC);
    if (fd < 0)
        errtmp(0);
    bool written = copy_to_end(temporary_fd, 0, fd, 0) && fsync(fd) == 0 &&
                   take_over_attributes(fd, original);
    if (close(fd) != 0 || !written || rename(beside, target) != 0) {
        unlink(beside);
        errtmp(0);
    }
    remove_own_temporary();
}

void copy_cards(FILE *fits, int count)
{
    char card[hdrtweak::card_length];
    for (int i = 0; i < count; ++i) {
        if (fread(card, 1, sizeof card, fits) != sizeof card)
            errtmp(1);
        if (fwrite(card, 1, sizeof card, tmpf) != sizeof card)
            errtmp(1);
    }
}

} // namespace

void errtmp(int flag)
{
    if (flag != 0 && tmpf != nullptr)
        fclose(tmpf);
    tmpf = nullptr;
    remove_own_temporary();
    error("Error writing/renaming temporary file: ", tmpfn);
}

namespace hdrtweak {

void grow_header(FILE *fits, const char *resolved_name, int end_card_number,
                 const char *new_card)
{
    // Rename over the file the name leads to, so that a symbolic link stays
    // a link.
    char target[PATH_MAX];
    struct stat original;
    if (realpath(resolved_name, target) == nullptr || fstat(fileno(fits), &original) != 0)
        error("Error reading header file: ", resolved_name);
    if (fseek(fits, 0, SEEK_SET) != 0)
        error("Error reading header file: ", resolved_name);

    open_locked_temporary();
    copy_cards(fits, end_card_number - 1);
    char end_card[card_length];
    if (fread(end_card, 1, sizeof end_card, fits) != sizeof end_card)
        errtmp(1);

    // The new card takes the END card's slot, the last of its block; a
    // fresh block starts with END and holds 35 blank cards.
    memset(block, ' ', sizeof block);
    memcpy(block, "END", 3);
    if (fwrite(new_card, 1, card_length, tmpf) != static_cast<size_t>(card_length) ||
        fwrite(block, 1, sizeof block, tmpf) != sizeof block || fflush(tmpf) != 0)
        errtmp(1);

    off_t data_offset = static_cast<off_t>(end_card_number) * card_length;
    off_t copy_offset = data_offset + block_length;
    if (!copy_to_end(fileno(fits), data_offset, fileno(tmpf), copy_offset) ||
        !take_over_attributes(fileno(tmpf), original) || fsync(fileno(tmpf)) != 0)
        errtmp(1);
    int closed = fclose(tmpf);
    tmpf = nullptr;
    if (closed != 0)
        errtmp(0);
    if (fclose(fits) != 0)
        errtmp(0);

    if (rename(tmpfn, target) != 0) {
        if (errno != EXDEV)
            errtmp(0);
        replace_across_file_systems(target, original);
    }
    sync_directory_of(target);
}

} // namespace hdrtweak
