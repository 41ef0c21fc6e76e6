#pragma once

#include <QStringList>

// An export of one company's group and book into a file, as typed.
inline QStringList exportArgs(const QString& data, const QString& company, const QString& output,
                              const QString& group = QStringLiteral("All Orvo Assets"),
                              const QString& book = QStringLiteral("Internal"),
                              const QString& database = QStringLiteral("Orvo Demo"))
{
    return {"export", "--data", data, "--database", database, "--company", company, "--group", group,
            "--book", book, "--output", output};
}

// Every field of the catalog.
inline QStringList allFields()
{
    QStringList ids;
    for (int id = 1001; id <= 1113; ++id)
        ids << QString::number(id);
    return {"--fields", ids.join(',')};
}
