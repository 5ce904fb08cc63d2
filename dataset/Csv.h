#pragma once
// Comma-separated values as RFC 4180 has them, on bytes: a value holding a comma, a double quote or
// a line break stands in double quotes with its quotes doubled; records end in CR LF. The reader
// also takes records that end in LF or CR alone.

#include <string>
#include <string_view>
#include <vector>

namespace Csv {

// Appends one record: the values joined by commas, quoted where they need it, then CR LF.
void appendRecord(std::string &out, const std::vector<std::string_view> &values);
std::string quoted(std::string_view value);

// The separator a spreadsheet most likely wrote the text with: of a comma, a semicolon and a tab,
// the one that stands most often outside quotes in the first line; a comma when none does.
char guessSeparator(std::string_view text);

// Reads records one after the other. A quote inside an unquoted value is taken as it stands; a
// quoted value must end in a quote followed by the separator, a line end or the end of the text.
class Reader
{
public:
    explicit Reader(std::string_view text, char separator = ',') : m_text(text), m_separator(separator) {}

    // The next record into `values`; false at the end of the text or on a fault (see fault()).
    // A line ending at the very end of the text starts no record.
    bool next(std::vector<std::string> &values);
    // The number of the last record read, from 1.
    int record() const { return m_record; }
    // The line on which the last record (or the fault) began, from 1.
    int line() const { return m_recordLine; }
    // What stopped the reading at line(), if anything.
    enum class Fault { None, OpenQuote, TextAfterQuote };
    Fault fault() const { return m_fault; }

private:
    bool lineEnd(std::size_t at) const { return m_text[at] == '\r' || m_text[at] == '\n'; }
    void skipLineEnd();

    std::string_view m_text;
    char m_separator;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_record = 0;
    int m_recordLine = 0;
    Fault m_fault = Fault::None;
};

} // namespace Csv
