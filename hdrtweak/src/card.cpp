#include "card.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace hdrtweak {

namespace {

// Column widths of the rebuilt value: a string value is blank-padded to 8
// characters between its quotes, a plain value right-justified in 20.
constexpr size_t string_value_width = 8;
constexpr size_t plain_value_width = 20;
constexpr size_t value_column = 11;           // where the value starts
constexpr size_t appended_value_width = 70;   // columns 11 to 80

void clear(ParsedCard *card)
{
    card->keyword[0] = card->value[0] = card->comment[0] = '\0';
    card->field_count = 0;
    card->string_form = false;
    card->keyword_too_long = false;
}

int scanned_fields(int result) { return result < 0 ? 0 : result; }

// Trailing blanks go, but never the first character: a value of blanks only
// becomes one blank, which then stands for an empty string as "-".
void trim_string_value(char *value)
{
    size_t length = strlen(value);
    while (length > 1 && value[length - 1] == ' ')
        value[--length] = '\0';
    if (strcmp(value, " ") == 0)
        strcpy(value, "-");
}

void fill_to_card(char *text, char (&out)[card_length + 1])
{
    size_t length = strlen(text);
    if (length > card_length)
        length = card_length;
    memcpy(out, text, length);
    memset(out + length, ' ', card_length - length);
    out[card_length] = '\0';
}

} // namespace

void make_search_key(const char *field, char (&key)[key_capacity])
{
    size_t length = 0;
    for (; field[length] != '\0' && length < longest_field_argument; ++length) {
        unsigned char c = static_cast<unsigned char>(field[length]);
        key[length] = static_cast<char>(islower(c) ? toupper(c) : c);
    }
    memcpy(key + length, "        ", 9);
}

bool is_end_key(const char *key) { return memcmp(key, "END     ", 8) == 0; }

void parse_card(const char *card_text, ParsedCard *card)
{
    clear(card);
    card->field_count = scanned_fields(sscanf(card_text, "%31[^ =] = '%127[^']' / %127[ -~]",
                                              card->keyword, card->value, card->comment));
    if (card->field_count >= 2) {
        card->string_form = true;
        trim_string_value(card->value);
    } else {
        clear(card);
        card->field_count = scanned_fields(sscanf(card_text, "%31[^ =] = %127s / %127[ -~]",
                                                  card->keyword, card->value, card->comment));
    }
    // A run that filled the keyword buffer and goes on past it was cut.
    size_t keyword_length = strlen(card->keyword);
    if (keyword_length == keyword_capacity - 1) {
        char next = card_text[keyword_length];
        card->keyword_too_long = next != '\0' && next != ' ' && next != '=';
    }
}

int format_show_line(const ParsedCard *card, char *out, size_t capacity)
{
    int written = card->field_count > 2
                      ? snprintf(out, capacity, "%s = %s / %s\n", card->keyword, card->value,
                                 card->comment)
                      : snprintf(out, capacity, "%s = %s\n", card->keyword, card->value);
    if (written < 0 || static_cast<size_t>(written) >= capacity)
        return -1;
    return written;
}

CardBuild rebuild_card(const ParsedCard *card, const char *new_value,
                       char (&out)[card_length + 1])
{
    size_t length = strlen(new_value);
    if (length > longest_value)
        return CardBuild::value_too_long;
    // The closing quote (string form) or the value's last character (plain
    // form) must stay within column 80.
    size_t value_end =
        card->string_form
            ? value_column + 1 + (length > string_value_width ? length : string_value_width)
            : value_column - 1 + (length > plain_value_width ? length : plain_value_width);
    if (value_end > card_length)
        return CardBuild::value_too_long;

    // Keyword 8 + "= " + value (<= 127 + quotes) + " / " + comment (<= 127)
    char text[8 + 2 + value_capacity + 2 + 3 + comment_capacity + 1];
    if (card->string_form)
        snprintf(text, sizeof text, "%-8.8s= '%-8s' / %s", card->keyword, new_value,
                 card->comment);
    else
        snprintf(text, sizeof text, "%-8.8s= %20s / %s", card->keyword, new_value,
                 card->comment);
    fill_to_card(text, out);
    return CardBuild::ok;
}

CardBuild new_card(const char *key, const char *new_value, char (&out)[card_length + 1])
{
    if (strlen(new_value) > appended_value_width)
        return CardBuild::value_too_long;
    char text[card_length + 1];
    snprintf(text, sizeof text, "%-8.8s= %-70.70s", key, new_value);
    fill_to_card(text, out);
    return CardBuild::ok;
}

} // namespace hdrtweak
