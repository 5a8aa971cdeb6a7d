// FITS files written byte by byte, so that each card is exactly what a test
// says.
#pragma once

#include <string>
#include <vector>

namespace fixture {

inline std::string card(const std::string &text)
{
    std::string c = text.substr(0, 80);
    c.resize(80, ' ');
    return c;
}

// The card's text from the first occurrence of `start` to column 80,
// trailing blanks included: what a comment reads as.
inline std::string rest_of_card(const std::string &text, const std::string &start)
{
    std::string c = card(text);
    return c.substr(c.find(start));
}

// A header of the given cards after SIMPLE, then END, blank cards to the end
// of the block, then the data bytes as given.
inline std::string fits(const std::vector<std::string> &cards, const std::string &data = "",
                        bool with_end = true)
{
    std::string bytes = card("SIMPLE  =                    T / conforms");
    for (const std::string &c : cards)
        bytes += card(c);
    if (with_end)
        bytes += card("END");
    while (bytes.size() % 2880 != 0)
        bytes += ' ';
    return bytes + data;
}

// Cards that fill the header so that END is card `end_card_number`.
inline std::vector<std::string> filler_until_end_at(int end_card_number,
                                                    std::vector<std::string> cards = {})
{
    int n = 1 + static_cast<int>(cards.size());
    for (; n < end_card_number - 1; ++n)
        cards.push_back("HISTORY filler card " + std::to_string(n + 1));
    return cards;
}

// Data bytes that differ from position to position.
inline std::string data_pattern(size_t length)
{
    std::string data(length, '\0');
    for (size_t i = 0; i < length; ++i)
        data[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
    return data;
}

} // namespace fixture
