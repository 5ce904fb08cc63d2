#include "CollatedOrder.h"

#include "Codec.h"

#include <QString>
#include <algorithm>
#include <numeric>

namespace {
// The distinct values among the records, each with a number, found by hash.
class DistinctValues
{
public:
    DistinctValues() : m_slots(1024, 0) {}

    std::uint32_t numberOf(std::string_view value)
    {
        const std::size_t hash = std::hash<std::string_view>{}(value);
        std::size_t slot = hash & (m_slots.size() - 1);
        while (m_slots[slot] != 0) {
            const std::uint32_t number = m_slots[slot] - 1;
            if (m_hashes[number] == hash && m_values[number] == value)
                return number;
            slot = (slot + 1) & (m_slots.size() - 1);
        }
        const auto number = std::uint32_t(m_values.size());
        m_values.push_back(value);
        m_hashes.push_back(hash);
        m_slots[slot] = number + 1;
        if (m_values.size() * 2 > m_slots.size())
            grow();
        return number;
    }

    const std::vector<std::string_view> &values() const { return m_values; }

private:
    void grow()
    {
        std::vector<std::uint32_t> table(m_slots.size() * 2, 0);
        for (std::uint32_t number = 0; number < m_values.size(); ++number) {
            std::size_t slot = m_hashes[number] & (table.size() - 1);
            while (table[slot] != 0)
                slot = (slot + 1) & (table.size() - 1);
            table[slot] = number + 1;
        }
        m_slots.swap(table);
    }

    std::vector<std::uint32_t> m_slots;
    std::vector<std::string_view> m_values;
    std::vector<std::size_t> m_hashes;
};

// The rank of each distinct value in the collation; equal values share one.
std::vector<std::uint32_t> ranksOf(const std::vector<std::string_view> &values, const QCollator &collator,
                                   std::uint32_t &rankCount)
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(values.size());
    for (std::string_view value : values)
        keys.push_back(collator.sortKey(Codec::toQString(value)));
    std::vector<std::uint32_t> order(values.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<std::uint32_t> ranks(values.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i - 1]].compare(keys[order[i]]) != 0)
            ++rank;
        ranks[order[i]] = rank;
    }
    rankCount = order.empty() ? 0 : rank + 1;
    return ranks;
}
} // namespace

std::vector<std::int32_t> collatedOrder(const std::vector<std::int32_t> *input, int count,
                                        const std::function<std::string_view(std::int32_t)> &valueOf,
                                        const QCollator &collator, bool descending)
{
    const std::size_t n = input ? input->size() : std::size_t(std::max(count, 0));
    const auto recordAt = [input](std::size_t i) { return input ? (*input)[i] : std::int32_t(i); };
    // Each record's value by its number: the values stay where the records keep them.
    std::vector<std::uint32_t> numbers(n);
    std::uint32_t rankCount = 0;
    std::vector<std::uint32_t> ranks;
    {
        DistinctValues distinct;
        for (std::size_t i = 0; i < n; ++i)
            numbers[i] = distinct.numberOf(valueOf(recordAt(i)));
        ranks = ranksOf(distinct.values(), collator, rankCount);
    }
    if (descending) {
        for (std::uint32_t &rank : ranks)
            rank = rankCount - 1 - rank;
    }
    // Counting by rank keeps the records of one rank in input order.
    std::vector<std::uint32_t> start(std::size_t(rankCount) + 1, 0);
    for (std::uint32_t number : numbers)
        ++start[ranks[number] + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::int32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[start[ranks[numbers[i]]]++] = recordAt(i);
    return order;
}
