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

inline std::vector<QStringList> rowsOf(const QJsonArray& rows)
{
    std::vector<QStringList> out;
    for (const auto& row : rows)
        out.push_back(row.toVariant().toStringList());
    return out;
}

// The rows Python's csv module reads from a file.
inline std::vector<QStringList> pythonCsv(const QString& path)
{
    return rowsOf(python(QStringLiteral("import csv,json,sys\n"
                                        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                        "    print(json.dumps(list(csv.reader(f))))\n"),
                         {path}));
}

// The text of every cell of every sheet of a workbook, as openpyxl reads it
// with the file format's _xHHHH_ escapes undone (as spreadsheets do): an
// empty cell is "", and a row ends at its last cell that is not empty.
inline std::vector<std::vector<QStringList>> pythonWorkbook(const QString& path)
{
    std::vector<std::vector<QStringList>> sheets;
    for (const auto& sheet : python(QStringLiteral("import json,re,sys,openpyxl\n"
                                                  "book = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
                                                  "def texts(row):\n"
                                                  "    cells = ['' if v is None else re.sub('_x([0-9A-Fa-f]{4})_',\n"
                                                  "        lambda m: chr(int(m.group(1), 16)), str(v)) for v in row]\n"
                                                  "    while cells and not cells[-1]: cells.pop()\n"
                                                  "    return cells\n"
                                                  "print(json.dumps([[texts(row) for row in sheet.iter_rows(values_only=True)]\n"
                                                  "    for sheet in book.worksheets]))\n"),
                                   {path}))
        sheets.push_back(rowsOf(sheet.toArray()));
    return sheets;
}

} // namespace testfiles
