// obsfix: writes the UT start of each listed exposure into DATE-OBS.
#include "fix_file.h"
#include "name_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr char list_file_name[] = "list_all.dat";

// Names shorter than this end the list: the lists end with a short marker.
constexpr std::size_t shortest_name = 3;

void print_usage()
{
    std::printf("usage: obsfix\n"
                "Reads the FITS file names in %s in the current directory and writes the\n"
                "UT start of each exposure into its DATE-OBS keyword. Names containing\n"
                "\"thref\" or \"reference\" are skipped. Takes no options.\n"
                "See obsfix(1).\n",
                list_file_name);
}

// --help and --version are the only arguments obsfix acts on; others are
// ignored, as scripts have always been able to pass them.
bool handle_informational_argument(int argc, char **argv, int *exit_status)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            print_usage();
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("obsfix %s\n", FITSTOOLS_VERSION);
        } else {
            continue;
        }
        *exit_status = std::fflush(stdout) == 0 ? 0 : 1;
        return true;
    }
    return false;
}

// Processes every listed name; returns false when the list could not be read.
bool process_list(std::FILE *list)
{
    char name[obsfix::name_capacity];
    for (;;) {
        switch (obsfix::read_name(list, name)) {
        case obsfix::NameRead::end_of_list:
            return true;
        case obsfix::NameRead::read_error:
            std::fprintf(stderr, "obsfix: error reading %s: %s\n", list_file_name,
                         std::strerror(errno));
            return false;
        case obsfix::NameRead::too_long:
            std::fprintf(stderr,
                         "obsfix: skipping a name of %zu characters or more in %s "
                         "(it begins \"%.40s\")\n",
                         obsfix::name_capacity, list_file_name, name);
            continue;
        case obsfix::NameRead::has_nul:
            std::fprintf(stderr, "obsfix: skipping a name with a NUL byte in %s\n",
                         list_file_name);
            continue;
        case obsfix::NameRead::name:
            break;
        }
        if (std::strlen(name) < shortest_name) {
            std::fprintf(stderr,
                         "obsfix: name \"%s\" is shorter than %zu characters: "
                         "the rest of %s was not read\n",
                         name, shortest_name, list_file_name);
            return true;
        }
        if (obsfix::is_reference_name(name))
            continue;
        int status = obsfix::fix_file(name);
        std::printf("./obsfix file=%s status=%d\n", name, status);
    }
}

} // namespace

int main(int argc, char **argv)
{
    int exit_status = 0;
    if (handle_informational_argument(argc, argv, &exit_status))
        return exit_status;

    std::FILE *list = std::fopen(list_file_name, "r");
    if (list == nullptr) {
        std::fprintf(stderr, "obsfix: cannot open %s: %s\n", list_file_name,
                     std::strerror(errno));
        return 1;
    }
    bool list_read = process_list(list);
    std::fclose(list); // opened for reading only: nothing to lose on close

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "obsfix: error writing the status lines: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return list_read ? 0 : 1;
}
