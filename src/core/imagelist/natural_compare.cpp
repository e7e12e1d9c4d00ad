#include "imagelist/natural_compare.h"

#include <algorithm>

namespace qlx::imagelist {

namespace {

char16_t foldCase(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

std::size_t digitRunEnd(std::u16string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

std::u16string_view withoutLeadingZeros(std::u16string_view run)
{
    run.remove_prefix(std::min(run.find_first_not_of(u'0'), run.size()));
    return run;
}

} // namespace

int compareNatural(std::u16string_view a, std::u16string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t endA = digitRunEnd(a, i);
            const std::size_t endB = digitRunEnd(b, j);
            // Compared as numbers of any length: no overflow, however long the run.
            const std::u16string_view runA = withoutLeadingZeros(a.substr(i, endA - i));
            const std::u16string_view runB = withoutLeadingZeros(b.substr(j, endB - j));
            if (runA.size() != runB.size())
                return runA.size() < runB.size() ? -1 : 1;
            if (const int order = runA.compare(runB); order != 0)
                return order < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        const char16_t ca = foldCase(a[i]);
        const char16_t cb = foldCase(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    const int plain = a.compare(b);
    return plain < 0 ? -1 : (plain > 0 ? 1 : 0);
}

} // namespace qlx::imagelist
