// One file's keyword values through obsfix's repair, on an in-memory FITS
// file, up to the DATE-OBS it writes.
// Input: DATE, DATE-BEG, EXPOSURE and READTIME value texts, separated by
// newlines (each as it would stand in its card after "= ").
#include "fix_file.h"

#include <fitsio.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

bool is_digits(const char *text, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// A computed start reads YYYY-MM-DDThh:mm:ss with every field in range.
void check_start_text(const char *text)
{
    check(strlen(text) == 19 && is_digits(text, 4) && text[4] == '-' && is_digits(text + 5, 2) &&
          text[7] == '-' && is_digits(text + 8, 2) && text[10] == 'T' &&
          is_digits(text + 11, 2) && text[13] == ':' && is_digits(text + 14, 2) &&
          text[16] == ':' && is_digits(text + 17, 2));
    check(atoi(text + 11) < 24 && atoi(text + 14) < 60 && atoi(text + 17) < 60);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> values(1);
    for (size_t i = 0; i < size && values.size() <= 4; ++i) {
        if (data[i] == '\n')
            values.emplace_back();
        else
            values.back() += static_cast<char>(data[i]);
    }
    values.resize(4);
    const char *names[] = {"DATE", "DATE-BEG", "EXPOSURE", "READTIME"};

    size_t memory_size = 2880 * 4;
    void *memory = malloc(memory_size);
    int status = 0;
    fitsfile *file = nullptr;
    fits_create_memfile(&file, &memory, &memory_size, 2880, realloc, &status);
    fits_create_img(file, SHORT_IMG, 0, nullptr, &status);
    fits_write_record(file, "FRAME   = 'x'", &status);
    for (int i = 0; i < 4 && status == 0; ++i) {
        if (values[i].size() > 70)
            continue;
        char card[FLEN_CARD];
        snprintf(card, sizeof card, "%-8s= %s", names[i], values[i].c_str());
        int card_status = 0;
        char parsed[FLEN_CARD];
        int keytype = 0;
        // only cards CFITSIO itself accepts; others are not what a file holds
        fits_parse_template(card, parsed, &keytype, &card_status);
        if (card_status == 0)
            fits_write_record(file, card, &status);
    }
    if (status != 0) {
        int ignored = 0;
        fits_close_file(file, &ignored);
        free(memory);
        return 0;
    }
    fits_clear_errmsg();

    int frame_status = 0;
    obsfix::fix_open_file(file, &status, &frame_status);
    char date_obs[FLEN_VALUE] = "", date[FLEN_VALUE] = "";
    int read_status = 0;
    fits_read_key_str(file, "DATE-OBS", date_obs, nullptr, &read_status);
    if (status == 0 && read_status == 0) {
        int date_status = 0;
        fits_read_key_str(file, "DATE", date, nullptr, &date_status);
        // a computed start changes FRAME's comment
        char comment[FLEN_COMMENT] = "";
        int frame_read = 0;
        char frame[FLEN_VALUE];
        fits_read_key_str(file, "FRAME", frame, comment, &frame_read);
        if (strcmp(comment, "UT file save time") == 0)
            check_start_text(date_obs);
    }
    int close_status = 0;
    fits_close_file(file, &close_status);
    fits_clear_errmsg();
    free(memory);
    return 0;
}
