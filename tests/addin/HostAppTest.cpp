#include "QtPrinters.h"

#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

struct OrvoRun {
    int exitCode;
    QString out;
    QString err;
};

OrvoRun runOrvo(const QStringList& args)
{
    QProcess process;
    // Registering must work on a machine without any display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/orvo"), args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(AddinHostApp, RegisterAndUnregisterEditTheAddinListThroughThePlugin)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    orvo::refhost::DemoData::create(data);
    const QString plugin = QStringLiteral(EXPWIZ_BUILD_DIR "/lib/libexpwiz.so");
    orvo::refhost::AddinRegistry registry(data + QStringLiteral("/addins.list"));

    SCOPED_TRACE("register");
    OrvoRun run = runOrvo({"--data", data, "--register", plugin});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("expwiz.clsExpWizard")) << run.out.toStdString();
    ASSERT_EQ(registry.entries().size(), 1u);
    EXPECT_EQ(registry.entries()[0].libraryPath, plugin);

    SCOPED_TRACE("registering twice keeps one entry");
    run = runOrvo({"--data", data, "--register", plugin});
    EXPECT_EQ(registry.entries().size(), 1u);

    SCOPED_TRACE("a file that is no add-in");
    run = runOrvo({"--data", data, "--register", data + QStringLiteral("/addins.list")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("is not an add-in library")) << run.err.toStdString();
    EXPECT_EQ(registry.entries().size(), 1u);

    SCOPED_TRACE("unregister");
    run = runOrvo({"--data", data, "--unregister", plugin});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(registry.entries().empty());

    SCOPED_TRACE("a bad edition code");
    run = runOrvo({"--data", data, "--edition", "abc", "--register", plugin});
    EXPECT_EQ(run.exitCode, 2);
}
