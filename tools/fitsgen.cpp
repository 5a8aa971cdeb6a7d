// fitsgen: writes a small 16-bit FITS image with chosen header keywords, for
// the demo and the benchmarks.
//
//   fitsgen FILE [-s KEY TEXT] [-n KEY NUMBER] [--pad CARDS] [--size NX NY]
//
// -s adds a string keyword, -n a numeric one (written as given), --pad adds
// COMMENT cards until the header holds CARDS cards before END.
#include <fitsio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int fail(const char *what)
{
    std::fprintf(stderr, "fitsgen: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return fail("usage: fitsgen FILE [-s KEY TEXT] [-n KEY NUMBER] [--pad CARDS] [--size NX NY]");
    std::vector<std::string> cards;
    long pad_to = 0, nx = 16, ny = 16;
    for (int i = 2; i < argc; ++i) {
        std::string opt = argv[i];
        char card[FLEN_CARD];
        if ((opt == "-s" || opt == "-n") && i + 2 < argc) {
            const char *format = opt == "-s" ? "%-8.8s= '%s' / %s" : "%-8.8s= %20s / %s";
            std::snprintf(card, sizeof card, format, argv[i + 1], argv[i + 2], "demo value");
            cards.push_back(card);
            i += 2;
        } else if (opt == "--pad" && i + 1 < argc) {
            pad_to = std::strtol(argv[++i], nullptr, 10);
        } else if (opt == "--size" && i + 2 < argc) {
            nx = std::strtol(argv[i + 1], nullptr, 10);
            ny = std::strtol(argv[i + 2], nullptr, 10);
            i += 2;
        } else {
            return fail(("unknown or incomplete option: " + opt).c_str());
        }
    }
    if (nx <= 0 || ny <= 0)
        return fail("image size must be positive");

    int status = 0;
    fitsfile *file = nullptr;
    std::string name = std::string("!") + argv[1];
    long axes[2] = {nx, ny};
    fits_create_file(&file, name.c_str(), &status);
    fits_create_img(file, SHORT_IMG, 2, axes, &status);
    for (std::string &card : cards)
        fits_write_record(file, card.c_str(), &status);
    int existing = 0;
    fits_get_hdrspace(file, &existing, nullptr, &status);
    for (long i = existing; i < pad_to && status == 0; ++i)
        fits_write_comment(file, "padding", &status);
    std::vector<short> row(static_cast<size_t>(nx));
    for (long y = 0; y < ny && status == 0; ++y) {
        for (long x = 0; x < nx; ++x)
            row[static_cast<size_t>(x)] = static_cast<short>(1000 + (x * 7 + y * 13) % 97);
        fits_write_img(file, TSHORT, y * nx + 1, nx, row.data(), &status);
    }
    fits_close_file(file, &status);
    if (status != 0) {
        char text[FLEN_STATUS];
        fits_get_errstatus(status, text);
        std::fprintf(stderr, "fitsgen: %s: %s\n", argv[1], text);
        return 1;
    }
    return 0;
}
