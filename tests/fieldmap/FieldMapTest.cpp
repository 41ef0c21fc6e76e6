#include "catalog/FieldCatalog.h"
#include "fieldmap/FieldMap.h"
#include "fieldmap/FieldMapButtons.h"

#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expwiz::AvailableField;
using expwiz::FieldMap;
using Ids = std::vector<int32_t>;

namespace {

// A map written as letters: "a" is field 1001, "b" 1002 and so on; a capital letter is a selected entry.
FieldMap mapOf(const char* letters)
{
    Ids ids;
    for (const char* c = letters; *c; ++c)
        ids.push_back(1001 + (*c | 0x20) - 'a');
    FieldMap map;
    map.assign(ids);
    for (int i = 0; letters[i]; ++i)
        map.setSelected(i, letters[i] < 'a');
    return map;
}

std::string lettersOf(const FieldMap& map)
{
    std::string out;
    for (const auto& e : map.entries())
        out += char((e.selected ? 'A' : 'a') + e.id - 1001);
    return out;
}

// The labels the editor offers for a category, in its order.
QStringList offered(const FieldMap& map, const QString& category, bool gasb = false, bool inventory = false)
{
    QStringList out;
    for (const AvailableField& f : map.availableFields(category, false, gasb, inventory))
        out << f.label;
    return out;
}

} // namespace

TEST(FieldMap, SelectedRunsMoveByOneAndCarryTheirSelection)
{
    struct Case { const char *before, *up, *down; };   // a run touching the end it moves to stays
    for (const Case& c : {Case{"aBCdE", "BCaEd", "adBCE"}, Case{"ABc", "ABc", "cAB"}, Case{"aBCd", "BCad", "adBC"},
                          Case{"AbCDe", "ACDbe", "bAeCD"}, Case{"abCD", "aCDb", "abCD"}, Case{"ab", "ab", "ab"}}) {
        SCOPED_TRACE(c.before);
        for (const bool up : {true, false}) {
            FieldMap map = mapOf(c.before);
            // nothing selected: refused, the map unchanged
            EXPECT_EQ(up ? map.moveSelectedUp() : map.moveSelectedDown(), map.hasSelection());
            EXPECT_EQ(lettersOf(map), up ? c.up : c.down);
        }
    }
    EXPECT_FALSE(FieldMap().moveSelectedDown());
}

TEST(FieldMap, EditingKeepsOneColumnPerFieldAndOffersTheRest)
{
    FieldMap map;
    Ids hooked;
    const auto hook = [&hooked](int32_t id) { hooked.push_back(id); };
    EXPECT_EQ(map.add({1002, 1004}, hook), 2);
    EXPECT_EQ(map.itemTexts(false), (QStringList{u"[A] Acquisition Date"_s, u"[B] System No"_s}));
    for (const QString& category : expwiz::FieldCatalog::categoryNames()) {
        const QStringList labels = offered(map, category, false, true);
        EXPECT_FALSE(labels.contains(u"System No"_s) || labels.contains(u"Acquisition Date"_s)) << category.toStdString();
    }
    // Already in the map, given twice, not a field: refused; the rest keep positions and selection.
    map.setSelected(0, true);
    EXPECT_EQ(map.add({1004, 1012, 1012, 0, 1114, 1001}, hook), 2);
    EXPECT_EQ(hooked, (Ids{1002, 1004, 1012, 1001}));
    EXPECT_EQ(lettersOf(map), "Bdla");
    // Selecting anew replaces the selection; removing relabels and offers the field again.
    map.selectOnly({1});
    EXPECT_EQ(map.removeSelected(), 1);
    EXPECT_EQ(map.itemTexts(false),
              (QStringList{u"[A] Acquisition Date"_s, u"[B] Description"_s, u"[C] G/L Accum Account No"_s}));
    EXPECT_TRUE(offered(map, u"General Info Fields"_s).contains(u"System No"_s));
    EXPECT_FALSE(offered(map, u"Critical Fields"_s).contains(u"System No"_s));
    map.selectOnly({0, 2});
    EXPECT_EQ(map.selectedPositions(), (std::vector<int>{0, 2}));
    EXPECT_EQ(map.removeSelected(), 2);
    EXPECT_EQ(lettersOf(map), "l");
}

TEST(FieldMap, AvailableFieldsSortLikeTheList)
{
    const QStringList all = offered(FieldMap(), u"All Fields"_s);
    EXPECT_EQ(all.size(), 95);
    EXPECT_EQ(all.front(), u"168(k) Allowance"_s);
    // Case does not decide: "Acquisition Date" before "ADS Life". The category may come with blanks.
    EXPECT_LT(all.indexOf(u"Acquisition Date"_s), all.indexOf(u"ADS Life"_s));
    EXPECT_LT(all.indexOf(u"ADS Life"_s), all.indexOf(u"Amount Transferred"_s));
    EXPECT_TRUE(offered(FieldMap(), u"  General Info Fields "_s, true).contains(u"Tag No"_s));
    // Labels equal but for case: a stable, documented order.
    for (const auto& [a, b, less] : {std::tuple{AvailableField{2, u"abc"_s}, AvailableField{1, u"ABD"_s}, true},
                                     std::tuple{AvailableField{2, u"ABC"_s}, AvailableField{1, u"abc"_s}, true},
                                     std::tuple{AvailableField{1, u"abc"_s}, AvailableField{2, u"abc"_s}, true},
                                     std::tuple{AvailableField{2, u"abc"_s}, AvailableField{1, u"abc"_s}, false}})
        EXPECT_EQ(FieldMap::labelLess(a, b), less) << a.label.toStdString() << " " << b.label.toStdString();
}

TEST(FieldMap, LoadedMapsKeepDuplicatesLettersAndTheSystemNumberColumn)
{
    FieldMap map = mapOf("ab");
    Ids hooked;
    EXPECT_EQ(map.assign({1012, 1004, 0, 1004, 2000}, [&hooked](int32_t id) { hooked.push_back(id); }), 2);
    EXPECT_EQ(lettersOf(map), "ldd");
    EXPECT_EQ(hooked, map.ids());
    EXPECT_EQ(map.systemNumberColumn(), 1);
    EXPECT_EQ(mapOf("lk").systemNumberColumn(), 2);
    EXPECT_EQ(FieldMap().systemNumberColumn(), 0);

    map = mapOf("abcdefghijklmnopqrstuvwxyz");
    map.add({1027});
    EXPECT_EQ(map.itemText(25, false), u"[Z] Insurance Category"_s);
    EXPECT_EQ(map.itemText(26, true), u"[AA] ITC Option"_s);
    EXPECT_EQ(map.itemText(7, true), u"[H] Tag No"_s);
    for (const int position : {27, -1}) {
        EXPECT_EQ(hostErrorNumber([&] { map.itemText(position, false); }), orvo::errnum::SubscriptOutOfRange);
        EXPECT_THROW(map.isSelected(position), orvo::HostError);
    }
    EXPECT_THROW(FieldMap().setSelected(0, true), orvo::HostError);
}

TEST(FieldMap, ChangeIsComputedFromTheSavedIds)
{
    // Another order or count is a change; a new map ("create new") with entries always is, an empty one never.
    struct Case { const char* map; Ids saved; bool createNew, changed; };
    for (const Case& c : {Case{"dlm", {1004, 1012, 1013}, false, false}, Case{"dml", {1004, 1012, 1013}, false, true},
                          Case{"dlma", {1004, 1012, 1013}, false, true}, Case{"dl", {1004, 1012, 1013}, false, true},
                          Case{"", {}, true, false}, Case{"d", {1004}, true, true}, Case{"d", {1004}, false, false}})
        EXPECT_EQ(mapOf(c.map).isChangedFrom(c.saved, c.createNew), c.changed) << c.map;
}

TEST(FieldMap, ButtonStatesFollowTheMapAndSelection)
{
    // Remove, Up and Down are left as they are (no value) for an empty map.
    using Opt = std::optional<bool>;
    struct Case { const char* map; bool filled; Opt remove, up, down; };
    for (const Case& c : {Case{"", false, {}, {}, {}}, Case{"abc", true, false, false, false},
                          Case{"Abc", true, true, false, true}, Case{"abC", true, true, true, false},
                          Case{"aBc", true, true, true, true}, Case{"AbC", true, true, false, false}}) {
        const auto b = expwiz::FieldMapButtons::forMap(mapOf(c.map));
        EXPECT_EQ(std::tuple(b.next, b.save, b.print, b.remove, b.up, b.down),
                  std::tuple(c.filled, c.filled, c.filled, c.remove, c.up, c.down)) << c.map;
    }
}
