// Repairing DATE-OBS of one FITS file through CFITSIO.
#pragma once

namespace obsfix {

// Opens the file read-write, writes the UT start of the exposure into
// DATE-OBS by the rule that the file's DATE selects, and closes it.
// Returns the CFITSIO status after the close: 0 on success, else the status
// of the first call that failed (later calls do nothing once it is set).
int fix_file(const char *name);

} // namespace obsfix
