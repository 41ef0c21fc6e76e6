#pragma once

#include "FileBytes.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

#include <vector>

namespace testfiles {

// The names in a folder, hidden ones included (a left-over temporary shows).
inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The JSON a Python script prints about its arguments.
inline QJsonArray python(const QString& script, const QStringList& arguments)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    python.waitForFinished(60000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

using Sheets = std::vector<std::vector<QStringList>>;

// The text of every cell as Python reads the file: a CSV file as one sheet (its csv module), every
// sheet of a workbook (openpyxl) with the format's _xHHHH_ escapes undone as spreadsheets do, an
// empty cell as "" and a row ending at its last cell that is not empty.
inline Sheets pythonCells(const QString& path)
{
    const QJsonArray read = python(QStringLiteral(
        "import csv,json,re,sys,openpyxl\n"
        "def texts(row):\n"
        "    cells = ['' if v is None else re.sub('_x([0-9A-Fa-f]{4})_',\n"
        "        lambda m: chr(int(m.group(1), 16)), str(v)) for v in row]\n"
        "    while cells and not cells[-1]: cells.pop()\n"
        "    return cells\n"
        "if sys.argv[1].endswith('.csv'):\n"
        "    with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
        "        print(json.dumps([list(csv.reader(f))]))\n"
        "else:\n"
        "    book = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
        "    print(json.dumps([[texts(row) for row in sheet.iter_rows(values_only=True)]\n"
        "        for sheet in book.worksheets]))\n"), {path});
    Sheets sheets;
    for (const auto& sheet : read) {
        sheets.emplace_back();
        for (const auto& row : sheet.toArray())
            sheets.back().push_back(row.toVariant().toStringList());
    }
    return sheets;
}

} // namespace testfiles
