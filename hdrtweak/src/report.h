// The two ways a run ends with status 1.
#pragma once

constexpr char usage_line[] = "usage: hdrtweak file [ field [ value ] ]\n";

// Writes the usage line to standard error and exits with status 1.
[[noreturn]] void usage();

// Writes message, detail, a line end and "Exiting ..." to standard error and
// exits with status 1.  A detail that is a name follows a message ending
// in ": ".
[[noreturn]] void error(const char *message, const char *detail);
