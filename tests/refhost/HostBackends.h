#pragma once

// Host tests run against every backend of the reference host from one source: a test parametrised by Backend
// makes its demo host with DemoHost. The PostgreSQL backend needs a server in EXPWIZ_PG (a libpq connection string,
// as scripts/with-postgres.sh provides); without one its cases are skipped with the reason, but fail under CI=true.

#include "pghost/PgDemo.h"
#include "refhost/DemoData.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <unistd.h>

namespace testhost {

enum class Backend { Sqlite, Postgres };

// The server's connection string, or empty with the reason in why.
inline QString postgresServer(std::string* why = nullptr)
{
    const QString server = qEnvironmentVariable("EXPWIZ_PG"), skipped = qEnvironmentVariable("EXPWIZ_PG_SKIPPED");
    if (server.isEmpty() && why)
        *why = skipped.isEmpty() ? "EXPWIZ_PG names no PostgreSQL server; run the tests through scripts/with-postgres.sh"
                                 : "no PostgreSQL server: " + skipped.toStdString();
    return server;
}

// In a test body or SetUp: skip (or under CI fail) when the backend has no server to run on.
#define EXPWIZ_REQUIRE_BACKEND(backend)                                                             \
    do {                                                                                            \
        std::string why_;                                                                           \
        if ((backend) == testhost::Backend::Postgres && testhost::postgresServer(&why_).isEmpty()) { \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                \
                FAIL() << why_;                                                                     \
            GTEST_SKIP() << why_;                                                                   \
        }                                                                                           \
    } while (0)

// A demo host data folder whose databases live on the backend (not copyable: it owns its folder). On the server the
// databases get names of their own, so tests run side by side; they are dropped again at the end.
struct DemoHost {
    explicit DemoHost(Backend backend, orvo::refhost::DemoOptions options = {}) : backend(backend)
    {
        static std::atomic<int> serial{0};
        if (backend == Backend::Sqlite) {
            orvo::refhost::DemoData::create(path, options);
            return;
        }
        server = {postgresServer(), QStringLiteral("t%1_%2").arg(::getpid()).arg(++serial), false};
        orvo::pghost::PgDemo::create(path, options, server);
    }
    ~DemoHost()
    {
        if (backend == Backend::Postgres)
            try { orvo::pghost::PgDemo::drop(server); } catch (...) {}   // never throw from here
    }

    Backend backend;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("host"));
    orvo::pghost::PgDemoOptions server;
};

// A test fixture over both backends; a case makes its DemoHost(GetParam()).
class BackendTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { EXPWIZ_REQUIRE_BACKEND(GetParam()); }
};

#define EXPWIZ_ON_EVERY_BACKEND(suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Backends, suite,                                                           \
                             ::testing::Values(testhost::Backend::Sqlite, testhost::Backend::Postgres), \
                             [](const auto& info) { return info.param == testhost::Backend::Sqlite ? "Sqlite" : "Postgres"; })

} // namespace testhost
