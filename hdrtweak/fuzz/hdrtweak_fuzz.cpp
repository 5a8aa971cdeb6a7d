// The whole program on arbitrary file contents, in list, show and edit mode,
// in this process.  The program's reporting routines are replaced by ones
// that jump back here instead of exiting, and the streams it leaves open on
// such a jump are closed (fopen and fclose are wrapped at link time).
//
// Input: byte 0 picks the mode and the name form, bytes 1 and 2 the lengths
// of the field and value arguments, which follow; the rest is the file.
#include "grow.h"
#include "report.h"

#include <dirent.h>
#include <fcntl.h>
#include <setjmp.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int hdrtweak_main(int argc, char **argv);

namespace {

jmp_buf back_to_fuzzer;
FILE *open_streams[64];
int open_stream_count = 0;

void forget_stream(FILE *stream)
{
    for (int i = 0; i < open_stream_count; ++i)
        if (open_streams[i] == stream) {
            open_streams[i] = open_streams[--open_stream_count];
            return;
        }
}

void close_descriptors_from(int lowest_new)
{
    for (int fd = lowest_new; fd < 256; ++fd)
        close(fd);
}

int first_free_descriptor()
{
    int fd = open("/dev/null", O_RDONLY);
    close(fd);
    return fd;
}

} // namespace

extern "C" {
FILE *__real_fopen(const char *path, const char *mode);
int __real_fclose(FILE *stream);

FILE *__wrap_fopen(const char *path, const char *mode)
{
    FILE *stream = __real_fopen(path, mode);
    if (stream != nullptr && open_stream_count < 64)
        open_streams[open_stream_count++] = stream;
    return stream;
}

int __wrap_fclose(FILE *stream)
{
    forget_stream(stream);
    return __real_fclose(stream);
}
}

void usage() { longjmp(back_to_fuzzer, 1); }

void error(const char *, const char *) { longjmp(back_to_fuzzer, 1); }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char dir[] = "/tmp/hdrtweak_fuzz.XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0)
        abort();
    if (freopen("/dev/null", "w", stdout) == nullptr || freopen("/dev/null", "r", stdin) == nullptr)
        abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    int mode = data[0] % 3;
    bool short_name = data[0] & 4;
    size_t field_length = data[1] % 32, value_length = data[2] % 160;
    size_t offset = 3;
    if (size < offset + field_length + value_length)
        return 0;
    char field[40], value[170];
    memcpy(field, data + offset, field_length);
    offset += field_length;
    memcpy(value, data + offset, value_length);
    offset += value_length;
    for (size_t i = 0; i < field_length; ++i)
        if (field[i] == '\0')
            field[i] = 'a';
    for (size_t i = 0; i < value_length; ++i)
        if (value[i] == '\0')
            value[i] = 'v';
    field[field_length] = value[value_length] = '\0';

    FILE *file = __real_fopen("f.fits", "wb");
    if (file == nullptr || fwrite(data + offset, 1, size - offset, file) != size - offset)
        abort();
    __real_fclose(file);

    char program[] = "hdrtweak", name[] = "f.fits", short_form[] = "f";
    char *argv[] = {program, short_name ? short_form : name, field, value, nullptr};
    int lowest_new = first_free_descriptor();
    if (setjmp(back_to_fuzzer) == 0)
        hdrtweak_main(2 + mode, argv);
    while (open_stream_count > 0)
        __wrap_fclose(open_streams[0]);
    if (tmpf != nullptr) {
        __real_fclose(tmpf);
        tmpf = nullptr;
    }
    close_descriptors_from(lowest_new);
    unlink("hdrtweak.___");
    return 0;
}
