#pragma once
// The grid's view of the stored records when it is filtered or sorted: the positions it shows, in
// the order it shows them. Without a map every stored record shows, in catalogue order.

#include <cstdint>
#include <initializer_list>
#include <vector>

class RowMap
{
public:
    // Whether a map orders the view; without one, index and position are the same.
    bool mapped() const { return m_mapped; }
    // The view shows these positions in this order; `ascending` when they are kept in catalogue
    // order, so that a position is found by halving.
    void set(std::vector<std::int32_t> positions, bool ascending);
    // Back to every record in catalogue order; the map it was is handed back.
    std::vector<std::int32_t> take();

    int size() const { return int(m_positions.size()); }
    bool empty() const { return m_positions.empty(); }
    const std::vector<std::int32_t> &positions() const { return m_positions; }
    // The position shown at an index, -1 outside the map.
    int positionAt(int index) const;
    // The index a position shows at, -1 when the map leaves it out. The hints are indices tried
    // first: the view asks for the same few nearly always.
    int indexOf(int position, std::initializer_list<int> hints = {}) const;
    // Where a position goes in a map kept in catalogue order.
    int lowerBound(int position) const;
    // The nearest position shown from `position` on, or else the last before it; -1 when empty.
    int nearestTo(int position) const;

    // A record was stored in front of `position`: that one and those behind it move one place on.
    void positionInserted(int position);
    // The record at `position` was removed: those behind it move one place back. Its index is
    // returned (-1 when not shown) and shows -1 until it is erased.
    int positionRemoved(int position, std::initializer_list<int> hints = {});
    void insertAt(int index, int position);
    void eraseAt(int index);

private:
    std::vector<std::int32_t> m_positions;
    bool m_mapped = false;
    bool m_ascending = true;
};
