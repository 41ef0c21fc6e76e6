#pragma once

#include "FileBytes.h"

#include <QProcess>
#include <QStringList>

// One run of a built program: its exit code (-1 when it crashed), stdout (as text and bytes), stderr,
// and the bytes of the file named by --output.
struct ProgramRun { int exitCode = -1; QString out, err; QByteArray file, outBytes; };

inline void startProgram(QProcess& p, const QString& program, const QStringList& args, const QString& workDir = {},
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    p.setWorkingDirectory(workDir);
    p.setProcessEnvironment(env);
    p.start(program.contains(QLatin1Char('/')) ? program : QStringLiteral(EXPWIZ_BUILD_DIR "/bin/") + program, args);
}

inline ProgramRun finishProgram(QProcess& p, const QStringList& args)
{
    p.waitForFinished(120000);
    const qsizetype output = args.indexOf(QStringLiteral("--output"));
    const QByteArray out = p.readAllStandardOutput();
    const bool toFile = output >= 0 && output + 1 < args.size() && !args[output + 1].isEmpty();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(out),
            QString::fromUtf8(p.readAllStandardError()), toFile ? readBytes(args[output + 1]) : QByteArray(), out};
}

// Runs expwiz (or another program of the build) to its end.
inline ProgramRun runCli(const QStringList& args, const QString& workDir = {},
                         const QString& program = QStringLiteral("expwiz"),
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    startProgram(p, program, args, workDir, env);
    return finishProgram(p, args);
}
