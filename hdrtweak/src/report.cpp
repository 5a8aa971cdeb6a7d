#include "report.h"

#include <stdio.h>
#include <stdlib.h>

void usage()
{
    // One write: the line arrives whole even on an unbuffered stderr.
    fwrite(usage_line, 1, sizeof usage_line - 1, stderr);
    exit(1);
}

void error(const char *message, const char *detail)
{
    fprintf(stderr, "%s%s\nExiting ...\n", message, detail);
    exit(1);
}
