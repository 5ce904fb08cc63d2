// The CSV reader of the import, on any text: it ends, counts no more records than the text has
// lines, and what it reads without a fault reads the same again once written. Values written by the
// export's writer read back exactly.
//
// Input: any bytes, read as a CSV text. The same bytes, cut into records at 0xFE and into values at
// 0xFF, are also written and read back.

#include "Csv.h"
#include "FuzzTarget.h"
#include "SanitizerDefaults.h"

#include <string>
#include <string_view>
#include <vector>

namespace {
using Records = std::vector<std::vector<std::string>>;

// Every record of `text`; false when the reader stopped at a fault.
bool readAll(std::string_view text, Records &records)
{
    Csv::Reader reader(text);
    std::vector<std::string> values;
    int lastLine = 0;
    while (reader.next(values)) {
        FUZZ_CHECK(!values.empty());
        FUZZ_CHECK(reader.record() == int(records.size()) + 1);
        FUZZ_CHECK(reader.line() > lastLine);
        lastLine = reader.line();
        records.push_back(values);
    }
    if (reader.fault() == Csv::Reader::Fault::None)
        return true;
    FUZZ_CHECK(reader.line() >= 1);
    return false;
}

std::string writeAll(const Records &records)
{
    std::string out;
    std::vector<std::string_view> views;
    for (const auto &record : records) {
        views.assign(record.begin(), record.end());
        Csv::appendRecord(out, views);
    }
    return out;
}

std::vector<std::string> split(std::string_view text, char at)
{
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = text.find(at);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return parts;
        text.remove_prefix(end + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    Records read;
    const bool whole = readAll(text, read);
    std::size_t lineEnds = 0;
    for (const char c : text)
        lineEnds += c == '\n' || c == '\r';
    FUZZ_CHECK(read.size() <= lineEnds + 1);
    if (whole) {
        Records again;
        FUZZ_CHECK(readAll(writeAll(read), again));
        FUZZ_CHECK(again == read);
    }

    Records written;
    for (const std::string &record : split(text, '\xFE'))
        written.push_back(split(record, '\xFF'));
    Records back;
    FUZZ_CHECK(readAll(writeAll(written), back));
    FUZZ_CHECK(back == written);
    return 0;
}
