#include "refhost/AddinRegistry.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The shell lines of the code block under a README heading.
QStringList readmeCommands(const QString& heading)
{
    QFile file(QStringLiteral(EXPWIZ_SOURCE_DIR "/README.md"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype section = text.indexOf(QStringLiteral("\n## ") + heading + QLatin1Char('\n'));
    const qsizetype start = text.indexOf(QStringLiteral("```sh\n"), section);
    const qsizetype end = text.indexOf(QStringLiteral("```"), start + 6);
    if (section < 0 || start < 0 || end < 0)
        return {};
    return text.mid(start + 6, end - start - 6).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

// A newcomer's path: the set-up script, then every command of the host
// section as written, in a folder of its own that sees the built programs
// as build/.
TEST(Readme, TheHostSectionWorksAsWrittenAfterTheSetUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(QStringLiteral(EXPWIZ_BUILD_DIR), dir.filePath("build")));
    const orvo::refhost::AddinRegistry registry(dir.filePath("demo-data/addins.list"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("EXPWIZ_BUILD_DIR", dir.filePath("build"));
    env.insert("EXPWIZ_DEMO_DATA", dir.filePath("demo-data"));
    env.insert("EXPWIZ_DEMO_CSV", dir.filePath("out/harbor.csv"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess setUp;
    setUp.setProcessEnvironment(env);
    setUp.start("bash", {QStringLiteral(EXPWIZ_SOURCE_DIR "/scripts/demo.sh")});
    ASSERT_TRUE(setUp.waitForFinished(120000));
    const QString said = QString::fromUtf8(setUp.readAllStandardOutput());
    ASSERT_EQ(setUp.exitCode(), 0) << setUp.readAllStandardError().toStdString();
    EXPECT_TRUE(said.contains("--start-command")) << said.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("out/harbor.csv")));
    ASSERT_EQ(registry.entries().size(), 1u);

    const QStringList commands = readmeCommands(QStringLiteral("The host application and the wizard"));
    ASSERT_GE(commands.size(), 5);
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start("bash", {"-c", "exec " + command});
        const bool window = !command.contains("--register") && !command.contains("--unregister")
                            && command.contains("bin/orvo");
        if (window) {
            // The window stays until it is closed: it is enough that it
            // shows with the add-in loaded.
            p.setReadChannel(QProcess::StandardError);
            QString err;
            while (!err.contains("Loaded") && p.waitForReadyRead(60000))
                err += QString::fromUtf8(p.readAllStandardError());
            EXPECT_TRUE(err.contains("Loaded Orvo Export Wizard")) << err.toStdString();
            EXPECT_EQ(p.state(), QProcess::Running);
            p.kill();
            p.waitForFinished();
            continue;
        }
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_EQ(registry.entries().size(), command.contains("--unregister") ? 0u : 1u);
    }
}
