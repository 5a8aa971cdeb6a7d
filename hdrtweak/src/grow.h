// Growing a full header by one block through a temporary copy.
#pragma once

#include <stdio.h>

// The temporary file, made in the working directory.
extern char tmpfn[13];
extern FILE *tmpf;

// Removes the temporary file (closing tmpf first when flag is not 0) and
// ends the run through error().
[[noreturn]] void errtmp(int flag);

namespace hdrtweak {

// Replaces the file `resolved_name`, open as `fits`, by a copy whose header
// has `new_card` in the slot of the END card (card `end_card_number`, the
// last of its block) followed by a fresh block that starts with END.  The
// copy is complete and on disk before it is renamed over the file, so the
// name always holds the old or the new file.  Ends the run on failure.
void grow_header(FILE *fits, const char *resolved_name, int end_card_number,
                 const char *new_card);

} // namespace hdrtweak
