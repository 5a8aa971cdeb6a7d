// Reading image names from the list file: runs of non-blank characters
// separated by white space, as scanf's " %s" would take them, but never
// beyond the name buffer.
#pragma once

#include <cstddef>
#include <cstdio>

namespace obsfix {

// Capacity of a name, terminator included: names of up to 199 characters.
constexpr std::size_t name_capacity = 200;

enum class NameRead {
    name,         // a name is in the buffer
    too_long,     // the name has name_capacity characters or more; the buffer
                  // holds its beginning and the rest of it has been skipped
    has_nul,      // the name holds a NUL byte and cannot be a file name
    end_of_list,  // no further name
    read_error,   // the stream failed
};

NameRead read_name(std::FILE *list, char (&name)[name_capacity]);

// Names the run passes over without a status line: thresholds and
// references, which are not science exposures.
bool is_reference_name(const char *name);

} // namespace obsfix
