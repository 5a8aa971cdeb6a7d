#include "name_list.h"

#include <cstring>

namespace obsfix {

namespace {

// White space as the C locale's isspace has it, which is what scanf skips.
bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

NameRead read_name(std::FILE *list, char (&name)[name_capacity])
{
    int c;
    do
        c = std::getc(list);
    while (c != EOF && is_blank(c));
    if (c == EOF)
        return std::ferror(list) ? NameRead::read_error : NameRead::end_of_list;

    std::size_t length = 0;
    bool too_long = false;
    bool has_nul = false;
    for (; c != EOF && !is_blank(c); c = std::getc(list)) {
        if (c == '\0')
            has_nul = true;
        if (length + 1 < name_capacity)
            name[length++] = static_cast<char>(c);
        else
            too_long = true;
    }
    name[length] = '\0';
    if (c == EOF && std::ferror(list))
        return NameRead::read_error;
    if (too_long)
        return NameRead::too_long;
    return has_nul ? NameRead::has_nul : NameRead::name;
}

bool is_reference_name(const char *name)
{
    return std::strstr(name, "thref") != nullptr || std::strstr(name, "reference") != nullptr;
}

} // namespace obsfix
