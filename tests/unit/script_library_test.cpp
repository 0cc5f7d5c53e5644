// The script library: the list's order, the start-hotkey index and removing
// many rows at once.
#include <gtest/gtest.h>

#include <random>

#include "library_order.h"

namespace tarvix {
namespace {

using testing::HotkeyTextOrder;
using testing::Record;

constexpr uint16_t F1 = 0x70, F5 = 0x74, F6 = 0x75, F7 = 0x76;

using Names_ = std::vector<std::string>;

Names_ Names(const ScriptLibrary& library) {
    Names_ names;
    for (size_t row = 0; row < library.size(); ++row) names.push_back(library[row].m_fileName);
    return names;
}

Names_ Names(const std::vector<const CScript*>& scripts) {
    Names_ names;
    for (const CScript* s : scripts) names.push_back(s->m_fileName);
    return names;
}

template <class... R>
std::vector<std::unique_ptr<CScript>> Found(R... records) {
    std::vector<std::unique_ptr<CScript>> list;
    (list.push_back(std::move(records)), ...);
    return list;
}

TEST(LibraryOrder, RowsSortByHotkeyTextWhateverTheFoundOrder) {
    ScriptLibrary library(HotkeyTextOrder());
    library.AddAll(Found(Record(F1, ModCtrl, "f1"), Record('A', ModAlt, "a"), Record('B', ModShift, "b")));
    EXPECT_EQ(Names(library), (Names_{"a", "f1", "b"})) << "Alt+<A>, Ctrl+<F1>, Shift+<B>";
}

TEST(LibraryOrder, OfEqualTextsTheLatestAddedComesFirst) {
    // As the sorted list control places a new row before the rows it equals.
    ScriptLibrary library(HotkeyTextOrder());
    library.AddAll(Found(Record(F5, 0, "found first"), Record(F6, 0, "other"), Record(F5, 0, "found second")));
    EXPECT_EQ(Names(library), (Names_{"found second", "found first", "other"}));
    EXPECT_EQ(library.Add(Record(F5, 0, "added")), 0u);
    EXPECT_EQ(library.Add(Record(F7, 0, "last key")), 4u);
    EXPECT_EQ(Names(library), (Names_{"added", "found second", "found first", "other", "last key"}));
}

TEST(LibraryOrder, HotkeysWhoseTextsCompareEqualShareAPlace) {
    // As the locale's comparison may hold two texts equal: here every F5 is
    // alike, whatever its modifiers, and their rows go newest first.
    ScriptLibrary library([](const CScript& a, const CScript& b) { return a.m_beginHotkey < b.m_beginHotkey; });
    library.AddAll(Found(Record(F6, 0, "f6"), Record(F5, 0, "a"), Record(F5, ModCtrl, "b"), Record(F5, 0, "c"),
                         Record(F1, ModAlt, "f1")));
    EXPECT_EQ(Names(library), (Names_{"f1", "c", "b", "a", "f6"}));
}

TEST(LibraryOrder, AModifiedRowCountsAsTheLatestAddedWhenTheListIsSortedAgain) {
    ScriptLibrary library(HotkeyTextOrder());
    library.AddAll(Found(Record(F5, 0, "a"), Record(F5, 0, "b")));
    CScript edited = library[1];
    EXPECT_EQ(library.Replace(1, edited), 0u);
    library.AddAll(Found(Record(F6, 0, "c")));
    EXPECT_EQ(Names(library), (Names_{"a", "b", "c"}));
}

TEST(LibraryIndex, TheScriptsOfOneHotkeyInListOrderWithExactModifiers) {
    ScriptLibrary library(HotkeyTextOrder());
    library.AddAll(Found(Record(F5, ModCtrl, "ctrl 1"), Record(F5, 0, "plain"), Record(F5, ModCtrl | ModShift, "ctrl shift"),
                         Record(F5, ModCtrl | ModExtended, "ctrl ext"), Record(F6, ModCtrl, "f6")));
    auto disabled = Record(F5, ModCtrl, "ctrl 2");
    disabled->m_enabled = 0;
    library.Add(std::move(disabled));

    EXPECT_EQ(Names(library.ScriptsOn(F5, ModCtrl)), (Names_{"ctrl 2", "ctrl ext", "ctrl 1"}))
        << "newest first, the extended-key bit not looked at, invalid ones included";
    EXPECT_EQ(Names(library.ScriptsOn(F5, ModCtrl | ModExtended)), Names(library.ScriptsOn(F5, ModCtrl)));
    EXPECT_EQ(Names(library.ScriptsOn(F5, 0)), (Names_{"plain"}));
    EXPECT_EQ(Names(library.ScriptsOn(F5, ModCtrl | ModShift)), (Names_{"ctrl shift"}));
    EXPECT_TRUE(library.ScriptsOn(F5, ModAlt).empty());
    EXPECT_TRUE(library.UsesKey(F5) && library.UsesKey(F6) && !library.UsesKey(F7));

    library.SetEnabled(0, false);  // "plain"
    library.SetEnabled(1, true);   // "ctrl 2"
    library.SetEnabled(99, false);  // no such row
    EXPECT_EQ(library[0].m_enabled, 0);
    EXPECT_EQ(library[1].m_enabled, 1);
    EXPECT_EQ(library[2].m_enabled, 1) << "only the rows asked for change";
    EXPECT_EQ(library.ScriptsOn(F5, ModCtrl).size(), 3u) << "the index holds invalid and valid scripts alike";
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
    for (size_t row = 0; row < model.rows.size(); ++row) ASSERT_EQ(library[row].m_fileName, model.rows[row].name);
    for (uint16_t vk = F1; vk < F1 + 3; ++vk) {
        bool used = false;
        for (uint16_t mods = 0; mods < 16; ++mods) {
            Names_ expected;
            for (const auto& row : model.rows)
                if (row.vk == vk && (row.mods & 7) == (mods & 7)) expected.push_back(row.name);
            used = used || !expected.empty();
            ASSERT_EQ(Names(library.ScriptsOn(vk, mods)), expected) << vk << " " << mods;
        }
        ASSERT_EQ(library.UsesKey(vk), used);
    }
}

// Loading all at once, then adds, modifications (a modified row sorts as
// one added now, and stays the same record) and removals of many rows in any
// order, with repeats and rows that are not there.
TEST(LibraryModel, OrderAndIndexFollowEveryAddModifyAndRemove) {
    std::mt19937 random(11);
    ScriptLibrary library(HotkeyTextOrder());
    ListModel model;
    int next = 0;
    auto hotkey = [&random] {
        return std::make_pair(static_cast<uint16_t>(F1 + random() % 3), static_cast<uint16_t>(random() % 10));
    };
    std::vector<std::unique_ptr<CScript>> found;
    for (; next < 200; ++next) {
        auto [vk, mods] = hotkey();
        found.push_back(Record(vk, mods, std::to_string(next)));
        found.back()->m_enabled = next % 2;  // the index holds invalid scripts too
        model.Insert({std::to_string(next), vk, mods});
    }
    library.AddAll(std::move(found));
    ExpectSame(library, model);
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
        } else {
            std::vector<size_t> rows;
            for (size_t row = 0; row < model.rows.size(); ++row)
                if (random() % 4 == 0) rows.push_back(row);
            for (auto it = rows.rbegin(); it != rows.rend(); ++it)
                model.rows.erase(model.rows.begin() + static_cast<std::ptrdiff_t>(*it));
            if (!rows.empty()) rows.push_back(rows.front());
            rows.push_back(library.size() + random() % 3);
            std::shuffle(rows.begin(), rows.end(), random);
            library.Remove(rows);
        }
        ExpectSame(library, model);
    }
}

}  // namespace
}  // namespace tarvix
