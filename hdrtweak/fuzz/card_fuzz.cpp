// Arbitrary 80-byte cards and value arguments through the card functions.
// Input: 80 bytes of card, then the value argument (NUL ends it early).
#include "card.h"

#include <stdint.h>
#include <string.h>

#include <cstdlib>

using namespace hdrtweak;

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < card_length)
        return 0;
    char card[card_length + 1];
    memcpy(card, data, card_length);
    card[card_length] = '\0';
    char value[300];
    size_t value_length = size - card_length < sizeof value - 1 ? size - card_length
                                                                : sizeof value - 1;
    memcpy(value, data + card_length, value_length);
    value[value_length] = '\0';
    value_length = strlen(value);

    ParsedCard parsed;
    parse_card(card, &parsed);
    check(strlen(parsed.keyword) < keyword_capacity);
    check(strlen(parsed.value) < value_capacity && strlen(parsed.comment) < comment_capacity);
    check(parsed.field_count >= 0 && parsed.field_count <= 3);

    char line[keyword_capacity + value_capacity + comment_capacity + 8];
    check(format_show_line(&parsed, line, sizeof line) > 0);

    char out[card_length + 1];
    if (rebuild_card(&parsed, value, out) == CardBuild::ok) {
        check(strlen(out) == card_length);
        // the whole new value stands in the card
        if (parsed.string_form)
            check(memcmp(out + 11, value, value_length) == 0 && out[11 + (value_length > 8 ? value_length : 8)] == '\'');
        else
            check(value_length == 0 || strstr(out + 10, value) != nullptr);
    } else {
        check(value_length > 68);
    }

    char key[key_capacity];
    char field[24];
    size_t field_length = value_length < 23 ? value_length : 23;
    memcpy(field, value, field_length);
    field[field_length] = '\0';
    make_search_key(field, key);
    check(strlen(key) == field_length + 8);
    if (new_card(key, value, out) == CardBuild::ok) {
        check(strlen(out) == card_length && memcmp(out + 10, value, value_length) == 0);
    } else {
        check(value_length > 70);
    }
    return 0;
}
