// Replacing a file by a changed copy, so that its name always holds either
// the old or the new content.
#pragma once

#include <string>

namespace obsfix {

// A copy of a regular file, made beside it, that can replace it.
class ReplacementCopy {
public:
    // Copies `path` (a symbolic link is followed) to a new file in the same
    // directory; ok() tells whether that worked.
    explicit ReplacementCopy(const char *path);
    ~ReplacementCopy();  // removes the copy unless it replaced the file
    ReplacementCopy(const ReplacementCopy &) = delete;
    ReplacementCopy &operator=(const ReplacementCopy &) = delete;

    bool ok() const { return !copy_path_.empty(); }
    int error() const { return error_; }  // errno of the failed copy
    const char *path() const { return copy_path_.c_str(); }

    // Syncs the copy, gives it the original's permissions and (where
    // allowed) owner, and renames it over the original.
    bool replace_original();

private:
    std::string target_;
    std::string copy_path_;
    int error_ = 0;
};

// True when `name` is a plain regular file (not a CFITSIO extended name).
bool is_regular_file(const char *name);

} // namespace obsfix
