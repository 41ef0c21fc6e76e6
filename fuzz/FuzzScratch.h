#pragma once

// What every fuzz target shares: a scratch folder for the real files the
// readers open, and a check that stops the run with a message libFuzzer
// records beside the crashing input.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace expwiz::fuzz {

// One folder per fuzzing process, removed when it exits normally. The
// scripts point TMPDIR at memory-backed storage, since the writers sync
// every file they replace.
inline const QString& scratchFolder()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/expwiz-fuzz-XXXXXX"));
    static const QString path = [] {
        if (!dir.isValid()) {
            std::fprintf(stderr, "fuzz: cannot create a scratch folder in %s\n", qPrintable(QDir::tempPath()));
            std::abort();
        }
        return dir.path();
    }();
    return path;
}

inline QString scratchPath(const QString& name)
{
    return scratchFolder() + QLatin1Char('/') + name;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "fuzz: cannot read %s\n", qPrintable(path));
        std::abort();
    }
    return file.readAll();
}

// A broken property: says which and aborts, so libFuzzer keeps the input.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz: property broken: %s\n", property);
        std::abort();
    }
}

} // namespace expwiz::fuzz
