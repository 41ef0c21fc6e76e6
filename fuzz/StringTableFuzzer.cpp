// The string table: any table text parses, every id's text loads or fails
// with the host error (never loops or overflows), and writing the parsed
// entries out again in the table's own form parses to the same texts.

#include "FuzzScratch.h"

#include "catalog/StringTable.h"
#include "host/HostError.h"

#include <QHash>

#include <optional>

using namespace expwiz;
using expwiz::fuzz::require;

namespace {

std::optional<QString> load(const StringTable& table, int id)
{
    try {
        return table.loadResourceText(id);
    } catch (const orvo::HostError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString content = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const StringTable table = StringTable::parse(content);

    // The ids the text names, whether or not their lines are well formed.
    QList<int> ids;
    for (const QString& line : content.split(QLatin1Char('\n'))) {
        bool ok = false;
        const int id = line.section(QLatin1Char('\t'), 0, 0).toInt(&ok);
        if (ok)
            ids << id;
    }

    QString rewritten;
    for (const int id : std::as_const(ids)) {
        const std::optional<QString> raw = table.raw(id);
        const std::optional<QString> text = load(table, id);
        if (!raw) {
            require(!text, "an id without a line does not load");
            continue;
        }
        if (text)
            require(text->startsWith(raw->endsWith(QLatin1Char('_')) ? raw->chopped(1) : *raw),
                    "a loaded text starts with its own line");
        rewritten += QString::number(id) + QLatin1Char('\t') + *raw + QStringLiteral("\r\n");
    }

    const StringTable again = StringTable::parse(rewritten);
    for (const int id : std::as_const(ids)) {
        require(again.raw(id) == table.raw(id), "a rewritten table holds the same lines");
        require(load(again, id) == load(table, id), "a rewritten table loads the same texts");
    }
    return 0;
}
