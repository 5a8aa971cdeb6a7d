#include "fix_file.h"

#include "safe_replace.h"
#include "start_time.h"

#include <fitsio.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace obsfix {

namespace {

constexpr char date_obs_comment[] = "UT exposure start time";
constexpr char frame_comment[] = "UT file save time";

// Keyword values and comments are at most 68 and 72 characters; the buffers
// leave room to spare.
constexpr int text_capacity = 200;

void write_date_obs(fitsfile *file, const char *value, int *status)
{
    fits_update_key(file, TSTRING, "DATE-OBS", const_cast<char *>(value), date_obs_comment,
                    status);
}

void copy_date_beg(fitsfile *file, int *status)
{
    char date_beg[text_capacity] = "";
    char comment[text_capacity];
    fits_read_key_str(file, "DATE-BEG", date_beg, comment, status);
    write_date_obs(file, date_beg, status);
}

// READTIME and EXPOSURE are read as numbers: a value that is not one gives
// CFITSIO's conversion error and nothing is written.  The FRAME comment is
// changed after DATE-OBS is written; its failure (no FRAME) goes to
// *frame_status, not *status: CFITSIO closes a file whose status is set
// without writing the END card back, which would leave a written header
// without its end.
void write_computed_start(fitsfile *file, double date_jd, int *status, int *frame_status)
{
    double readtime = 0.0, exposure = 0.0;
    char comment[text_capacity];
    fits_read_key(file, TDOUBLE, "READTIME", &readtime, comment, status);
    fits_read_key(file, TDOUBLE, "EXPOSURE", &exposure, comment, status);
    if (*status != 0)
        return;
    if (!std::isfinite(readtime) || !std::isfinite(exposure)) {
        *status = BAD_C2D;
        return;
    }
    char start[text_capacity];
    *status = format_start(computed_start_jd(date_jd, exposure, readtime), start, sizeof start);
    write_date_obs(file, start, status);
    if (*status == 0)
        fits_modify_comment(file, "FRAME", frame_comment, frame_status);
}

} // namespace

void fix_open_file(fitsfile *file, int *status, int *frame_status)
{
    char date[text_capacity] = "";
    char comment[text_capacity];
    if (fits_read_key_str(file, "DATE", date, comment, status) != 0)
        return;
    double date_jd = 0.0;
    *status = date_text_to_jd(date, &date_jd);
    if (*status != 0)
        return;
    switch (rule_for(date_jd)) {
    case DateRule::copy_date_beg:
        copy_date_beg(file, status);
        break;
    case DateRule::computed_start:
        write_computed_start(file, date_jd, status, frame_status);
        break;
    case DateRule::copy_date:
        write_date_obs(file, date, status);
        break;
    case DateRule::none:
        break;
    }
}

namespace {

// Adding DATE-OBS to a header without a free card makes CFITSIO insert a
// block and move all the data behind it, in place: a run stopped halfway
// would leave neither the old file nor the new one.
bool update_needs_new_block(fitsfile *file)
{
    int status = 0;
    char card[FLEN_CARD];
    if (fits_read_card(file, "DATE-OBS", card, &status) == 0)
        return false;
    fits_clear_errmsg();
    int existing = 0, room = 0;
    status = 0;
    fits_get_hdrspace(file, &existing, &room, &status);
    return status == 0 && room == 0;
}

int fix_and_close(fitsfile *file)
{
    int status = 0, frame_status = 0;
    fix_open_file(file, &status, &frame_status);
    fits_close_file(file, &status);
    return status != 0 ? status : frame_status;
}

// The same repair on a copy beside the file, which then replaces it.
int fix_through_copy(ReplacementCopy &copy)
{
    int status = 0;
    fitsfile *file = nullptr;
    if (fits_open_file(&file, copy.path(), READWRITE, &status) != 0)
        return status;
    int frame_status = 0;
    fix_open_file(file, &status, &frame_status);
    fits_close_file(file, &status);
    if (status != 0)
        return status;  // nothing written: the copy goes, the file stays
    if (!copy.replace_original())
        return WRITE_ERROR;
    return frame_status;
}

} // namespace

int fix_file(const char *name)
{
    int status = 0;
    fitsfile *file = nullptr;
    if (fits_open_file(&file, name, READWRITE, &status) != 0)
        return status;
    if (!update_needs_new_block(file) || !is_regular_file(name))
        return fix_and_close(file);
    fits_close_file(file, &status);
    if (status != 0)
        return status;

    ReplacementCopy copy(name);
    if (copy.ok())
        return fix_through_copy(copy);
    // No room for a copy (a read-only directory, a full disk): repair the
    // file in place as before rather than not at all.
    std::fprintf(stderr, "obsfix: cannot copy %s beside itself (%s); updating it in place\n",
                 name, std::strerror(copy.error()));
    if (fits_open_file(&file, name, READWRITE, &status) != 0)
        return status;
    return fix_and_close(file);
}

} // namespace obsfix
