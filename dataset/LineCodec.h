#pragma once
// The table engine's line format as pure functions: the schema's names and widths, a header line's
// column names, a line to a record text and back (fixed-width or delimited), and name lists. A
// record text holds each field in a slot of its width, one after the other.

#include "Fields.h"

#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace LineCodec {

// Every byte up to a space counts as blank.
inline bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}
std::string_view trimBlanks(std::string_view s);

// A whole integer as the schema's widths are written: leading spaces, an optional sign, then decimal
// digits, or hexadecimal ones after '$', 'x' or '0x'. False for anything else.
bool parseWidth(std::string_view text, int &width);
// The field definitions of schema lines "name=width": blank lines are skipped, a name without a
// width takes `defaultWidth`, and a repeated name takes the width of its first line. No lines give
// one field "Line". Read in one pass; no field is made once the widths before it pass `fits`, and
// `total` gets the sum of all the widths.
TFieldDefs schemaFieldDefs(const std::vector<std::string> &schema, int defaultWidth,
                           long long fits = std::numeric_limits<long long>::max(), long long *total = nullptr);

// The columns of a header line: values between delimiters, leading blanks skipped, a value in
// double quotes up to the next quote.
std::vector<std::string> splitHeader(std::string_view header, char delimiter);

// A fixed-width line is its record text: cut to `width`, a short line padded with NULs.
void fixedToRecord(std::string_view line, char *recordText, std::size_t width);
std::string recordToFixed(const char *recordText, std::size_t width);

// A delimited line into a record text of `width` bytes, each value cut to its field's width and
// padded with spaces. A value in double quotes ends at a quote followed by the delimiter or the end.
void delimitedToRecord(std::string_view line, const TFieldDefs &defs, char delimiter, char *recordText,
                       std::size_t width);
// The values of the first `count` fields of a delimited line as delimitedToRecord cuts them, pointing
// into the line; fields beyond the line's values are empty.
void delimitedValues(std::string_view line, const TFieldDefs &defs, char delimiter, std::string_view *values,
                     std::size_t count);
// The line of a record text: values without their outer blanks, quoted when they hold the delimiter
// or start with a quote, trailing empty values left out.
std::string recordToDelimited(const char *recordText, std::size_t width, const TFieldDefs &defs,
                              char delimiter);

// A list of names like a comma-separated text: items end at commas or blanks, and an item in double
// quotes may hold either (a doubled quote stands for one).
std::vector<std::string> splitNameList(std::string_view text);

} // namespace LineCodec
