#include "ProgramRun.h"
#include "QtPrinters.h"
#include "refhost/AddinRegistry.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A newcomer's path: the set-up script, then every command of the host
// section as written, in a folder of its own that sees the built programs
// as build/.
TEST(Readme, TheHostSectionWorksAsWrittenAfterTheSetUp)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(EXPWIZ_BUILD_DIR, dir.filePath("build")));
    const orvo::refhost::AddinRegistry registry(dir.filePath("demo-data/addins.list"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("EXPWIZ_BUILD_DIR", dir.filePath("build"));
    env.insert("EXPWIZ_DEMO_DATA", dir.filePath("demo-data"));
    env.insert("EXPWIZ_DEMO_CSV", dir.filePath("out/harbor.csv"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const ProgramRun setUp = runCli({EXPWIZ_SOURCE_DIR "/scripts/demo.sh"}, {}, "/bin/bash", env);
    ASSERT_EQ(setUp.exitCode, 0) << setUp.err.toStdString();
    EXPECT_TRUE(setUp.out.contains("--start-command")) << setUp.out.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("out/harbor.csv")));
    ASSERT_EQ(registry.entries().size(), 1u);

    // The shell lines of the code block under the heading.
    const QString readme = QString::fromUtf8(readBytes(EXPWIZ_SOURCE_DIR "/README.md"));
    const qsizetype start = readme.indexOf("```sh\n", readme.indexOf("\n## The host application and the wizard\n")) + 6;
    const QStringList commands = readme.mid(start, readme.indexOf("```", start) - start).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(commands.size(), 5) << commands.join('\n').toStdString();
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        QProcess p;
        startProgram(p, "/bin/bash", {"-c", "exec " + command}, dir.path(), env);
        if (command.contains("bin/orvo") && !command.contains("register")) {
            // The window stays until it is closed: enough that it shows with the add-in loaded.
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
        const ProgramRun r = finishProgram(p, {});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(registry.entries().size(), command.contains("--unregister") ? 0u : 1u);
    }
}
