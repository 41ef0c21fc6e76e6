#include "catalog/FieldCatalog.h"
#include "fieldmap/FieldMap.h"
#include "fieldmap/FieldMapButtons.h"
#include "fieldmap/FieldMapMessages.h"
#include "host/HostError.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>

using expwiz::AvailableField;
using expwiz::FieldMap;
using expwiz::FieldMapButtons;

namespace {

FieldMap mapOf(const std::vector<int32_t>& ids, const std::vector<int>& selected = {})
{
    FieldMap map;
    map.assign(ids);
    map.selectOnly(selected);
    return map;
}

std::vector<int32_t> idsOf(const std::vector<AvailableField>& fields)
{
    std::vector<int32_t> out;
    for (const AvailableField& f : fields)
        out.push_back(f.id);
    return out;
}

} // namespace

TEST(FieldMap, SelectedRunsMoveByOneAndCarryTheirSelection)
{
    struct Case {
        const char* name;
        bool up;
        std::vector<int32_t> ids;
        std::vector<int> selected;
        std::vector<int32_t> movedIds;
        std::vector<int> movedSelection;
    };
    const Case cases[] = {
        {"up: five entries, 1, 2 and 4 selected", true, {1001, 1002, 1003, 1004, 1005}, {1, 2, 4},
         {1002, 1003, 1001, 1005, 1004}, {0, 1, 3}},
        {"up: a run touching the top does not move", true, {1001, 1002, 1003}, {0, 1}, {1001, 1002, 1003}, {0, 1}},
        {"up: entries 1 and 2 move to 0 and 1", true, {1001, 1002, 1003, 1004}, {1, 2}, {1002, 1003, 1001, 1004},
         {0, 1}},
        {"down: mirror of the five-entry example", false, {1001, 1002, 1003, 1004, 1005}, {0, 2, 3},
         {1002, 1001, 1005, 1003, 1004}, {1, 3, 4}},
        {"down: a run touching the bottom does not move", false, {1001, 1002, 1003, 1004}, {2, 3},
         {1001, 1002, 1003, 1004}, {2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FieldMap map = mapOf(c.ids, c.selected);
        EXPECT_TRUE(c.up ? map.moveSelectedUp() : map.moveSelectedDown());
        EXPECT_EQ(map.ids(), c.movedIds);
        EXPECT_EQ(map.selectedPositions(), c.movedSelection);
    }
    SCOPED_TRACE("nothing selected: refused, map unchanged");
    FieldMap map = mapOf({1001, 1002});
    EXPECT_FALSE(map.moveSelectedUp());
    EXPECT_FALSE(map.moveSelectedDown());
    EXPECT_EQ(map.ids(), (std::vector<int32_t>{1001, 1002}));
    EXPECT_FALSE(FieldMap().moveSelectedDown());
}

TEST(FieldMap, AddAppendsUnselectedAndNeverDuplicatesAColumn)
{
    FieldMap map;
    std::vector<int32_t> hooked;
    const auto hook = [&hooked](int32_t id) { hooked.push_back(id); };
    {
        SCOPED_TRACE("System No and Acquisition Date arrive in the available list's order");
        const std::vector<AvailableField> available = map.availableFields(QStringLiteral("All Fields"), false, false, false);
        std::vector<int32_t> chosen;
        for (const AvailableField& f : available)
            if (f.id == 1004 || f.id == 1002)
                chosen.push_back(f.id);
        EXPECT_EQ(map.add(chosen, hook), 2);
        EXPECT_EQ(map.itemTexts(false), (QStringList{QStringLiteral("[A] Acquisition Date"), QStringLiteral("[B] System No")}));
        EXPECT_EQ(map.ids(), (std::vector<int32_t>{1002, 1004}));
        EXPECT_FALSE(map.hasSelection());
        EXPECT_EQ(hooked, (std::vector<int32_t>{1002, 1004}));
    }
    {
        SCOPED_TRACE("fields in the map are offered under no category");
        for (const QString& category : expwiz::FieldCatalog::categoryNames()) {
            const auto ids = idsOf(map.availableFields(category, false, false, true));
            EXPECT_EQ(std::count(ids.begin(), ids.end(), 1002), 0) << category.toStdString();
            EXPECT_EQ(std::count(ids.begin(), ids.end(), 1004), 0) << category.toStdString();
        }
    }
    {
        SCOPED_TRACE("a field already in the map, one given twice and a non-field are refused");
        hooked.clear();
        EXPECT_EQ(map.add({1004, 1012, 1012, 0, 1114}, hook), 1);
        EXPECT_EQ(map.ids(), (std::vector<int32_t>{1002, 1004, 1012}));
        EXPECT_EQ(hooked, (std::vector<int32_t>{1012}));
    }
    {
        SCOPED_TRACE("existing entries keep their positions and letters");
        map.setSelected(0, true);
        map.add({1001});
        EXPECT_EQ(map.itemText(0, false), QStringLiteral("[A] Acquisition Date"));
        EXPECT_EQ(map.itemText(3, false), QStringLiteral("[D] G/L Accum Account No"));
        EXPECT_EQ(map.selectedPositions(), (std::vector<int>{0}));
    }
}

TEST(FieldMap, RemoveRelabelsAndOffersTheFieldAgain)
{
    FieldMap map = mapOf({1012, 1004, 1075}, {1});
    EXPECT_EQ(map.removeSelected(), 1);
    EXPECT_EQ(map.itemTexts(false), (QStringList{QStringLiteral("[A] Description"), QStringLiteral("[B] Acquisition Value")}));
    EXPECT_FALSE(map.hasSelection());
    EXPECT_FALSE(map.contains(1004));
    const auto general = idsOf(map.availableFields(QStringLiteral("General Info Fields"), false, false, false));
    EXPECT_NE(std::find(general.begin(), general.end(), 1004), general.end());
    const auto critical = idsOf(map.availableFields(QStringLiteral("Critical Fields"), false, false, false));
    EXPECT_EQ(std::find(critical.begin(), critical.end(), 1004), critical.end());

    map.selectOnly({0, 1});
    EXPECT_EQ(map.removeSelected(), 2);
    EXPECT_TRUE(map.isEmpty());
}

TEST(FieldMap, AvailableFieldsFollowTheEditionAndSortLikeTheList)
{
    const FieldMap empty;
    {
        SCOPED_TRACE("standard edition without inventory: 95 labels in order");
        const auto fields = empty.availableFields(QStringLiteral("All Fields"), false, false, false);
        EXPECT_EQ(fields.size(), 95u);
        EXPECT_TRUE(std::is_sorted(fields.begin(), fields.end(), &FieldMap::labelLess));
        // case does not decide: "Acquisition Date" before "ADS Life"
        const auto pos = [&fields](const char* label) {
            return std::find_if(fields.begin(), fields.end(),
                                [label](const AvailableField& f) { return f.label == QLatin1String(label); })
                   - fields.begin();
        };
        EXPECT_LT(pos("Acquisition Date"), pos("ADS Life"));
        EXPECT_LT(pos("ADS Life"), pos("Amount Transferred"));
        EXPECT_EQ(fields.front().label, QStringLiteral("168(k) Allowance"));
    }
    {
        SCOPED_TRACE("organization edition renames three labels");
        const auto fields = empty.availableFields(QStringLiteral("  General Info Fields "), false, true, false);
        QStringList labels;
        for (const AvailableField& f : fields)
            labels << f.label;
        EXPECT_TRUE(labels.contains(QStringLiteral("Tag No")));
        EXPECT_TRUE(labels.contains(QStringLiteral("Quantity")));
        EXPECT_TRUE(labels.contains(QStringLiteral("Fund")));
        EXPECT_FALSE(labels.contains(QStringLiteral("Company Asset No")));
    }
    {
        SCOPED_TRACE("labels equal but for case: a stable, documented order");
        EXPECT_TRUE(FieldMap::labelLess({2, QStringLiteral("abc")}, {1, QStringLiteral("ABD")}));
        EXPECT_TRUE(FieldMap::labelLess({2, QStringLiteral("ABC")}, {1, QStringLiteral("abc")}));
        EXPECT_TRUE(FieldMap::labelLess({1, QStringLiteral("abc")}, {2, QStringLiteral("abc")}));
    }
}

TEST(FieldMap, ColumnLettersFollowThePosition)
{
    std::vector<int32_t> ids;
    for (int32_t id = 1001; id <= 1027; ++id)
        ids.push_back(id);
    FieldMap map = mapOf(ids);
    EXPECT_EQ(map.itemText(24, false), QStringLiteral("[Y] Orvi User Field 10"));
    EXPECT_EQ(map.itemText(25, false), QStringLiteral("[Z] Insurance Category"));
    EXPECT_EQ(map.itemText(25, true), QStringLiteral("[Z] Fund"));
    EXPECT_EQ(map.itemText(26, true), QStringLiteral("[AA] ITC Option"));
    EXPECT_EQ(map.itemText(7, true), QStringLiteral("[H] Tag No"));
    EXPECT_THROW(map.itemText(27, false), orvo::HostError);
}

TEST(FieldMap, ChangeIsComputedFromTheSavedIds)
{
    const std::vector<int32_t> saved{1004, 1012, 1075};
    FieldMap map = mapOf(saved);
    {
        SCOPED_TRACE("a reloaded map is unchanged");
        EXPECT_FALSE(map.isChangedFrom(saved, false));
    }
    {
        SCOPED_TRACE("the same fields in another order are a change, moving back undoes it");
        map.selectOnly({2});
        map.moveSelectedUp();
        EXPECT_TRUE(map.isChangedFrom(saved, false));
        map.moveSelectedDown();
        EXPECT_FALSE(map.isChangedFrom(saved, false));
    }
    {
        SCOPED_TRACE("a different count is a change");
        map.add({1001});
        EXPECT_TRUE(map.isChangedFrom(saved, false));
    }
    {
        SCOPED_TRACE("a new map: empty is unchanged, with entries always changed");
        FieldMap fresh;
        EXPECT_FALSE(fresh.isChangedFrom({}, true));
        fresh.add({1004});
        EXPECT_TRUE(fresh.isChangedFrom({1004}, true));
        EXPECT_FALSE(fresh.isChangedFrom({1004}, false));
    }
}

TEST(FieldMap, SystemNumberColumnAndLoadedDuplicates)
{
    FieldMap map;
    EXPECT_EQ(map.assign({1012, 1004, 0, 1004, 2000}), 2);
    EXPECT_EQ(map.ids(), (std::vector<int32_t>{1012, 1004, 1004}));
    EXPECT_EQ(map.systemNumberColumn(), 1);
    map.assign({1012, 1075});
    EXPECT_EQ(map.systemNumberColumn(), 2);
    map.clear();
    EXPECT_EQ(map.systemNumberColumn(), 0);
    EXPECT_THROW(map.setSelected(0, true), orvo::HostError);
}

TEST(FieldMap, ButtonStatesFollowTheMapAndSelection)
{
    // Remove, Up and Down are left as they are (no value) for an empty map.
    using Opt = std::optional<bool>;
    struct Case {
        std::vector<int32_t> ids;
        std::vector<int> selected;
        bool filled;
        Opt remove, up, down;
    };
    const std::vector<int32_t> three{1001, 1002, 1003};
    const Case cases[] = {
        {{}, {}, false, {}, {}, {}},          {three, {}, true, false, false, false},
        {three, {0}, true, true, false, true}, {three, {2}, true, true, true, false},
        {three, {1}, true, true, true, true},  {three, {0, 2}, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ids.size() << " entries, " << c.selected.size() << " selected");
        const FieldMapButtons b = FieldMapButtons::forMap(mapOf(c.ids, c.selected));
        EXPECT_EQ(b.next, c.filled);
        EXPECT_EQ(b.save, c.filled);
        EXPECT_EQ(b.print, c.filled);
        EXPECT_EQ(b.remove, c.remove);
        EXPECT_EQ(b.up, c.up);
        EXPECT_EQ(b.down, c.down);
    }
}

TEST(FieldMap, LeavingQuestionDependsOnTheMapName)
{
    EXPECT_EQ(expwiz::FieldMapMessages::saveChangedMapQuestion(QStringLiteral("Q1")),
              QStringLiteral("The export map is changed. Would you like to save the field map?"));
    EXPECT_EQ(expwiz::FieldMapMessages::saveChangedMapQuestion(QString()),
              QStringLiteral("The specified field map has not been saved. Would you like to save the field map?"));
}
