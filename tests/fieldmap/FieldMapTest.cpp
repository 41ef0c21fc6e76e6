#include "catalog/FieldCatalog.h"
#include "fieldmap/ExpFile.h"
#include "fieldmap/FieldMap.h"
#include "fieldmap/FieldMapButtons.h"
#include "fieldmap/FieldMapMessages.h"
#include "fieldmap/FieldMapReport.h"

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace expwiz;
using namespace orvo::errnum;
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

const QLocale kEnglish(u"en_US"_s);

// Caps the size of any file this process writes, so a save meets the error a full disk gives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, handler); }
    void (*handler)(int);
    rlimit old{};
};

void chmodPath(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }

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
}

TEST(FieldMap, AvailableFieldsSortLikeTheList)
{
    QStringList all;
    for (const AvailableField& f : FieldMap().availableFields(u"All Fields"_s, false, false, false))
        all << f.label;
    EXPECT_EQ(std::pair(all.size(), all.front()), std::pair(qsizetype(95), u"168(k) Allowance"_s));
    // Case does not decide: "Acquisition Date" before "ADS Life". The category may come with blanks.
    EXPECT_LT(all.indexOf(u"Acquisition Date"_s), all.indexOf(u"ADS Life"_s));
    EXPECT_LT(all.indexOf(u"ADS Life"_s), all.indexOf(u"Amount Transferred"_s));
    const auto info = FieldMap().availableFields(u"  General Info Fields "_s, false, true, false);
    EXPECT_EQ(std::ranges::count(info, u"Tag No"_s, &AvailableField::label), 1);
    // Labels equal but for case: a stable, documented order.
    const std::tuple<AvailableField, AvailableField, bool> order[] = {
        {{2, u"abc"_s}, {1, u"ABD"_s}, true}, {{2, u"ABC"_s}, {1, u"abc"_s}, true},
        {{1, u"abc"_s}, {2, u"abc"_s}, true}, {{2, u"abc"_s}, {1, u"abc"_s}, false}};
    for (const auto& [a, b, less] : order)
        EXPECT_EQ(FieldMap::labelLess(a, b), less) << a.label.toStdString() << " " << b.label.toStdString();
}

TEST(FieldMap, LoadedMapsKeepDuplicatesTheEditorRefusesThem)
{
    FieldMap map = mapOf("ab");
    Ids hooked;
    const auto hook = [&hooked](int32_t id) { hooked.push_back(id); };
    EXPECT_EQ(map.assign({1012, 1004, 0, 1004, 2000}, hook), 2);
    EXPECT_EQ(lettersOf(map), "ldd");
    EXPECT_EQ(std::tuple(map.systemNumberColumn(), mapOf("lk").systemNumberColumn(),
                         FieldMap().systemNumberColumn()),
              std::tuple(1, 2, 0));

    // Appended as given, but no field twice nor a non-field; the others keep place and selection.
    map = mapOf("abcdefghijklmnopqrstuvwxyZ");
    EXPECT_EQ(map.add({1027, 1028, 1027, 1001, 0, 1114}, hook), 2);
    EXPECT_EQ(hooked, (Ids{1012, 1004, 1004, 1027, 1028}));
    EXPECT_EQ(std::tuple(map.count(), map.idAt(27), map.selectedPositions()),
              std::tuple(28, 1028, std::vector<int>{25}));
    EXPECT_EQ(QStringList({map.itemText(25, false), map.itemText(26, true), map.itemText(7, true)}),
              QStringList({u"[Z] Insurance Category"_s, u"[AA] ITC Option"_s, u"[H] Tag No"_s}));
    for (const int position : {28, -1}) {
        EXPECT_EQ(hostErrorNumber([&] { map.itemText(position, false); }), SubscriptOutOfRange);
        EXPECT_THROW(map.isSelected(position), orvo::HostError);
    }
    EXPECT_THROW(FieldMap().setSelected(0, true), orvo::HostError);
    // Selecting anew replaces the selection; only the selected entries go.
    map.selectOnly({0, 27});
    EXPECT_EQ(map.removeSelected(), 2);
    EXPECT_EQ(std::tuple(map.idAt(0), map.idAt(25), map.count(), map.hasSelection()),
              std::tuple(1002, 1027, 26, false));
}

TEST(FieldMap, ChangeIsComputedFromTheSavedIdsAndTheButtonsFollowTheMapAndSelection)
{
    // Another order or count is a change; a new map ("create new") with entries always is, an empty one never.
    struct Case { const char* map; Ids saved; bool createNew, changed; };
    for (const Case& c : {Case{"dlm", {1004, 1012, 1013}, false, false}, Case{"dml", {1004, 1012, 1013}, false, true},
                          Case{"dlma", {1004, 1012, 1013}, false, true}, Case{"dl", {1004, 1012, 1013}, false, true},
                          Case{"", {}, true, false}, Case{"d", {1004}, true, true}, Case{"d", {1004}, false, false}})
        EXPECT_EQ(mapOf(c.map).isChangedFrom(c.saved, c.createNew), c.changed) << c.map;
    // The buttons: Remove, Up and Down are left as they are (no value) for an empty map.
    using Opt = std::optional<bool>;
    struct Buttons { const char* map; bool filled; Opt remove, up, down; };
    for (const Buttons& c : {Buttons{"", false, {}, {}, {}}, Buttons{"abc", true, false, false, false},
                             Buttons{"Abc", true, true, false, true}, Buttons{"abC", true, true, true, false},
                             Buttons{"aBc", true, true, true, true}, Buttons{"AbC", true, true, false, false}}) {
        const auto b = FieldMapButtons::forMap(mapOf(c.map));
        EXPECT_EQ(std::tuple(b.next, b.save, b.print, b.remove, b.up, b.down),
                  std::tuple(c.filled, c.filled, c.filled, c.remove, c.up, c.down)) << c.map;
    }
}

// A new map without a header row is read back exactly by the report tests.
TEST(Report, FilledDocumentIsExactForATwentySevenColumnMap)
{
    // Columns as the organization edition labels them, company and book escaped where needed.
    Ids ids(27);
    std::iota(ids.begin(), ids.end(), 1001);
    const auto values = FieldMapReportValues::from(u"M\u00fcller {Holz} \\ S\u00f6hne %COUNT"_s, u"Tax %BOOKNAME"_s,
                                                   true, u"Q1 map"_s, ids, true);
    const QString filled = FieldMapReport::fill(values, QDateTime(QDate(2026, 12, 5), QTime(9, 5, 41)), kEnglish);
    // The golden file is plain ASCII, so the document is too, whatever the code page of the printer.
    EXPECT_EQ(filled.toUtf8().toStdString(), readBytes(QStringLiteral(EXPWIZ_GOLDEN_DIR "/org-27-columns.rtf")).toStdString());
    EXPECT_TRUE(FieldMapReport::reportLines({}, false).isEmpty());   // an empty map has no lines
}

TEST(Report, DatesTimesAndEscapes)
{
    QStringList times;
    for (const QTime time : {QTime(9, 5), QTime(0, 30), QTime(12, 0), QTime(23, 59, 59), QTime(13, 7)})
        times << FieldMapReport::formatTime(time, kEnglish);
    for (const QDate date : {QDate(2026, 12, 5), QDate(2027, 1, 31), QDate(999, 3, 1)})
        times << FieldMapReport::formatDate(date, kEnglish);
    EXPECT_EQ(times.join(u'|'), u"09:05 AM|12:30 AM|12:00 PM|11:59 PM|01:07 PM|Dec 5, 2026|Jan 31, 2027|Mar 1, 0999"_s);
    for (const auto& [in, out] : {std::pair{u"plain text 100%"_s, "plain text 100%"}, std::pair{u"{a}\\b\x7F"_s, "\\{a\\}\\\\b\x7F"},
                                  std::pair{u"ü€"_s, "\\u252?\\u8364?"}, std::pair{QString(QChar(0xF8FF)), "\\u-1793?"},
                                  std::pair{QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"}})
        EXPECT_EQ(FieldMapReport::escape(in), QLatin1String(out)) << out;

    // another language's month name and designators arrive escaped
    const QLocale de(u"de_DE"_s);
    const QString filled = FieldMapReport::fill(FieldMapReportValues::from(u"x"_s, u"y"_s, true, QString(), {1004}, false),
                                                QDateTime(QDate(2026, 3, 5), QTime(15, 0)), de);
    EXPECT_TRUE(filled.contains(u"\\par "_s + FieldMapReport::escape(de.monthName(3, QLocale::ShortFormat))
                                + u" 5, 2026\\par 03:00 "_s + FieldMapReport::escape(de.pmText())));
}

TEST(ExpFile, ValuesOutsideTheCatalogAreSkippedAndReportedAndReadFailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"damaged.exp"_s);
    const QString left = u" value(s) that are not field ids were left out: "_s;
    const QString firstTen = u"0 (byte 0), 1 (byte 4), 2 (byte 8), 3 (byte 12), 4 (byte 16), 5 (byte 20), "
                             u"6 (byte 24), 7 (byte 28), 8 (byte 32), 9 (byte 36)"_s;
    const QString fragment = u"The last %1 byte(s) do not make a whole entry and were ignored."_s;
    // The notice follows "The field map file <path> is damaged. "; empty for a clean file.
    struct Case { QByteArray bytes; Ids ids; QString notice; };
    const Case cases[] = {
        {ExpFile::encode({1004, 0, 2000, 1001}), {1004, 1001}, u"2"_s + left + u"0 (byte 4), 2000 (byte 8)."_s},
        {ExpFile::encode({1000, 1001, 1113, 1114, -1004, 0x01020304}) + QByteArray::fromHex("EC0300"), {1001, 1113},
         u"4"_s + left + u"1000 (byte 0), 1114 (byte 12), -1004 (byte 16), 16909060 (byte 20). "_s + fragment.arg(3)},
        {ExpFile::encode({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) + "x", {}, u"10"_s + left + firstTen + u". "_s + fragment.arg(1)},
        {ExpFile::encode({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), {}, u"11"_s + left + firstTen + u", and 1 more."_s},
        {QByteArray::fromHex("E903"), {}, fragment.arg(2)},
        {QByteArray(), {}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice.toStdString());
        writeBytes(path, c.bytes);
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_EQ(r.ids, c.ids);
        EXPECT_EQ(r.isClean(), c.notice.isEmpty());
        EXPECT_EQ(FieldMapMessages::damagedFileNotice(path, r),
                  c.notice.isEmpty() ? QString() : u"The field map file "_s + path + u" is damaged. "_s + c.notice);
    }

    // Files that cannot be read carry the runtime number and the file.
    writeBytes(dir.filePath(u"largest.exp"_s), QByteArray(ExpFile::kMaxFileSize, '\0'));
    writeBytes(dir.filePath(u"too-large.exp"_s), QByteArray(100000, '\0'));
    ExpFile::write(dir.filePath(u"locked.exp"_s), {1004});
    chmodPath(dir.filePath(u"locked.exp"_s), 0);
    struct Failure { QString path; int number; const char* detail = ""; };
    const Failure failures[] = {   // too large: refused unread; /dev/zero never ends: cut off while read
        {dir.filePath(u"missing.exp"_s), FileNotFound}, {dir.filePath(u"nowhere/map.exp"_s), PathNotFound},
        {dir.path(), PathFileAccess}, {dir.filePath(u"locked.exp"_s), ::geteuid() != 0 ? PermissionDenied : 0},
        {dir.filePath(u"largest.exp"_s), 0}, {dir.filePath(u"too-large.exp"_s), Overflow, " is 100000 bytes; "},
        {u"/dev/zero"_s, Overflow}};
    for (const Failure& c : failures) {
        QString description;
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(c.path); }, &description), c.number) << c.path.toStdString();
        EXPECT_TRUE(c.number == 0 || (description.contains(c.path) && description.contains(QLatin1String(c.detail))))
            << description.toStdString();
    }
}

TEST(ExpFile, ASaveReplacesTheWholeFileOrNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"keep.exp"_s), link = dir.filePath(u"link.exp"_s);
    // Little-endian ids in map order; a shorter map replaces a longer one completely; an empty map is an empty file.
    for (const auto& [ids, hex] : {std::pair{Ids{1004, 1001, 1113}, "EC030000E903000059040000"}, std::pair{Ids{}, ""},
                                   std::pair{Ids{1004, 1012}, "EC030000F4030000"}}) {
        ExpFile::write(path, ids);
        EXPECT_EQ(readBytes(path), QByteArray::fromHex(hex));
        EXPECT_EQ(ExpFile::read(path).ids, ids);
    }
    chmodPath(path, 0640);
    ASSERT_TRUE(QFile::link(path, link));
    QDir(dir.path()).mkdir(u"taken.exp"_s);
    struct Case { QString target; rlim_t sizeLimit; mode_t folderMode; int number; };
    const rlim_t unlimited = RLIM_INFINITY;
    const Case cases[] = {   // the first two: the disk fills up during the save
        {path, 1024, 0755, DiskFull}, {link, 1024, 0755, DiskFull}, {dir.filePath(u"no/x.exp"_s), unlimited, 0755, PathNotFound},
        {path + u"/x.exp"_s, unlimited, 0755, PathNotFound}, {dir.filePath(u"taken.exp"_s), unlimited, 0755, PathFileAccess},
        {path, unlimited, 0555, PermissionDenied}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        if (c.folderMode != 0755 && ::geteuid() == 0)
            continue;
        QString description;
        chmodPath(dir.path(), c.folderMode);
        const auto save = [&] { FileSizeLimit limit(c.sizeLimit); ExpFile::write(c.target, Ids(2000, 1075)); };
        EXPECT_EQ(hostErrorNumber(save, &description), c.number);
        chmodPath(dir.path(), 0755);
        EXPECT_TRUE(description.contains(c.target)) << description.toStdString();
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("EC030000F4030000"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"keep.exp"_s, u"link.exp"_s}));
    }
    // through a link, keeping the permissions
    ExpFile::write(link, {1004, 1002});
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(path), QByteArray::fromHex("EC030000EA030000"));
    EXPECT_EQ(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

}
