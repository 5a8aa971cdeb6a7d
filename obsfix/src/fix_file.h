// Repairing DATE-OBS of one FITS file through CFITSIO.
#pragma once

#include <fitsio.h>

namespace obsfix {

// Writes DATE-OBS of a file open read-write, by the rule its DATE selects.
// *status follows CFITSIO's convention (nothing is done once it is set).  A
// failure to change FRAME's comment, which comes after DATE-OBS is written,
// goes to *frame_status instead: the file must still be closed with a clean
// status so that CFITSIO finishes the header it has changed.
void fix_open_file(fitsfile *file, int *status, int *frame_status);

// Opens the file read-write, writes the UT start of the exposure into
// DATE-OBS by the rule that the file's DATE selects, and closes it.
// Returns the CFITSIO status after the close: 0 on success, else the status
// of the first call that failed (later calls do nothing once it is set).
int fix_file(const char *name);

} // namespace obsfix
