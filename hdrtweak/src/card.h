// One FITS header card as hdrtweak reads, shows and rebuilds it.  Plain
// functions over fixed buffers, shared by the program and its fuzz targets.
#pragma once

#include <stddef.h>

namespace hdrtweak {

constexpr int card_length = 80;
constexpr int cards_per_block = 36;
constexpr int block_length = card_length * cards_per_block;  // 2880

// Capacities, terminator included.
constexpr size_t key_capacity = 32;      // field argument (<= 23) + 8 blanks
constexpr size_t keyword_capacity = 32;  // a card's leading keyword run
constexpr size_t value_capacity = 128;   // a card's value, a new value
constexpr size_t comment_capacity = 128;

constexpr size_t longest_field_argument = key_capacity - 1 - 8;  // 23
constexpr size_t longest_value = value_capacity - 1;             // 127

struct ParsedCard {
    char keyword[keyword_capacity];
    char value[value_capacity];
    char comment[comment_capacity];
    int field_count;         // fields the parse filled, 0..3
    bool string_form;        // the value stood between quotes
    bool keyword_too_long;   // the leading run did not fit keyword[]
};

// The search key: the field argument upper-cased (a-z only) and followed by
// eight blanks, so that its first eight characters are the keyword columns.
// The field must be at most longest_field_argument characters.
void make_search_key(const char *field, char (&key)[key_capacity]);

// True for a key whose keyword columns read "END" and five blanks: a card
// written with it would end the header for every later reader.
bool is_end_key(const char *key);

// Splits a card text (at most 80 characters, NUL-terminated) into keyword,
// value and comment.  A quoted value loses its trailing blanks (one blank
// is kept) and a value of one blank becomes "-".
void parse_card(const char *card_text, ParsedCard *card);

// Show mode's line: "KEY = value / comment\n", or "KEY = value\n" when the
// card has no comment.  Returns the length written, or -1 if it would not fit.
int format_show_line(const ParsedCard *card, char *out, size_t capacity);

enum class CardBuild {
    ok,
    value_too_long,  // the new value would not fit whole in the card
};

// The card rewritten with a new value, in the form (quoted or plain) the
// old card had, its comment after " / ", blank-filled or cut to 80 columns.
// The comment may be cut; the value never is.
CardBuild rebuild_card(const ParsedCard *card, const char *new_value,
                       char (&out)[card_length + 1]);

// The card appended for an absent keyword: the key's keyword columns, "= ",
// and the new value as given (no quotes added) in columns 11 to 80.
CardBuild new_card(const char *key, const char *new_value, char (&out)[card_length + 1]);

} // namespace hdrtweak
