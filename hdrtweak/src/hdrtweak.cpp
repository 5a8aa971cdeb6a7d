// hdrtweak: lists, shows and edits keywords of a FITS file's primary header,
// working on the header's bytes.
//
//   hdrtweak file                 list the header's cards
//   hdrtweak file field           show one keyword's value and comment
//   hdrtweak file field value     set the value (a leading blank asks for it)
//
// Written in C++ without the C++ runtime: it needs only the C library.
#include "card.h"
#include "grow.h"
#include "report.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using namespace hdrtweak;

namespace {

// The longest file argument: with ".fits" appended it fills the name buffer.
constexpr size_t name_capacity = 128;
constexpr size_t longest_file_argument = name_capacity - 1 - 5;  // 122

enum class Mode { list, show, edit };

struct Settings {
    Mode mode;
    const char *file_argument;
    const char *field_argument;
    const char *value_argument;
    bool prompt;     // the value argument starts with a blank: ask for the value
    bool one_blank;  // ... and is exactly one blank: offer the current value
};

void print_help()
{
    fputs(usage_line, stdout);
    fputs("List a FITS header (file), show a keyword (file field), or set a keyword's\n"
          "value (file field value); a value starting with a blank asks for the value.\n"
          "See hdrtweak(1).\n",
          stdout);
}

void check_stdout()
{
    if (fflush(stdout) != 0 || ferror(stdout))
        error("Error writing to standard output", "");
}

Settings read_command_line(int argc, char **argv)
{
    if (argc < 2)
        usage();
    bool help = strcmp(argv[1], "--help") == 0;
    if (help || strcmp(argv[1], "--version") == 0) {
        if (help)
            print_help();
        else
            printf("hdrtweak %s\n", HDRTWEAK_VERSION);
        check_stdout();
        exit(0);
    }
    Settings s{};
    s.mode = argc == 2 ? Mode::list : argc == 3 ? Mode::show : Mode::edit;
    s.file_argument = argv[1];
    s.field_argument = argc >= 3 ? argv[2] : "";
    s.value_argument = argc >= 4 ? argv[3] : "";
    if (s.mode == Mode::edit) {
        s.prompt = s.value_argument[0] == ' ';
        s.one_blank = strlen(s.value_argument) == 1;
    }
    return s;
}

// Arguments that do not fit their buffers are refused before the file is
// touched, as is a field that would write a second END card.
void check_arguments(const Settings &s)
{
    if (strlen(s.file_argument) > longest_file_argument)
        error("File name too long (more than 122 characters): ", s.file_argument);
    if (strlen(s.field_argument) > longest_field_argument)
        error("Field name too long (more than 23 characters): ", s.field_argument);
    if (strlen(s.value_argument) > longest_value)
        error("Value too long (more than 127 characters): ", s.value_argument);
    if (s.mode == Mode::edit) {
        char key[key_capacity];
        make_search_key(s.field_argument, key);
        if (is_end_key(key))
            error("Refusing to write a keyword that reads as the END card: ",
                  s.field_argument);
    }
}

// Tries the name as given, then with .fts, .fth and .fits appended.
FILE *open_fits(const Settings &s, char (&resolved_name)[name_capacity])
{
    static const char *const suffixes[] = {"", ".fts", ".fth", ".fits"};
    const char *open_mode = s.mode == Mode::edit ? "r+b" : "rb";
    for (const char *suffix : suffixes) {
        snprintf(resolved_name, name_capacity, "%s%s", s.file_argument, suffix);
        FILE *fits = fopen(resolved_name, open_mode);
        if (fits != nullptr)
            return fits;
    }
    error("Error opening file: ", resolved_name);
}

// Reads one card; false at the end of the file or before a trailing piece
// shorter than a card.  A read error ends the run.
bool read_card(FILE *fits, char (&card)[card_length + 1], const char *resolved_name)
{
    if (fread(card, 1, card_length, fits) == static_cast<size_t>(card_length))
        return true;
    if (ferror(fits))
        error("Error reading header file: ", resolved_name);
    return false;
}

// The new value: the value argument, or the answer to the prompt, where an
// empty answer takes the default.
void settle_new_value(const Settings &s, const char *key, const char *default_value,
                      char (&new_value)[value_capacity])
{
    if (!s.prompt) {
        strcpy(new_value, s.value_argument);
        return;
    }
    printf("Enter new value for %s [%s]: ", key, default_value);
    check_stdout();
    char line[value_capacity + 1];
    if (fgets(line, sizeof line, stdin) == nullptr) {
        if (ferror(stdin))
            error("Error reading the new value from standard input", "");
        error("No new value given: standard input ended", "");
    }
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n')
        line[--length] = '\0';
    else if (!feof(stdin))
        error("Value too long (more than 127 characters)", "");
    strcpy(new_value, length == 0 ? default_value : line);
}

void write_card_at(FILE *fits, long offset, const char *card, const char *resolved_name)
{
    if (fseek(fits, offset, SEEK_SET) != 0 ||
        fwrite(card, 1, card_length, fits) != static_cast<size_t>(card_length) ||
        fflush(fits) != 0)
        error("Error writing header file: ", resolved_name);
}

void close_fits(FILE *fits, const char *resolved_name)
{
    if (fclose(fits) != 0)
        error("Error writing header file: ", resolved_name);
}

void show_card(const ParsedCard &parsed)
{
    char line[keyword_capacity + value_capacity + comment_capacity + 8];
    if (format_show_line(&parsed, line, sizeof line) > 0)
        fputs(line, stdout);
}

void rewrite_card(const Settings &s, FILE *fits, const ParsedCard &parsed, const char *key,
                  const char *resolved_name)
{
    if (parsed.keyword_too_long)
        error("Keyword of the card too long to rewrite: ", resolved_name);
    char new_value[value_capacity];
    settle_new_value(s, key, s.one_blank ? parsed.value : s.value_argument + 1, new_value);
    char replacement[card_length + 1];
    if (rebuild_card(&parsed, new_value, replacement) != CardBuild::ok)
        error("New value does not fit in the card: ", new_value);
    long card_end = ftell(fits);
    if (card_end < card_length)
        error("Error writing header file: ", resolved_name);
    write_card_at(fits, card_end - card_length, replacement, resolved_name);
    close_fits(fits, resolved_name);
}

// The field is absent: the new card takes the END card's place.  Within a
// block the END card moves down one slot; it is written there first, so
// that the header ends properly whenever the run stops.
void append_card(const Settings &s, FILE *fits, int end_card_number, const char *key,
                 const char *resolved_name)
{
    char new_value[value_capacity];
    settle_new_value(s, key, s.value_argument + 1, new_value);
    char card[card_length + 1];
    if (new_card(key, new_value, card) != CardBuild::ok)
        error("New value does not fit in the card (more than 70 characters): ", new_value);

    if (end_card_number % cards_per_block == 0) {
        grow_header(fits, resolved_name, end_card_number, card);
        return;
    }
    char end_card[card_length + 1];
    snprintf(end_card, sizeof end_card, "%-80s", "END");
    long end_offset = static_cast<long>(end_card_number - 1) * card_length;
    write_card_at(fits, end_offset + card_length, end_card, resolved_name);
    write_card_at(fits, end_offset, card, resolved_name);
    close_fits(fits, resolved_name);
}

} // namespace

int main(int argc, char **argv)
{
    // A write beyond the file-size limit must fail and be reported, not kill
    // the run halfway through a copy.
    signal(SIGXFSZ, SIG_IGN);

    Settings s = read_command_line(argc, argv);
    check_arguments(s);

    char resolved_name[name_capacity];
    FILE *fits = open_fits(s, resolved_name);
    char key[key_capacity];
    make_search_key(s.field_argument, key);

    char card[card_length + 1];
    card[card_length] = '\0';
    if (fread(card, 1, card_length, fits) != static_cast<size_t>(card_length))
        error("Error reading header file: ", resolved_name);
    if (memcmp(card, "SIMPLE", 6) != 0)
        error("Not a fits file: ", resolved_name);

    // Card 1 is never listed or matched; the END card ends the scan.
    for (int card_number = 2; read_card(fits, card, resolved_name); ++card_number) {
        if (memcmp(card, "END ", 4) == 0) {
            if (s.mode == Mode::edit)
                append_card(s, fits, card_number, key, resolved_name);
            break;
        }
        if (s.mode == Mode::list) {
            printf("%s\n", card);
            continue;
        }
        if (memcmp(card, key, 8) != 0)
            continue;
        ParsedCard parsed;
        parse_card(card, &parsed);
        if (s.mode == Mode::show)
            show_card(parsed);
        else
            rewrite_card(s, fits, parsed, key, resolved_name);
        break;
    }
    check_stdout();
    return 0;
}
