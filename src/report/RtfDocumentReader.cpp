#include "report/RtfDocumentReader.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <vector>

namespace expwiz {

namespace {

// Windows-1252 for the bytes 0x80..0x9F; the others equal Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QChar fromCp1252(int byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kCp1252High[static_cast<size_t>(byte - 0x80)]);
    return QChar(static_cast<char16_t>(byte));
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Groups nested deeper than this share their parent's state; such input is
// garbage, and the limit keeps its memory bounded.
constexpr size_t kMaxDepth = 1024;

// Text sizes outside this range (half points) are ignored.
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;

enum class Destination { Text, FontTable, Skip };

struct CharState {
    int font = -1;   // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct GroupState {
    CharState chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

struct FontEntry {
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
};

struct ControlWord {
    QString name;
    bool hasParam = false;
    int param = 0;
};

class Parser {
public:
    Parser(const QString& in, QTextDocument& doc) : in_(in), doc_(doc), cursor_(&doc) {}

    void run()
    {
        setTabStop(RtfDocumentReader::kDefaultTabTwips);
        while (pos_ < in_.size() && !finished_)
            step();
        flush();
        if (cursor_.block().text().isEmpty())
            cursor_.setBlockCharFormat(currentFormat());
    }

private:
    void step()
    {
        const QChar c = in_[pos_];
        if (c == u'{') {
            ++pos_;
            fallbackLeft_ = 0;
            openGroup();
        } else if (c == u'}') {
            ++pos_;
            fallbackLeft_ = 0;
            closeGroup();
        } else if (c == u'\\') {
            controlSequence();
        } else {
            ++pos_;
            if (c == u'\r' || c == u'\n')
                return;
            if (consumeFallback())
                return;
            if (c == u'\t')
                tab();
            else if (c.unicode() >= 0x20)
                text(c);
        }
    }

    void openGroup()
    {
        started_ = true;
        if (stack_.size() >= kMaxDepth) {
            ++overflowDepth_;
            return;
        }
        stack_.push_back(state_);
    }

    void closeGroup()
    {
        if (overflowDepth_ > 0) {
            --overflowDepth_;
            return;
        }
        if (stack_.empty())
            return;   // a stray closing brace
        if (state_.destination == Destination::FontTable)
            storeFontName();
        state_ = stack_.back();
        stack_.pop_back();
        formatDirty_ = true;
        if (stack_.empty() && started_)
            finished_ = true;   // the document's own group is closed
    }

    // After \uN, the next characters are the fallback for readers without
    // Unicode; they are dropped.
    bool consumeFallback()
    {
        if (fallbackLeft_ <= 0)
            return false;
        --fallbackLeft_;
        return true;
    }

    void controlSequence()
    {
        ++pos_;   // the backslash
        if (pos_ >= in_.size())
            return;
        const QChar c = in_[pos_];
        if (!isAsciiLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const ControlWord word = readControlWord();
        if (word.name == QLatin1String("u")) {
            // the fallback count starts after the character itself
            if (state_.destination == Destination::Text && word.hasParam)
                unicode(word.param);
            fallbackLeft_ = state_.unicodeSkip;
            return;
        }
        if (consumeFallback())
            return;
        apply(word);
    }

    ControlWord readControlWord()
    {
        ControlWord word;
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isAsciiLetter(in_[pos_]))
            ++pos_;
        word.name = in_.mid(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == u'-' && isAsciiDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        long long value = 0;
        while (pos_ < in_.size() && isAsciiDigit(in_[pos_])) {
            word.hasParam = true;
            value = std::min(value * 10 + (in_[pos_].unicode() - u'0'), 1'000'000'000LL);
            ++pos_;
        }
        word.param = static_cast<int>(negative ? -value : value);
        if (pos_ < in_.size() && in_[pos_] == u' ')
            ++pos_;   // the delimiter belongs to the control word
        return word;
    }

    void controlSymbol(QChar c)
    {
        if (c == u'\'') {
            int byte = -1;
            if (pos_ + 1 < in_.size()) {
                const int hi = hexValue(in_[pos_]);
                const int lo = hexValue(in_[pos_ + 1]);
                if (hi >= 0 && lo >= 0) {
                    byte = hi * 16 + lo;
                    pos_ += 2;
                }
            }
            if (consumeFallback() || byte < 0)
                return;
            text(fromCp1252(byte));
            return;
        }
        if (c == u'*') {
            // an optional destination this reader does not know
            state_.destination = Destination::Skip;
            return;
        }
        if (consumeFallback())
            return;
        if (c == u'\\' || c == u'{' || c == u'}')
            text(c);
        else if (c == u'~')
            text(QChar(0x00A0));
        else if (c == u'_')
            text(QChar(0x2011));
        else if (c == u'\r' || c == u'\n')
            paragraph();
    }

    void apply(const ControlWord& w)
    {
        const QString& n = w.name;
        const bool on = !w.hasParam || w.param != 0;
        if (n == QLatin1String("par")) {
            paragraph();
        } else if (n == QLatin1String("tab")) {
            tab();
        } else if (n == QLatin1String("line")) {
            text(QChar::LineSeparator);
        } else if (n == QLatin1String("f")) {
            if (state_.destination == Destination::FontTable) {
                storeFontName();
                fontTableEntry_ = w.param;
            } else {
                setChars([&](CharState& s) { s.font = w.param; });
            }
        } else if (n == QLatin1String("fs")) {
            if (w.param >= kMinHalfPoints && w.param <= kMaxHalfPoints)
                setChars([&](CharState& s) { s.halfPoints = w.param; });
        } else if (n == QLatin1String("b")) {
            setChars([&](CharState& s) { s.bold = on; });
        } else if (n == QLatin1String("i")) {
            setChars([&](CharState& s) { s.italic = on; });
        } else if (n == QLatin1String("ul")) {
            setChars([&](CharState& s) { s.underline = on; });
        } else if (n == QLatin1String("ulnone")) {
            setChars([&](CharState& s) { s.underline = false; });
        } else if (n == QLatin1String("plain")) {
            setChars([&](CharState& s) { s = CharState(); });
        } else if (n == QLatin1String("pard")) {
            setAlignment(Qt::AlignLeft);
        } else if (n == QLatin1String("ql")) {
            setAlignment(Qt::AlignLeft);
        } else if (n == QLatin1String("qc")) {
            setAlignment(Qt::AlignHCenter);
        } else if (n == QLatin1String("qr")) {
            setAlignment(Qt::AlignRight);
        } else if (n == QLatin1String("qj")) {
            setAlignment(Qt::AlignJustify);
        } else if (n == QLatin1String("uc")) {
            if (w.param >= 0 && w.param <= 8)
                state_.unicodeSkip = w.param;
        } else if (n == QLatin1String("deff")) {
            defaultFont_ = w.param;
            formatDirty_ = true;
        } else if (n == QLatin1String("deftab")) {
            if (w.param > 0 && w.param <= 1440 * 22)
                setTabStop(w.param);
        } else if (n == QLatin1String("fonttbl")) {
            if (state_.destination != Destination::Skip)
                state_.destination = Destination::FontTable;
        } else if (state_.destination == Destination::FontTable) {
            fontHint(n);
        } else if (isSkippedDestination(n)) {
            state_.destination = Destination::Skip;
        }
        // every other control word is ignored
    }

    static bool isSkippedDestination(const QString& n)
    {
        static const std::array<QLatin1String, 16> kSkipped = {
            QLatin1String("colortbl"), QLatin1String("stylesheet"), QLatin1String("info"),
            QLatin1String("pict"),     QLatin1String("object"),     QLatin1String("header"),
            QLatin1String("headerl"),  QLatin1String("headerr"),    QLatin1String("headerf"),
            QLatin1String("footer"),   QLatin1String("footerl"),    QLatin1String("footerr"),
            QLatin1String("footerf"),  QLatin1String("footnote"),   QLatin1String("listtable"),
            QLatin1String("listoverridetable"),
        };
        return std::find(kSkipped.begin(), kSkipped.end(), n) != kSkipped.end();
    }

    void fontHint(const QString& n)
    {
        QFont::StyleHint hint = QFont::AnyStyle;
        if (n == QLatin1String("fswiss"))
            hint = QFont::SansSerif;
        else if (n == QLatin1String("froman"))
            hint = QFont::Serif;
        else if (n == QLatin1String("fmodern"))
            hint = QFont::TypeWriter;
        else if (n == QLatin1String("fscript"))
            hint = QFont::Cursive;
        else if (n == QLatin1String("fdecor"))
            hint = QFont::Decorative;
        else
            return;
        fonts_[fontTableEntry_].hint = hint;
    }

    void storeFontName()
    {
        const QString name = fontName_.trimmed();
        fontName_.clear();
        if (!name.isEmpty())
            fonts_[fontTableEntry_].name = name;
    }

    template <typename Change>
    void setChars(Change change)
    {
        if (state_.destination != Destination::Text)
            return;
        change(state_.chars);
        formatDirty_ = true;
    }

    void setAlignment(Qt::Alignment alignment)
    {
        if (state_.destination != Destination::Text)
            return;
        state_.alignment = alignment;
        // paragraph properties in force at the paragraph's end are its own
        QTextBlockFormat block;
        block.setAlignment(alignment);
        cursor_.mergeBlockFormat(block);
    }

    void setTabStop(int twips)
    {
        QTextOption option = doc_.defaultTextOption();
        option.setTabStopDistance(twips / 1440.0 * logicalDpi());
        doc_.setDefaultTextOption(option);
    }

    // Tab stops are laid out in pixels of the screen's logical resolution,
    // like point sizes; printing scales both to the printer.
    static qreal logicalDpi()
    {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInchY();
        return 96.0;
    }

    void unicode(int param)
    {
        const int code = param < 0 ? param + 65536 : param;
        if (code >= 0 && code <= 0xFFFF)
            text(QChar(static_cast<char16_t>(code)));
    }

    void tab()
    {
        text(QLatin1Char('\t'));
    }

    void text(QChar c)
    {
        if (state_.destination == Destination::FontTable) {
            if (c == u';')
                storeFontName();
            else
                fontName_ += c;
            return;
        }
        if (state_.destination != Destination::Text)
            return;
        if (formatDirty_) {
            const QTextCharFormat next = currentFormat();
            if (next != pendingFormat_) {
                flush();
                pendingFormat_ = next;
            }
            formatDirty_ = false;
        }
        pending_ += c;
    }

    void flush()
    {
        if (pending_.isEmpty())
            return;
        if (cursor_.block().text().isEmpty())
            cursor_.setBlockCharFormat(pendingFormat_);
        cursor_.insertText(pending_, pendingFormat_);
        pending_.clear();
    }

    void paragraph()
    {
        if (state_.destination != Destination::Text)
            return;
        flush();
        const QTextCharFormat format = currentFormat();
        if (cursor_.block().text().isEmpty())
            cursor_.setBlockCharFormat(format);
        QTextBlockFormat block;
        block.setAlignment(state_.alignment);
        cursor_.insertBlock(block, format);
    }

    QTextCharFormat currentFormat() const
    {
        const CharState& s = state_.chars;
        QTextCharFormat f;
        const auto font = fonts_.constFind(s.font < 0 ? defaultFont_ : s.font);
        if (font != fonts_.constEnd()) {
            if (!font->name.isEmpty())
                f.setFontFamilies(QStringList{font->name});
            if (font->hint != QFont::AnyStyle)
                f.setFontStyleHint(font->hint);
        }
        f.setFontPointSize(s.halfPoints / 2.0);
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        return f;
    }

    const QString& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    qsizetype pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    size_t overflowDepth_ = 0;
    bool started_ = false;
    bool finished_ = false;
    int fallbackLeft_ = 0;

    QHash<int, FontEntry> fonts_;
    int defaultFont_ = 0;
    int fontTableEntry_ = 0;
    QString fontName_;

    QString pending_;
    QTextCharFormat pendingFormat_;
    bool formatDirty_ = true;
};

} // namespace

std::unique_ptr<QTextDocument> RtfDocumentReader::read(const QString& rtf)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    Parser(rtf, *doc).run();
    return doc;
}

} // namespace expwiz
