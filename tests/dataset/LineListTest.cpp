#include "LineList.h"
#include "Catalogue.h"

#include <gtest/gtest.h>
#include <random>

namespace {
struct Line
{
    std::string text;
    std::int32_t id;
};

// The list as a plain vector: what LineList must always agree with.
struct Model
{
    std::vector<Line> lines;
    std::int32_t lastId = 0;

    int indexOf(std::int32_t id) const
    {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].id == id)
                return int(i);
        }
        return -1;
    }
};

void expectSame(const LineList &list, const Model &model)
{
    ASSERT_EQ(list.count(), int(model.lines.size()));
    for (int i = 0; i < list.count(); ++i) {
        ASSERT_EQ(list.at(i), model.lines[std::size_t(i)].text) << "line " << i;
        ASSERT_EQ(list.id(i), model.lines[std::size_t(i)].id) << "line " << i;
    }
}

std::string text(std::mt19937 &random, std::int32_t id)
{
    // Some lines blank, so that erasing the blank ones has work to do.
    if (random() % 7 == 0)
        return std::string(random() % 3, ' ');
    return "film " + std::to_string(id) + std::string(random() % 5, 'x');
}
} // namespace

TEST(LineList, AgreesWithAPlainVectorThroughRandomEdits)
{
    std::mt19937 random(20240613);
    Model model;
    std::string file;
    for (int i = 0; i < 9000; ++i) {
        const std::string line = text(random, i + 1);
        model.lines.push_back({line, i + 1});
        file += line + "\r\n";
    }
    model.lastId = 9000;
    LineList list;
    list.loadText(file);
    expectSame(list, model);

    // Edits come in runs at one place, as a user adds or removes films there, so blocks fill up,
    // split and empty out; sometimes the place jumps. Phases of growth and of shrinking alternate.
    int place = 0;
    for (int step = 0; step < 40000; ++step) {
        const int count = int(model.lines.size());
        if (random() % 50 == 0)
            place = count > 0 ? int(random() % unsigned(count + 1)) : 0;
        place = std::min(place, count);
        const bool growing = (step / 5000) % 2 == 0;
        const unsigned op = random() % 100;
        if (op < (growing ? 60u : 28u) || count == 0) {
            const std::int32_t id = ++model.lastId;
            const std::string line = text(random, id);
            list.insert(place, line, id);
            model.lines.insert(model.lines.begin() + place, {line, id});
        } else if (op < 88) {
            const int at = std::min(place, count - 1);
            list.erase(at);
            model.lines.erase(model.lines.begin() + at);
        } else if (op < 96) {
            const int at = int(random() % unsigned(count));
            const std::string line = "replaced " + std::to_string(step);
            list.replace(at, line);
            model.lines[std::size_t(at)].text = line;
        } else if (op < 97 && step % 5 == 0) {
            int first = -2;
            const int erased =
                list.eraseIf([](std::string_view s) { return s.find_first_not_of(' ') == s.npos; }, &first);
            int expectedFirst = -1;
            int expectedErased = 0;
            std::vector<Line> kept;
            for (std::size_t i = 0; i < model.lines.size(); ++i) {
                if (model.lines[i].text.find_first_not_of(' ') == std::string::npos) {
                    if (expectedFirst < 0)
                        expectedFirst = int(i);
                    ++expectedErased;
                } else {
                    kept.push_back(model.lines[i]);
                }
            }
            model.lines = std::move(kept);
            ASSERT_EQ(erased, expectedErased);
            ASSERT_EQ(first, expectedFirst);
        }

        // Lookups by position and by ID, near the edits and anywhere.
        const int now = int(model.lines.size());
        ASSERT_EQ(list.count(), now);
        if (now == 0)
            continue;
        for (int probe : {std::min(place, now - 1), int(random() % unsigned(now))}) {
            ASSERT_EQ(list.at(probe), model.lines[std::size_t(probe)].text) << "step " << step;
            ASSERT_EQ(list.id(probe), model.lines[std::size_t(probe)].id) << "step " << step;
        }
        const Line &some = model.lines[random() % unsigned(now)];
        const int hint = int(random() % unsigned(now + 2)) - 1;
        ASSERT_EQ(list.indexOfId(some.id, hint), model.indexOf(some.id)) << "step " << step;
        // An ID that is gone, or never was, is found nowhere.
        const std::int32_t other = std::int32_t(random() % unsigned(model.lastId + 2)) - 1;
        ASSERT_EQ(list.indexOfId(other, -1), model.indexOf(other)) << "step " << step << " id " << other;
        if (step % 2000 == 0)
            expectSame(list, model);
    }
    expectSame(list, model);
}

TEST(LineList, EmptiesAndFillsAgain)
{
    LineList list;
    list.loadText("one\r\ntwo\r\n");
    list.erase(1);
    list.erase(0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.indexOfId(1, 0), -1);
    list.insert(0, "three", 3);
    list.insert(0, "four", 4);
    EXPECT_EQ(list.at(0), "four");
    EXPECT_EQ(list.indexOfId(3, -1), 1);
    // IDs stay unique and above the loaded ones.
    EXPECT_THROW(list.insert(0, "again", 3), std::invalid_argument);
    EXPECT_THROW(list.insert(0, "loaded", 2), std::invalid_argument);
    EXPECT_EQ(list.count(), 2);
    int first = 0;
    EXPECT_EQ(list.eraseIf([](std::string_view) { return true; }, &first), 2);
    EXPECT_EQ(first, 0);
    EXPECT_TRUE(list.empty());
    list.insert(0, "five", 5);
    EXPECT_EQ(list.indexOfId(5, -1), 0);
}

TEST(LineList, SavesTheLinesInOrderAfterEdits)
{
    Catalogue c;
    std::string file;
    for (int i = 1; i <= 5000; ++i)
        file += std::to_string(i) + "\n";
    LineList list;
    list.loadText(file);
    for (int i = 0; i < 3000; ++i)
        list.insert(10, "new", 5001 + i);
    for (int i = 0; i < 2500; ++i)
        list.erase(4000);
    list.save(c.db());
    std::string expected;
    for (int i = 1; i <= 10; ++i)
        expected += std::to_string(i) + "\r\n";
    for (int i = 0; i < 3000; ++i)
        expected += "new\r\n";
    for (int i = 11; i <= 5000; ++i) {
        if (i + 2999 < 4000 || i + 2999 >= 6500)
            expected += std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(c.readDb(), expected);
}
