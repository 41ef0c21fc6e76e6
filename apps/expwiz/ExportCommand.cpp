#include "Commands.h"

#include "catalog/FieldCatalog.h"
#include "destination/HostFileGuard.h"
#include "export/ExportRun.h"
#include "fieldmap/ExpFile.h"
#include "fieldmap/FieldMapMessages.h"
#include "host/OrvoInterfaces.h"
#include "refhost/ReferenceHost.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringConverter>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void onStopSignal(int signal)
{
    g_stopSignal = signal;
}

struct UsageError {
    QString message;
};

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// While the rows are written, a stop signal ends the run at the next row
// instead of killing the process, so the temporary file is removed.
void catchStopSignals(bool on)
{
    struct sigaction action {};
    action.sa_handler = on ? onStopSignal : SIG_DFL;
    action.sa_flags = SA_RESTART;   // the flag is looked at between rows
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

// A failure message may carry a query of hundreds of kilobytes; the
// terminal gets its start, --print-sql the whole text.
QString forTerminal(const QString& message)
{
    constexpr qsizetype kShown = 2000;
    if (message.size() <= kShown)
        return message;
    return message.left(kShown) + QStringLiteral(" ... [%1 more characters; --print-sql shows the whole query]")
                                      .arg(message.size() - kShown);
}

QString namesOf(const QStringList& names)
{
    return names.isEmpty() ? QStringLiteral("(none)") : QLatin1Char('"') + names.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

std::vector<int32_t> parseFieldList(const QString& text)
{
    std::vector<int32_t> ids;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int32_t id = part.trimmed().toInt(&ok);
        if (!ok || !expwiz::isCatalogId(id))
            throw UsageError{QStringLiteral("--fields: '%1' is not a field id; ids run from 1001 to 1113 "
                                            "(see 'expwiz fields').").arg(part.trimmed())};
        ids.push_back(id);
    }
    if (ids.empty())
        throw UsageError{QStringLiteral("--fields: name at least one field id, e.g. --fields 1004,1012.")};
    return ids;
}

std::vector<int32_t> readMap(const QString& path)
{
    const expwiz::ExpReadResult result = expwiz::ExpFile::read(path);
    // One line however damaged the file is, as the wizard says it.
    if (!result.isClean())
        printError(QStringLiteral("warning: ") + expwiz::FieldMapMessages::damagedFileNotice(path, result));
    if (result.ids.empty())
        throw orvo::HostError(orvo::errnum::InputPastEnd,
                              QStringLiteral("The field map %1 holds no field; save a map with at least one field.").arg(path));
    return result.ids;
}

class ProgressBar {
public:
    ProgressBar() : enabled_(isatty(STDERR_FILENO) == 1) { timer_.start(); }
    void show(int32_t row, int32_t total)
    {
        if (!enabled_ || (row != total && timer_.elapsed() - lastDraw_ < 100))
            return;
        lastDraw_ = timer_.elapsed();
        const double seconds = static_cast<double>(lastDraw_) / 1000.0;
        const int width = 30;
        const int filled = total > 0 ? static_cast<int>(static_cast<int64_t>(width) * row / total) : 0;
        std::fprintf(stderr, "\r[%-*s] %d / %d rows, %.0f rows/s ", width,
                     std::string(static_cast<size_t>(std::min(filled, width)), '#').c_str(), row, total,
                     seconds > 0 ? row / seconds : 0.0);
        drawn_ = true;
    }
    void finish()
    {
        if (drawn_)
            std::fputs("\n", stderr);
    }

private:
    bool enabled_;
    bool drawn_ = false;
    QElapsedTimer timer_;
    qint64 lastDraw_ = -1000;
};

} // namespace

int runExportCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Export the assets of one company, group and book to a CSV file."));
    parser.addHelpOption();
    auto option = [&](const char* name, const char* help, const char* value = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help));
        if (value)
            o.setValueName(QString::fromLatin1(value));
        parser.addOption(o);
        return o;
    };
    const auto data = option("data", "The host data folder.", "DIR");
    const auto database = option("database", "The database.", "NAME");
    const auto company = option("company", "The company (or organization), by its exact name.", "NAME");
    const auto group = option("group", "The asset group.", "NAME");
    const auto book = option("book", "The active book.", "NAME");
    const auto map = option("map", "A saved field map (.exp).", "FILE");
    const auto fields = option("fields", "Field ids in column order, e.g. 1004,1012.", "IDS");
    const auto output = option("output", "The CSV file to write.", "FILE");
    const auto companyLine = option("company-line", "Start with a line of company, group and book.");
    const auto header = option("header", "Write a line of column headers.");
    const auto edition = option("edition", "Use this edition code instead of the host's.", "CODE");
    const auto locale = option("locale", "Format numbers and dates for this locale (default: the system's).", "NAME");
    const auto encoding = option("encoding", "Encode the file in this codec (default: the system's).", "NAME");
    const auto bom = option("bom", "Start the file with a byte-order mark.");
    const auto printSql = option("print-sql", "Print the count and data queries as the host runs them, and stop.");
    const auto keepPartial = option("keep-partial", "When stopped by a signal, keep the complete rows written so far "
                                                   "(default: leave the previous file as it was).");

    if (!parser.parse(arguments)) {
        printError(QStringLiteral("export: ") + parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);

    try {
        for (const auto* required : {&data, &database, &company, &group, &book})
            if (!parser.isSet(*required))
                throw UsageError{QStringLiteral("--%1 is required.").arg(required->names().first())};
        for (const auto* once : {&map, &fields, &output})
            if (parser.values(*once).size() > 1)
                throw UsageError{QStringLiteral("--%1 is given %2 times; give it once.")
                                     .arg(once->names().first())
                                     .arg(parser.values(*once).size())};
        if (parser.isSet(map) == parser.isSet(fields))
            throw UsageError{QStringLiteral("give the field map with either --map FILE.exp or --fields IDS.")};
        if (!parser.isSet(output) && !parser.isSet(printSql))
            throw UsageError{QStringLiteral("--output FILE is required.")};

        expwiz::ExportJob job;
        if (parser.isSet(locale)) {
            job.locale = QLocale(parser.value(locale));
            if (job.locale == QLocale::c() && parser.value(locale) != QLatin1String("C"))
                throw UsageError{QStringLiteral("--locale: '%1' is not a locale name like en_US or de_DE.")
                                     .arg(parser.value(locale))};
        }
        if (parser.isSet(encoding)) {
            if (!QStringConverter::encodingForName(parser.value(encoding).toLatin1().constData()))
                throw UsageError{QStringLiteral("--encoding: '%1' is not a known encoding (try UTF-8, ISO-8859-1, "
                                                "windows-1252).").arg(parser.value(encoding))};
            job.encoding = parser.value(encoding);
        }
        job.byteOrderMark = parser.isSet(bom);
        job.keepRowsOnStop = parser.isSet(keepPartial);
        job.companyLine = parser.isSet(companyLine);
        job.header = parser.isSet(header);
        job.fieldIds = parser.isSet(fields) ? parseFieldList(parser.value(fields)) : readMap(parser.value(map));
        job.outputPath = parser.isSet(output) ? QFileInfo(parser.value(output)).absoluteFilePath() : QString();

        auto host = orvo::refhost::ReferenceHost::open(parser.value(data));
        int32_t appType = host->ApplicationType();
        if (parser.isSet(edition)) {
            bool ok = false;
            appType = parser.value(edition).toInt(&ok);
            if (!ok)
                throw UsageError{QStringLiteral("--edition takes a whole number, not '%1'.").arg(parser.value(edition))};
        }
        job.edition = expwiz::Edition::fromCode(appType);

        if (!job.outputPath.isEmpty()) {
            QStringList ownFiles = expwiz::HostFileGuard::hostFiles(host);
            if (parser.isSet(map))
                ownFiles << QFileInfo(parser.value(map)).absoluteFilePath();
            if (const QString own = expwiz::HostFileGuard::clash(job.outputPath, ownFiles); !own.isEmpty())
                throw UsageError{QStringLiteral("--output: ") + expwiz::HostFileGuard::message(job.outputPath, own)};
        }

        QStringList names;
        for (const auto& entry : host->Databases())
            names << entry->Name();
        auto entry = host->OpenDatabase(parser.value(database));
        if (!entry)
            throw orvo::HostError(orvo::errnum::FileNotFound,
                                  names.contains(parser.value(database))
                                      ? QStringLiteral("the database \"%1\" cannot be opened: %2")
                                            .arg(parser.value(database), host->openDatabaseError())
                                      : QStringLiteral("no database \"%1\". Databases: %2.")
                                            .arg(parser.value(database), namesOf(names)));
        job.database = entry->Database();

        names.clear();
        for (const auto& c : job.database->Companies()) {
            names << c->Name();
            if (!job.company && c->Name() == parser.value(company))
                job.company = c;
        }
        if (!job.company)
            throw orvo::HostError(orvo::errnum::FileNotFound, QStringLiteral("no company \"%1\" in \"%2\". Companies: %3.")
                                                                  .arg(parser.value(company), parser.value(database), namesOf(names)));
        job.company->Open();   // fails with "locked" while another user has it
        struct CloseOnExit {
            std::shared_ptr<orvo::IOrvoCompany> c;
            ~CloseOnExit() { c->Close(); }
        } closer{job.company};

        job.groupManager = orvo::viewAs<orvo::IOrvoWritableCompany>(job.company)->GroupManager();
        auto list = job.groupManager->GroupList();
        names.clear();
        for (int32_t i = 0; i < list->Count(); ++i) {
            names << list->Item(i)->Name();
            if (!job.group && names.last() == parser.value(group))
                job.group = list->Item(i);
        }
        if (!job.group)
            throw orvo::HostError(orvo::errnum::FileNotFound, QStringLiteral("no group \"%1\" in \"%2\". Groups: %3.")
                                                                  .arg(parser.value(group), parser.value(company), namesOf(names)));
        names.clear();
        for (const auto& b : job.company->Books()) {
            if (!b->IsActive())
                continue;
            names << b->Name();
            if (!job.book && b->Name() == parser.value(book))
                job.book = b;
        }
        if (!job.book)
            throw orvo::HostError(orvo::errnum::FileNotFound, QStringLiteral("no active book \"%1\" in \"%2\". Books: %3.")
                                                                  .arg(parser.value(book), parser.value(company), namesOf(names)));

        if (auto failure = job.allocationLists.load(*job.database->Connection(), job.company->CompanyID()))
            printError(QStringLiteral("warning: the allocation lists of \"%1\" could not all be read: %2")
                           .arg(parser.value(company), failure->description()));
        job.allocationLinks.linkAll(job.fieldIds, job.edition.isGASB, job.allocationLists);
        job.systemNumberColumn = expwiz::ExportRun::systemNumberColumn(job.fieldIds);

        if (parser.isSet(printSql)) {
            const expwiz::ExportQueries queries = expwiz::ExportRun::prepareQueries(job);
            QTextStream(stdout) << queries.count << '\n' << queries.data << '\n';
            return 0;
        }

        catchStopSignals(true);
        ProgressBar bar;
        expwiz::ExportCallbacks callbacks;
        callbacks.progress = [&](int32_t row, int32_t total) { bar.show(row, total); };
        callbacks.stopRequested = [] { return g_stopSignal != 0; };
        callbacks.confirmStop = [] { return true; };
        const expwiz::ExportResult result = expwiz::ExportRun(job, callbacks).run();
        bar.finish();
        catchStopSignals(false);

        QTextStream out(stdout);
        switch (result.outcome) {
        case expwiz::ExportOutcome::Completed:
            out << result.rowsWritten << " of " << result.total << " asset record(s) written to " << job.outputPath << '\n';
            if (result.replacedCharacters > 0)
                printError(QStringLiteral("warning: %1 character(s) could not be represented in the file's encoding "
                                          "and were replaced; try --encoding UTF-8.").arg(result.replacedCharacters));
            return 0;
        case expwiz::ExportOutcome::Stopped:
            if (result.fileReplaced)
                printError(QStringLiteral("export: stopped by SIG%1; the %2 complete row(s) written so far are in %3.")
                               .arg(QString::fromLatin1(sigabbrev_np(g_stopSignal)))
                               .arg(result.rowsWritten)
                               .arg(job.outputPath));
            else
                printError(QStringLiteral("export: stopped by SIG%1 after %2 row(s); nothing was changed: %3 is as "
                                          "it was before.")
                               .arg(QString::fromLatin1(sigabbrev_np(g_stopSignal)))
                               .arg(result.rowsWritten)
                               .arg(job.outputPath));
            return 128 + g_stopSignal;
        case expwiz::ExportOutcome::Failed: {
            // The short wizard texts (a file in use) get the detail added.
            QString message = result.message;
            if (!result.errorDescription.isEmpty() && !message.contains(result.errorDescription))
                message += QStringLiteral(" (%1)").arg(result.errorDescription);
            printError(QStringLiteral("export: ") + forTerminal(message));
            return 1;
        }
        }
    } catch (const UsageError& e) {
        printError(QStringLiteral("export: ") + e.message);
        return 2;
    } catch (const orvo::HostError& e) {
        printError(QStringLiteral("export: ") + forTerminal(e.description()));
        return 1;
    }
    return 1;
}
