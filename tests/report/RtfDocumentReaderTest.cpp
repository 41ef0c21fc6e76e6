#include "report/RtfDocumentReader.h"

#include "QtPrinters.h"
#include "ReportSample.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

using expwiz::RtfDocumentReader;

namespace {

QStringList blockTexts(const QTextDocument& doc)
{
    QStringList texts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        texts << b.text();
    return texts;
}

QTextBlock blockAt(const QTextDocument& doc, int n)
{
    return doc.findBlockByNumber(n);
}

// The character format of the text at `offset` in block `block`.
QTextCharFormat formatAt(const QTextDocument& doc, int block, int offset = 0)
{
    const QTextBlock b = blockAt(doc, block);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (offset >= f.position() - b.position() && offset < f.position() - b.position() + f.length())
            return f.charFormat();
    }
    ADD_FAILURE() << "no text at " << block << ":" << offset;
    return {};
}

QString family(const QTextCharFormat& f)
{
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

qreal pixelsPerInch()
{
    return QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

// Where the text of `block` at `offset` starts when laid out.
qreal xOf(QTextDocument& doc, int block, int offset)
{
    doc.setTextWidth(2000);
    doc.documentLayout()->documentSize();
    const QTextBlock b = blockAt(doc, block);
    return b.layout()->lineAt(0).cursorToX(offset);
}

} // namespace

TEST(ReportReader, FilledReportReadsAsItsLinesWithTheirFormats)
{
    const std::unique_ptr<QTextDocument> doc = RtfDocumentReader::read(reportsample::filledText());

    QStringList expected = {
        QString(),
        QStringLiteral("Dec 5, 2026"),
        QStringLiteral("09:05 AM"),
        reportsample::companyName(),
        QStringLiteral("Export Map File"),
        QStringLiteral("File Name: N/A"),
        QString(),
        QStringLiteral("\t\tColumn \t\tDescription"),
        QString(),
    };
    const QStringList labels = reportsample::columnLabels();
    for (int i = 0; i < 27; ++i) {
        const QString letters = i < 26 ? QString(QChar(u'A' + i)) : QStringLiteral("AA");
        expected << QStringLiteral("\t\t") + letters + QStringLiteral(" \t\t\t") + labels[i];
    }
    expected << QString() << QStringLiteral("\t\t27 \tTotal Number of Fields Exported per Asset") << QString()
             << QStringLiteral("\t\tMap Options") << QStringLiteral("\t\tRetrieve Book Fields from: \tTax")
             << QStringLiteral("\t\tInclude a Header Row? \t\tNo") << QString();
    EXPECT_EQ(blockTexts(*doc), expected);

    {
        SCOPED_TRACE("company: 14 points, bold, centred, Arial");
        const QTextCharFormat f = formatAt(*doc, 3, 0);
        EXPECT_EQ(f.fontPointSize(), 14);
        EXPECT_EQ(f.fontWeight(), QFont::Bold);
        EXPECT_FALSE(f.fontUnderline());
        EXPECT_EQ(family(f), QStringLiteral("Arial"));
        EXPECT_EQ(f.fontStyleHint(), QFont::SansSerif);
        EXPECT_EQ(formatAt(*doc, 3, 20), f) << "the whole name, the escaped characters too";
        EXPECT_EQ(blockAt(*doc, 3).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    {
        SCOPED_TRACE("title: 11 points, bold, still centred");
        const QTextCharFormat f = formatAt(*doc, 4, 0);
        EXPECT_EQ(f.fontPointSize(), 11);
        EXPECT_EQ(f.fontWeight(), QFont::Bold);
        EXPECT_EQ(blockAt(*doc, 4).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    {
        SCOPED_TRACE("body: 10 points, plain, left");
        for (int block : {1, 2, 5, 9, 35, 37, 40, 41}) {
            SCOPED_TRACE(block);
            const QTextCharFormat f = formatAt(*doc, block, 0);
            EXPECT_EQ(f.fontPointSize(), 10);
            EXPECT_EQ(f.fontWeight(), QFont::Normal);
            EXPECT_FALSE(f.fontUnderline());
            EXPECT_EQ(family(f), QStringLiteral("Arial"));
            EXPECT_EQ(blockAt(*doc, block).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        }
    }
    {
        SCOPED_TRACE("headings: bold and underlined");
        for (int block : {7, 39}) {
            SCOPED_TRACE(block);
            const QTextCharFormat f = formatAt(*doc, block, 2);
            EXPECT_EQ(f.fontPointSize(), 10);
            EXPECT_EQ(f.fontWeight(), QFont::Bold);
            EXPECT_TRUE(f.fontUnderline());
        }
    }
    {
        SCOPED_TRACE("columns line up at the half-inch tab stops");
        EXPECT_NEAR(xOf(*doc, 9, 2), 1.0 * pixelsPerInch(), 1.0);     // the letter, two tabs in
        EXPECT_NEAR(xOf(*doc, 35, 2), 1.0 * pixelsPerInch(), 1.0);    // "AA" too
        EXPECT_NEAR(xOf(*doc, 9, 7), 2.5 * pixelsPerInch(), 1.0);     // the label after "A " and three tabs
    }
}

TEST(ReportReader, FormattingFollowsGroupsAndResets)
{
    const QString fonts = QStringLiteral("{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Serifa;}{\\f1\\fswiss Sansa;}}");
    {
        SCOPED_TRACE("a group restores bold, underline, size and font on closing");
        const auto doc = RtfDocumentReader::read(fonts + QStringLiteral("a{\\b\\ul\\fs40\\f0 b}c}"));
        EXPECT_EQ(doc->toPlainText(), QStringLiteral("abc"));
        const QTextCharFormat a = formatAt(*doc, 0, 0);
        const QTextCharFormat b = formatAt(*doc, 0, 1);
        EXPECT_EQ(a.fontPointSize(), 12) << "twelve points when nothing is said";
        EXPECT_EQ(family(a), QStringLiteral("Sansa")) << "the default font";
        EXPECT_EQ(b.fontWeight(), QFont::Bold);
        EXPECT_TRUE(b.fontUnderline());
        EXPECT_EQ(b.fontPointSize(), 20);
        EXPECT_EQ(family(b), QStringLiteral("Serifa"));
        EXPECT_EQ(b.fontStyleHint(), QFont::Serif);
        EXPECT_EQ(formatAt(*doc, 0, 2), a);
    }
    {
        SCOPED_TRACE("\\b0, \\ulnone, \\ul0 and \\plain switch off");
        const auto doc = RtfDocumentReader::read(
            fonts + QStringLiteral("\\b\\ul\\fs30 a\\b0 b\\ulnone c\\ul\\b d\\plain e\\ul f\\ul0 g}"));
        EXPECT_EQ(doc->toPlainText(), QStringLiteral("abcdefg"));
        struct Expect {
            int offset;
            bool bold;
            bool underline;
            qreal size;
        };
        for (const Expect& e : {Expect{0, true, true, 15}, Expect{1, false, true, 15}, Expect{2, false, false, 15},
                                Expect{3, true, true, 15}, Expect{4, false, false, 12}, Expect{5, false, true, 12},
                                Expect{6, false, false, 12}}) {
            SCOPED_TRACE(e.offset);
            const QTextCharFormat f = formatAt(*doc, 0, e.offset);
            EXPECT_EQ(f.fontWeight() == QFont::Bold, e.bold);
            EXPECT_EQ(f.fontUnderline(), e.underline);
            EXPECT_EQ(f.fontPointSize(), e.size);
        }
    }
    {
        SCOPED_TRACE("paragraph alignment: the setting at the paragraph's end, \\pard resets");
        const auto doc = RtfDocumentReader::read(
            QStringLiteral("{\\rtf1 left\\par \\qc centred\\par still\\par \\pard left\\ql\\par x\\qc}"));
        const Qt::Alignment expected[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft,
                                          Qt::AlignHCenter};
        ASSERT_EQ(doc->blockCount(), 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(blockAt(*doc, i).blockFormat().alignment() & Qt::AlignHorizontal_Mask, expected[i]) << i;
    }
    {
        SCOPED_TRACE("\\deftab sets the tab stop distance");
        const auto doc = RtfDocumentReader::read(QStringLiteral("{\\rtf1\\deftab1440 \\tab x\\tab\\tab y}"));
        EXPECT_EQ(doc->toPlainText(), QStringLiteral("\tx\t\ty"));
        EXPECT_NEAR(xOf(*doc, 0, 1), 1.0 * pixelsPerInch(), 1.0);
        EXPECT_NEAR(xOf(*doc, 0, 4), 3.0 * pixelsPerInch(), 1.0);
        const auto standard = RtfDocumentReader::read(QStringLiteral("{\\rtf1 \\tab x}"));
        EXPECT_NEAR(xOf(*standard, 0, 1), 0.5 * pixelsPerInch(), 1.0);
    }
}

TEST(ReportReader, CharactersFromEscapesAndWhatIsIgnored)
{
    struct Case {
        const char* name;
        QString rtf;
        QString text;
    };
    const Case cases[] = {
        {"\\u with one fallback character skipped", QStringLiteral("{\\rtf1 M\\u252?ller S\\u246 ohne}"),
         QStringLiteral("M\u00fcller S\u00f6hne")},
        {"negative \\u and a surrogate pair", QStringLiteral("{\\rtf1 \\u-1793?\\u-10179?\\u-8704?.}"),
         QString(QChar(0xF8FF)) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral(".")},
        {"the fallback may be a hex escape", QStringLiteral("{\\rtf1 \\u8364\\'80x}"), QStringLiteral("\u20acx")},
        {"\\uc sets the fallback length", QStringLiteral("{\\rtf1\\uc2 \\u233 ab c{\\uc0 \\u233 d}\\u233 xyz}"),
         QStringLiteral("\u00e9 c\u00e9d\u00e9z")},
        {"hex escapes in the Windows code page", QStringLiteral("{\\rtf1 caf\\'e9 \\'80\\'93\\'96}"),
         QStringLiteral("caf\u00e9 \u20ac\u201c\u2013")},
        {"escaped backslash and braces", QStringLiteral("{\\rtf1 a\\\\b\\{c\\}d}"), QStringLiteral("a\\b{c}d")},
        {"line breaks in the source are not text", QStringLiteral("{\\rtf1 ab\r\ncd\ne\rf}"), QStringLiteral("abcdef")},
        {"unknown control words, \\* destinations and tables are not text",
         QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue0;}{\\*\\generator Writer 1.0;}{\\info{\\title T}}"
                        "\\unknownword12 a\\zz-3 b{\\*\\shppict{\\pict 0102}}c}"),
         QStringLiteral("abc")},
        {"font names are not text", QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}x}"),
         QStringLiteral("x")},
        {"text after the document's end is dropped", QStringLiteral("{\\rtf1 in}out"), QStringLiteral("in")},
        {"a blank after a control word is its delimiter; the next is text",
         QStringLiteral("{\\rtf1\\b  two\\b0 x}"), QStringLiteral(" twox")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RtfDocumentReader::read(c.rtf)->toPlainText(), c.text);
    }
}

TEST(ReportReader, BrokenInputGivesADocumentWithoutCrashingOrHanging)
{
    {
        SCOPED_TRACE("unbalanced braces keep the text");
        EXPECT_EQ(RtfDocumentReader::read(QStringLiteral("}}a{\\b b"))->toPlainText(), QStringLiteral("ab"));
        EXPECT_EQ(RtfDocumentReader::read(QStringLiteral("{\\rtf1 a{{{b"))->toPlainText(), QStringLiteral("ab"));
        const auto doc = RtfDocumentReader::read(QStringLiteral("{\\rtf1 {\\b a}}}}{\\b x}"));
        EXPECT_EQ(doc->toPlainText(), QStringLiteral("a"));
    }
    {
        SCOPED_TRACE("cut-off escapes and absurd numbers");
        const QString inputs[] = {
            QStringLiteral("\\"),           QStringLiteral("{\\rtf1 \\'"),      QStringLiteral("{\\rtf1 \\'4"),
            QStringLiteral("{\\rtf1 \\'zz"), QStringLiteral("{\\rtf1 \\u"),      QStringLiteral("{\\rtf1 \\u-"),
            QStringLiteral("{\\rtf1 \\u99999999999999999999 x"), QStringLiteral("{\\rtf1 \\u-99999 x"),
            QStringLiteral("{\\rtf1 \\fs99999999999999999999 x\\fs-4 y\\fs0 z"),
            QStringLiteral("{\\rtf1 \\deftab0 \\deftab-720 \\deftab999999999 \\tab x"),
            QStringLiteral("{\\rtf1 \\f77 unknown font \\uc99 \\u65 A"), QStringLiteral("{\\*"),
            QStringLiteral("{\\fonttbl{\\f0 never closed"), QString(QChar(0)) + QStringLiteral("\x01\x7f"),
        };
        for (const QString& in : inputs) {
            SCOPED_TRACE(in.toStdString());
            EXPECT_NE(RtfDocumentReader::read(in), nullptr);
        }
        const auto sized = RtfDocumentReader::read(QStringLiteral("{\\rtf1 \\fs99999999999999999999 x\\fs-4 y\\fs0 z}"));
        EXPECT_EQ(formatAt(*sized, 0, 2).fontPointSize(), 12) << "impossible sizes are ignored";
    }
    {
        SCOPED_TRACE("deep nesting");
        const QString deep = QStringLiteral("{\\rtf1 ") + QString(200000, QLatin1Char('{')) + QStringLiteral("\\b x")
                             + QString(200000, QLatin1Char('}')) + QStringLiteral("y}");
        const auto doc = RtfDocumentReader::read(deep);
        EXPECT_EQ(doc->toPlainText(), QStringLiteral("xy"));
    }
    {
        SCOPED_TRACE("every cut of the report");
        const QString full = reportsample::filledText();
        for (qsizetype n = 0; n < full.size(); n += 7)
            ASSERT_NE(RtfDocumentReader::read(full.left(n)), nullptr) << n;
    }
    {
        SCOPED_TRACE("random bytes");
        QRandomGenerator random(20261205);
        const QString alphabet = QStringLiteral("{}\\'*ubfsqcparltd0123456789- ;x\r\n?\u00e9");
        for (int round = 0; round < 300; ++round) {
            QString in;
            const int length = static_cast<int>(random.bounded(400));
            for (int i = 0; i < length; ++i)
                in += alphabet[static_cast<qsizetype>(random.bounded(static_cast<int>(alphabet.size())))];
            ASSERT_NE(RtfDocumentReader::read(in), nullptr) << in.toStdString();
        }
    }
}
