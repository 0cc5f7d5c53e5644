// The script library: the list's order, the start-hotkey index and removing
// many rows at once, against a model of the sorted list control.
#include <gtest/gtest.h>

#include <random>

#include "test_support.h"

namespace tarvix {
namespace {

using testing::HotkeyTextOrder;
using testing::Record;
using Names = std::vector<std::string>;
constexpr uint16_t F1 = 0x70, F5 = 0x74;

Names NamesOf(const std::vector<const CScript*>& scripts) {
    Names names;
    for (const CScript* s : scripts) names.push_back(s->m_fileName);
    return names;
}

// Only the row asked for changes; the index holds invalid scripts too.
TEST(LibraryIndex, SwitchingARowOnOrOff) {
    ScriptLibrary library(HotkeyTextOrder());
    for (uint16_t mods : {0, 1, 2}) library.Add(Record(F5, mods));
    library.SetEnabled(2, false);
    library.SetEnabled(99, false);  // no such row
    library.SetEnabled(0, false);
    library.SetEnabled(0, true);
    EXPECT_EQ(library[0].m_enabled + library[1].m_enabled * 2 + library[2].m_enabled * 4, 3);
    EXPECT_EQ(library.ScriptsOn(F5, library[2].m_beginHotkeyMod).size(), 1u);
}

// A model of the sorted list control: a new row goes before the first row
// whose text is not less than its own.
struct ListModel {
    struct Row {
        std::string name;
        uint16_t vk, mods;
        std::string text() const { return HotkeyText(vk, mods); }
    };
    std::vector<Row> rows;
    size_t Insert(Row row) {
        size_t at = 0;
        while (at < rows.size() && rows[at].text() < row.text()) ++at;
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), row);
        return at;
    }
};

void ExpectSame(const ScriptLibrary& library, const ListModel& model) {
    ASSERT_EQ(library.size(), model.rows.size());
    for (size_t row = 0; row < library.size(); ++row) ASSERT_EQ(library[row].m_fileName, model.rows[row].name) << row;
    for (uint16_t vk = F1; vk < F1 + 3; ++vk) {
        bool used = false;
        for (uint16_t mods = 0; mods < 16; ++mods) {
            Names expected;
            for (const auto& row : model.rows)
                if (row.vk == vk && (row.mods & 7) == (mods & 7)) expected.push_back(row.name);
            used = used || !expected.empty();
            ASSERT_EQ(NamesOf(library.ScriptsOn(vk, mods)), expected) << vk << " " << mods;
        }
        ASSERT_EQ(library.UsesKey(vk), used);
    }
}

// Loading all at once, then adds, modifications (a modified row sorts as
// one added now, and stays the same record) and removals of many rows in any
// order, with repeats and rows that are not there. Hotkeys that differ only
// in the extended-key bit have equal texts and share a place, newest first,
// as texts the locale's comparison holds equal do.
TEST(LibraryModel, OrderAndIndexFollowEveryAddModifyAndRemove) {
    std::mt19937 random(11);
    ScriptLibrary library(HotkeyTextOrder());
    ListModel model;
    int next = 0;
    auto hotkey = [&random] {
        return std::make_pair(static_cast<uint16_t>(F1 + random() % 3), static_cast<uint16_t>(random() % 10));
    };
    // Loading many at once sorts every row again, the latest added or
    // modified first of its equals.
    const auto load = [&](int count) {
        std::vector<std::unique_ptr<CScript>> found;
        for (int i = 0; i < count; ++i, ++next) {
            auto [vk, mods] = hotkey();
            found.push_back(Record(vk, mods, std::to_string(next)));
            found.back()->m_enabled = next % 2;
            model.Insert({std::to_string(next), vk, mods});
        }
        library.AddAll(std::move(found));
        ExpectSame(library, model);
    };
    load(200);
    for (int step = 0; step < 600; ++step) {
        const unsigned choice = random() % 10;
        if (choice < 5 || model.rows.empty()) {
            auto [vk, mods] = hotkey();
            const std::string name = std::to_string(next++);
            ASSERT_EQ(library.Add(Record(vk, mods, name)), model.Insert({name, vk, mods}));
        } else if (choice < 8) {
            const size_t row = random() % (model.rows.size() + 1);
            auto [vk, mods] = hotkey();
            CScript edited = library[row % model.rows.size()];
            edited.m_beginHotkey = vk;
            edited.m_beginHotkeyMod = mods;
            if (row == model.rows.size()) {
                ASSERT_EQ(library.Replace(row, edited), row) << "no such row: nothing changes";
                continue;
            }
            const CScript* record = &library[row];
            ListModel::Row moved = model.rows[row];
            model.rows.erase(model.rows.begin() + static_cast<std::ptrdiff_t>(row));
            moved.vk = vk;
            moved.mods = mods;
            const size_t at = library.Replace(row, edited);
            ASSERT_EQ(at, model.Insert(moved));
            ASSERT_EQ(&library[at], record);
        } else if (choice < 9) {
            std::vector<size_t> rows;
            for (size_t row = 0; row < model.rows.size(); ++row)
                if (random() % 4 == 0) rows.push_back(row);
            for (auto it = rows.rbegin(); it != rows.rend(); ++it)
                model.rows.erase(model.rows.begin() + static_cast<std::ptrdiff_t>(*it));
            if (!rows.empty()) rows.push_back(rows.front());
            rows.push_back(library.size() + random() % 3);
            std::shuffle(rows.begin(), rows.end(), random);
            library.Remove(rows);
        } else {
            load(3);
        }
        ExpectSame(library, model);
    }
}

}  // namespace
}  // namespace tarvix
