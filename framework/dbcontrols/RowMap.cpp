#include "RowMap.h"

#include <algorithm>

void RowMap::set(std::vector<std::int32_t> positions, bool ascending)
{
    m_positions = std::move(positions);
    m_mapped = true;
    m_ascending = ascending;
}

std::vector<std::int32_t> RowMap::take()
{
    std::vector<std::int32_t> previous;
    previous.swap(m_positions);
    m_mapped = false;
    m_ascending = true;
    return previous;
}

int RowMap::positionAt(int index) const
{
    return index >= 0 && index < size() ? m_positions[std::size_t(index)] : -1;
}

int RowMap::indexOf(int position, std::initializer_list<int> hints) const
{
    if (position < 0)
        return -1;
    for (int index : hints) {
        if (index >= 0 && index < size() && m_positions[std::size_t(index)] == position)
            return index;
    }
    if (m_ascending) {
        const auto at = std::lower_bound(m_positions.begin(), m_positions.end(), position);
        return at != m_positions.end() && *at == position ? int(at - m_positions.begin()) : -1;
    }
    const auto at = std::find(m_positions.begin(), m_positions.end(), position);
    return at != m_positions.end() ? int(at - m_positions.begin()) : -1;
}

int RowMap::lowerBound(int position) const
{
    return int(std::lower_bound(m_positions.begin(), m_positions.end(), position) - m_positions.begin());
}

int RowMap::nearestTo(int position) const
{
    std::int32_t after = -1;
    std::int32_t before = -1;
    for (std::int32_t shown : m_positions) {
        if (shown >= position && (after < 0 || shown < after))
            after = shown;
        if (shown < position && shown > before)
            before = shown;
    }
    return after >= 0 ? after : before;
}

void RowMap::positionInserted(int position)
{
    for (std::int32_t &shown : m_positions) {
        if (shown >= position)
            ++shown;
    }
}

int RowMap::positionRemoved(int position, std::initializer_list<int> hints)
{
    const int index = indexOf(position, hints);
    for (std::int32_t &shown : m_positions) {
        if (shown > position)
            --shown;
    }
    if (index >= 0)
        m_positions[std::size_t(index)] = -1;
    return index;
}

void RowMap::insertAt(int index, int position)
{
    m_positions.insert(m_positions.begin() + index, position);
}

void RowMap::eraseAt(int index)
{
    m_positions.erase(m_positions.begin() + index);
}
