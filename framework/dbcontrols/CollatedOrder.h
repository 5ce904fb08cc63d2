#pragma once
// Orders records by one text value each in the collation of a language, stably: records with equal
// values keep the order they came in. The values are Windows-1251 bytes. Each distinct value is
// decoded and given its collation key once; the records are then placed by the rank of their
// value in one counting pass, so the work grows with the records, not with their comparisons.

#include <QCollator>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// The order of records `input` (all records 0 to count - 1 when null), by the value
// `valueOf(record)`, ascending or descending; records of equal value in input order.
std::vector<std::int32_t> collatedOrder(const std::vector<std::int32_t> *input, int count,
                                        const std::function<std::string_view(std::int32_t)> &valueOf,
                                        const QCollator &collator, bool descending);
