// The per-cell paths of an export: formatting a value by its field type and
// writing it as a quoted cell. Each type is measured against the plain text
// cell (Text) in the same run, so results read as ratios.

#include "export/CsvWriter.h"
#include "export/ValueFormatter.h"

#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using expwiz::FieldType;

void formatValue(benchmark::State& state, FieldType type, const char* value, const char* locale)
{
    const expwiz::ValueFormatter formatter{QLocale(QString::fromLatin1(locale))};
    const QString input = QString::fromLatin1(value);
    QString buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(formatter.format(type, input, buffer).size());
}

void writeCells(benchmark::State& state)
{
    QTemporaryDir dir;
    expwiz::CsvWriter writer(dir.filePath(QStringLiteral("bench.csv")), {});
    const QString value = QStringLiteral("Server \"Atlas\" rack, row 4");
    int64_t cells = 0;
    for (auto _ : state) {
        writer.cell(value);
        if (++cells % 30 == 0)
            writer.endLine();
    }
    writer.endLine();
    writer.discard();
    state.SetItemsProcessed(cells);
}

} // namespace

BENCHMARK_CAPTURE(formatValue, Text, FieldType::Text, "Pallet racking", "en_US");
BENCHMARK_CAPTURE(formatValue, Amount, FieldType::Amount, "44108.79", "en_US");
BENCHMARK_CAPTURE(formatValue, AmountGerman, FieldType::Amount, "-1234.5", "de_DE");
BENCHMARK_CAPTURE(formatValue, Fraction, FieldType::Fraction, "0.075", "en_US");
BENCHMARK_CAPTURE(formatValue, Date, FieldType::Date, "2016-02-29", "en_US");
BENCHMARK_CAPTURE(formatValue, Life, FieldType::Life, "507", "en_US");
BENCHMARK_CAPTURE(formatValue, YesNo, FieldType::YesNo, "T", "en_US");
BENCHMARK(writeCells);

BENCHMARK_MAIN();
