#include "Csv.h"

namespace Csv {

std::string quoted(std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(value);
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void appendRecord(std::string &out, const std::vector<std::string_view> &values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ',';
        if (values[i].find_first_of(",\"\r\n") == std::string_view::npos)
            out += values[i];
        else
            out += quoted(values[i]);
    }
    out += "\r\n";
}

char guessSeparator(std::string_view text)
{
    const char candidates[] = {',', ';', '\t'};
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted)
            for (int i = 0; i < 3; ++i)
                counts[i] += c == candidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return candidates[best];
}

void Reader::skipLineEnd()
{
    if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
        ++m_pos;
    ++m_pos;
    ++m_line;
}

bool Reader::next(std::vector<std::string> &values)
{
    values.clear();
    if (m_fault != Fault::None || m_pos >= m_text.size())
        return false;
    m_recordLine = m_line;
    for (;;) {
        std::string value;
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            const int opened = m_line;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size()) {
                    m_recordLine = opened;
                    m_fault = Fault::OpenQuote;
                    return false;
                }
                const char c = m_text[m_pos];
                if (c == '"') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '"') {
                        value += '"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                if (c == '\n' || (c == '\r' && (m_pos + 1 >= m_text.size() || m_text[m_pos + 1] != '\n')))
                    ++m_line;
                value += c;
                ++m_pos;
            }
            if (m_pos < m_text.size() && m_text[m_pos] != m_separator && !lineEnd(m_pos)) {
                m_recordLine = m_line;
                m_fault = Fault::TextAfterQuote;
                return false;
            }
        } else {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != m_separator && !lineEnd(m_pos))
                ++m_pos;
            value.assign(m_text.substr(start, m_pos - start));
        }
        values.push_back(std::move(value));
        if (m_pos >= m_text.size())
            break;
        if (m_text[m_pos] == m_separator) {
            ++m_pos;
            continue;
        }
        skipLineEnd();
        break;
    }
    ++m_record;
    return true;
}

} // namespace Csv
