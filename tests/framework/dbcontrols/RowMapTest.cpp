#include "RowMap.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace {
// What the map must hold: the positions shown, in order, of a catalogue of `count` records.
struct Reference
{
    std::vector<int> shown;
    int count = 0;
    bool ascending = true;

    int indexOf(int position) const
    {
        const auto at = std::find(shown.begin(), shown.end(), position);
        return at != shown.end() ? int(at - shown.begin()) : -1;
    }
};

void expectSame(const RowMap &map, const Reference &ref, int step)
{
    ASSERT_EQ(map.size(), int(ref.shown.size())) << "step " << step;
    for (std::size_t i = 0; i < ref.shown.size(); ++i)
        ASSERT_EQ(map.positions()[i], ref.shown[i]) << "step " << step << " index " << i;
}
} // namespace

// A long random run of what the grid does to its map (set it for a filter or a sort, store and
// remove records, look rows and positions up both ways), checked after every step against a
// plain vector.
TEST(RowMap, FollowsAPlainVectorThroughARandomRun)
{
    std::mt19937 random(20261209);
    auto below = [&](int n) { return n <= 0 ? 0 : int(random() % unsigned(n)); };
    RowMap map;
    Reference ref;
    ref.count = 40;
    map.set({}, true);
    for (int step = 0; step < 20000; ++step) {
        switch (below(8)) {
        case 0: {
            // A filter (catalogue order) or a sort (any order) over some of the records.
            std::vector<int> shown;
            for (int position = 0; position < ref.count; ++position) {
                if (below(3) != 0)
                    shown.push_back(position);
            }
            ref.ascending = below(2) == 0;
            if (!ref.ascending)
                std::shuffle(shown.begin(), shown.end(), random);
            ref.shown = shown;
            map.set(std::vector<std::int32_t>(shown.begin(), shown.end()), ref.ascending);
            break;
        }
        case 1: {
            // A record stored in front of `position` takes its place in the view.
            const int position = below(ref.count + 1);
            ++ref.count;
            for (int &shown : ref.shown) {
                if (shown >= position)
                    ++shown;
            }
            map.positionInserted(position);
            int index = 0;
            if (ref.ascending) {
                index =
                    int(std::lower_bound(ref.shown.begin(), ref.shown.end(), position) - ref.shown.begin());
                ASSERT_EQ(map.lowerBound(position), index) << "step " << step;
            } else {
                index = below(int(ref.shown.size()) + 1);
            }
            ref.shown.insert(ref.shown.begin() + index, position);
            map.insertAt(index, position);
            break;
        }
        case 2: {
            if (ref.count == 0)
                break;
            const int position = below(ref.count);
            const int expected = ref.indexOf(position);
            --ref.count;
            for (int &shown : ref.shown) {
                if (shown > position)
                    --shown;
            }
            const int hint = below(int(ref.shown.size()) + 2) - 1;
            const int index = map.positionRemoved(position, {hint});
            ASSERT_EQ(index, expected) << "step " << step;
            if (index >= 0) {
                ASSERT_EQ(map.positionAt(index), -1) << "step " << step;
                ref.shown.erase(ref.shown.begin() + index);
                map.eraseAt(index);
            }
            break;
        }
        case 3: {
            const int index = below(int(ref.shown.size()) + 4) - 2;
            const int expected =
                index >= 0 && index < int(ref.shown.size()) ? ref.shown[std::size_t(index)] : -1;
            ASSERT_EQ(map.positionAt(index), expected) << "step " << step;
            break;
        }
        case 4:
        case 5: {
            const int position = below(ref.count + 2) - 1;
            const int hint = below(int(ref.shown.size()) + 2) - 1;
            const int other = below(int(ref.shown.size()) + 2) - 1;
            ASSERT_EQ(map.indexOf(position, {hint, other}), ref.indexOf(position)) << "step " << step;
            break;
        }
        case 6: {
            const int position = below(ref.count + 1);
            // The first shown from `position` on in the catalogue, else the last before it.
            std::vector<int> sorted = ref.shown;
            std::sort(sorted.begin(), sorted.end());
            const auto after = std::lower_bound(sorted.begin(), sorted.end(), position);
            const int expected = after != sorted.end() ? *after : sorted.empty() ? -1 : sorted.back();
            ASSERT_EQ(map.nearestTo(position), expected) << "step " << step;
            break;
        }
        default:
            if (below(50) == 0) {
                // Back to every record in catalogue order.
                const std::vector<std::int32_t> previous = map.take();
                ASSERT_EQ(std::vector<int>(previous.begin(), previous.end()), ref.shown) << "step " << step;
                ASSERT_FALSE(map.mapped());
                ref.shown.clear();
                ref.ascending = true;
                map.set({}, true);
            }
            break;
        }
        ASSERT_TRUE(map.mapped());
        expectSame(map, ref, step);
    }
}
