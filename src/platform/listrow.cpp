#include "listrow.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

constexpr char separator = '\t';

// A tab that reaches a cell would split it in two.
void untab(std::string &line, std::size_t begin, std::size_t length)
{
    const auto first = line.begin() + static_cast<std::ptrdiff_t>(begin);
    std::replace(first, first + static_cast<std::ptrdiff_t>(length), separator, ' ');
}

} // namespace

ListRow::ListRow(std::initializer_list<std::string_view> cells)
{
    std::size_t length = 0;
    for (const std::string_view cell : cells)
        length += cell.size() + 1;
    m_line.reserve(length);
    bool first = true;
    for (const std::string_view cell : cells) {
        if (!std::exchange(first, false))
            m_line += separator;
        const std::size_t begin = m_line.size();
        m_line.append(cell);
        untab(m_line, begin, cell.size());
    }
}

ListRow ListRow::fromLine(std::string line)
{
    ListRow row;
    row.m_line = std::move(line);
    return row;
}

// From separator to separator with find, which is memchr underneath: a byte-by-byte count costs
// as much as the whole of reading a long file.
std::size_t ListRow::size() const
{
    std::size_t count = 1;
    for (std::size_t at = m_line.find(separator); at != std::string::npos;
         at = m_line.find(separator, at + 1))
        ++count;
    return count;
}

std::size_t ListRow::cellBegin(std::size_t n) const
{
    std::size_t begin = 0;
    for (; n > 0; --n) {
        begin = m_line.find(separator, begin);
        if (begin == std::string::npos)
            return std::string::npos;
        ++begin;
    }
    return begin;
}

std::size_t ListRow::cellEnd(std::size_t begin) const
{
    const std::size_t end = m_line.find(separator, begin);
    return end == std::string::npos ? m_line.size() : end;
}

std::string_view ListRow::operator[](std::size_t n) const
{
    const std::size_t begin = cellBegin(n);
    if (begin == std::string::npos)
        return {};
    return std::string_view(m_line).substr(begin, cellEnd(begin) - begin);
}

void ListRow::set(std::size_t n, std::string_view text)
{
    // A text read from this same row would move as the line grows.
    const std::less<> before;
    if (!before(text.data(), m_line.data()) && before(text.data(), m_line.data() + m_line.size())) {
        set(n, std::string(text));
        return;
    }
    const std::size_t count = size();
    if (n >= count)
        m_line.append(n + 1 - count, separator);
    const std::size_t begin = cellBegin(n);
    m_line.replace(begin, cellEnd(begin) - begin, text);
    untab(m_line, begin, text.size());
}

// One pass: a long list has every row made the right size as it arrives.
void ListRow::resize(std::size_t count)
{
    count = std::max<std::size_t>(count, 1);
    std::size_t separators = 0;
    for (std::size_t at = m_line.find(separator); at != std::string::npos;
         at = m_line.find(separator, at + 1)) {
        if (++separators == count) {
            m_line.resize(at);
            return;
        }
    }
    m_line.append(count - 1 - separators, separator);
}
