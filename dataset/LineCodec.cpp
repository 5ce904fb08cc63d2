#include "LineCodec.h"

#include "Codec.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace LineCodec {

namespace {
std::string_view namePart(std::string_view line)
{
    return line.substr(0, std::min(line.find('='), line.size()));
}
} // namespace

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool parseWidth(std::string_view text, int &width)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
        if (value > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return false;
    width = int(value);
    return true;
}

TFieldDefs schemaFieldDefs(const std::vector<std::string> &schema, int defaultWidth, long long fits, long long *total)
{
    std::vector<std::string> lines;
    if (schema.empty()) {
        lines.emplace_back("Line");
    } else {
        for (const std::string &line : schema) {
            if (trimBlanks(line).empty())
                continue;
            const auto eq = line.find('=');
            if (eq == std::string::npos || eq == 0)
                lines.push_back(line + "=" + std::to_string(defaultWidth));
            else
                lines.push_back(line);
        }
    }
    TFieldDefs defs;
    // A name takes the width of its first line; names are compared without regard to letter case.
    std::unordered_map<std::string, int> widthOfName;
    widthOfName.reserve(lines.size());
    long long sum = 0;
    for (const std::string &line : lines) {
        const std::string_view name = namePart(line);
        std::string key(name);
        for (char &c : key)
            c = Codec::upperAnsi(c);
        auto [it, added] = widthOfName.try_emplace(std::move(key), defaultWidth);
        if (added) {
            const auto eq = line.find('=');
            if (eq == std::string::npos || !parseWidth(std::string_view(line).substr(eq + 1), it->second))
                it->second = defaultWidth;
        }
        if (sum <= fits)
            defs.push_back({std::string(trimBlanks(name)), TFieldType::ftString, it->second});
        sum += it->second;
    }
    if (total)
        *total = sum;
    return defs;
}

std::vector<std::string> splitHeader(std::string_view header, char delimiter)
{
    std::vector<std::string> columns;
    std::size_t i = 0;
    const std::size_t n = header.size();
    for (;;) {
        while (i < n && header[i] >= 1 && static_cast<unsigned char>(header[i]) <= 32)
            ++i;
        if (i >= n)
            break;
        std::string column;
        if (header[i] == '"') {
            const std::size_t close = header.find('"', i + 1);
            if (close != std::string_view::npos) {
                column.assign(header.substr(i + 1, close - i - 1));
                i = close + 1;
                while (i < n && header[i] != delimiter)
                    ++i;
            } else {
                column.assign(header.substr(i));
                i = n;
            }
        } else {
            const std::size_t stop = std::min(header.find(delimiter, i), n);
            column.assign(header.substr(i, stop - i));
            i = stop;
        }
        columns.push_back(std::move(column));
        if (i < n && header[i] == delimiter) {
            ++i;
            if (i >= n)
                break;
        }
    }
    return columns;
}

void fixedToRecord(std::string_view line, char *recordText, std::size_t width)
{
    const std::size_t n = std::min(line.size(), width);
    std::memcpy(recordText, line.data(), n);
    if (n < width)
        std::memset(recordText + n, 0, width - n);
}

std::string recordToFixed(const char *recordText, std::size_t width)
{
    return std::string(recordText, strnlen(recordText, width));
}

namespace {
// Walks the values of a delimited line in field order, each cut to its field's width, and hands
// them to `take(index, value)`; stops after `count` fields or at the end of the line.
template <typename Take>
void walkDelimited(std::string_view line, const TFieldDefs &defs, char delimiter, std::size_t count,
                   Take take)
{
    const char *p = line.data();
    const char *const end = p + line.size();
    count = std::min(count, defs.size());
    for (std::size_t i = 0; i < count; ++i) {
        while (p < end && *p >= 1 && static_cast<unsigned char>(*p) <= 32)
            ++p;
        if (p >= end)
            break;
        const char *valueStart;
        const char *valueEnd;
        bool closed = false;
        if (*p == '"') {
            // The value ends at the first later quote that is followed by the delimiter or the end.
            const char *q = p + 1;
            const char *close = nullptr;
            while ((q = static_cast<const char *>(std::memchr(q, '"', std::size_t(end - q))))) {
                if (q + 1 == end || q[1] == delimiter || q[1] == '\r' || q[1] == '\n') {
                    close = q;
                    break;
                }
                ++q;
            }
            if (close) {
                valueStart = p + 1;
                valueEnd = close;
                closed = true;
            } else {
                valueStart = p;
                valueEnd = end;
            }
        } else {
            valueStart = p;
            const void *d = std::memchr(p, delimiter, std::size_t(end - p));
            valueEnd = d ? static_cast<const char *>(d) : end;
        }
        const std::size_t n = std::min(std::size_t(valueEnd - valueStart), std::size_t(defs[i].Size));
        take(i, std::string_view(valueStart, n));
        p = valueEnd;
        if (closed) {
            const void *d = std::memchr(p, delimiter, std::size_t(end - p));
            p = d ? static_cast<const char *>(d) : end;
        }
        if (p < end && *p == delimiter)
            ++p;
    }
}
} // namespace

void delimitedToRecord(std::string_view line, const TFieldDefs &defs, char delimiter, char *recordText,
                       std::size_t width)
{
    std::memset(recordText, ' ', width);
    std::size_t slot = 0;
    walkDelimited(line, defs, delimiter, defs.size(), [&](std::size_t i, std::string_view value) {
        std::memcpy(recordText + slot, value.data(), value.size());
        slot += std::size_t(defs[i].Size);
    });
}

void delimitedValues(std::string_view line, const TFieldDefs &defs, char delimiter, std::string_view *values,
                     std::size_t count)
{
    std::fill(values, values + count, std::string_view());
    walkDelimited(line, defs, delimiter, count,
                  [&](std::size_t i, std::string_view value) { values[i] = value; });
}

std::string recordToDelimited(const char *recordText, std::size_t width, const TFieldDefs &defs,
                              char delimiter)
{
    const std::size_t length = strnlen(recordText, width);
    std::string line;
    line.reserve(length + defs.size() * 3);
    std::size_t slot = 0;
    for (const TFieldDef &def : defs) {
        std::string_view value;
        if (slot < length)
            value = trimBlanks(
                std::string_view(recordText + slot, std::min(std::size_t(def.Size), length - slot)));
        slot += std::size_t(def.Size);
        // A value that starts with a quote is quoted as well, or it would read back as an open quote.
        if (value.find(delimiter) != std::string_view::npos || (!value.empty() && value.front() == '"')) {
            line += '"';
            line += value;
            line += '"';
        } else {
            line += value;
        }
        line += delimiter;
    }
    while (!line.empty() && line.back() == delimiter)
        line.pop_back();
    return line;
}

std::vector<std::string> splitNameList(std::string_view text)
{
    std::vector<std::string> items;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && !isBlank(text[i]))
                item += text[i++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
            if (i == text.size())
                items.emplace_back();
        }
    }
    return items;
}

} // namespace LineCodec
