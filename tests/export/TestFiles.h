#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <vector>

namespace testfiles {

inline QByteArray read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

inline void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// The names in a folder, hidden ones included (a left-over temporary shows).
inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The rows Python's csv module reads from a file.
inline std::vector<QStringList> pythonCsv(const QString& path, const QString& encoding = QStringLiteral("utf-8"))
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv,json,sys\n"
                                 "with open(sys.argv[1], newline='', encoding=sys.argv[2]) as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))\n"),
                  path, encoding});
    python.waitForFinished(30000);
    std::vector<QStringList> rows;
    const QJsonArray array = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    for (const auto& row : array) {
        QStringList cells;
        for (const auto& cell : row.toArray())
            cells << cell.toString();
        rows.push_back(cells);
    }
    return rows;
}

// The text of every cell of every sheet of a workbook, as openpyxl reads it
// with the file format's _xHHHH_ escapes undone (as spreadsheets do): an
// empty cell is "", and a row ends at its last cell that is not empty.
inline std::vector<std::vector<QStringList>> pythonWorkbook(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json,re,sys,openpyxl\n"
                                 "book = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
                                 "def texts(row):\n"
                                 "    cells = ['' if v is None else re.sub('_x([0-9A-Fa-f]{4})_',\n"
                                 "        lambda m: chr(int(m.group(1), 16)), str(v)) for v in row]\n"
                                 "    while cells and not cells[-1]: cells.pop()\n"
                                 "    return cells\n"
                                 "print(json.dumps([[texts(row) for row in sheet.iter_rows(values_only=True)]\n"
                                 "    for sheet in book.worksheets]))\n"),
                  path});
    python.waitForFinished(30000);
    std::vector<std::vector<QStringList>> sheets;
    for (const auto& sheet : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        sheets.emplace_back();
        for (const auto& row : sheet.toArray()) {
            QStringList cells;
            for (const auto& cell : row.toArray())
                cells << cell.toString();
            sheets.back().push_back(cells);
        }
    }
    return sheets;
}

} // namespace testfiles
