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

} // namespace testfiles
