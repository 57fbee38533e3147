#include "sizerun.h"

#include "bench.h"
#include "datacache.h"
#include "insightactions.h"
#include "maintenanceactions.h"
#include "probes.h"
#include "screenactions.h"
#include "shellactions.h"
#include "sideactions.h"
#include "stockactions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>

namespace {

constexpr int StartupSamples = 15;

// Other work on the machine stretches wall times: the report says how busy it was.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

QString rowCounts(Bench &bench)
{
    Engine &engine = bench.engine();
    const auto count = [&engine](const char *table) {
        return engine.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toLongLong();
    };
    return QStringLiteral("data: %1 catalogue, %2 stock, %3 purchase lines (%4 documents), %5 "
                          "sales lines (%6 documents), ten years to %7")
        .arg(count("yaocai")).arg(count("kucun")).arg(count("jinhuo")).arg(count("huodan"))
        .arg(count("chuhuo")).arg(count("danju"))
        .arg(bench.lastDay.toString(Qt::ISODate));
}

QStringList fileFacts(Bench &bench)
{
    qint64 bytes = 0;
    for (const QString &file : dataFiles(bench.folder))
        bytes += QFileInfo(file).size();
    QSqlQuery pragma(bench.store().database());
    const auto setting = [&pragma](const QString &name) {
        pragma.exec(QStringLiteral("PRAGMA jinhuo.") + name);
        return pragma.next() ? pragma.value(0).toString() : QStringLiteral("?");
    };
    dropFileCache(dataFiles(bench.folder));
    const double resident = residentShare(dataFiles(bench.folder));
    return {
        rowCounts(bench) + QStringLiteral("; files %1 MB").arg(bytes / 1048576.0, 0, 'f', 1),
        QStringLiteral("the program's connection: synchronous=%1 (2 = FULL), journal_mode=%2")
            .arg(setting(QStringLiteral("synchronous")), setting(QStringLiteral("journal_mode"))),
        QStringLiteral("machine: %1 cores, %2; data on %3; after a cache drop %4% of the files' "
                       "pages stay cached")
            .arg(QThread::idealThreadCount())
            .arg(QSysInfo::prettyProductName(), QDir(bench.folder).absolutePath())
            .arg(resident * 100, 0, 'f', 1),
    };
}

QStringList serverFacts(Bench &bench)
{
    Engine &engine = bench.engine();
    const auto setting = [&engine](const char *name) {
        return engine.scalar(QStringLiteral("SHOW %1").arg(QLatin1String(name))).toString();
    };
    const double megabytes =
        engine.scalar(QStringLiteral("SELECT pg_database_size(current_database())")).toDouble()
        / 1048576.0;
    return {
        rowCounts(bench) + QStringLiteral("; database %1 MB").arg(megabytes, 0, 'f', 1),
        QStringLiteral("engine: PostgreSQL %1 on this machine, reached through the Unix socket "
                       "in %2 (no TCP); fsync=%3, synchronous_commit=%4, full_page_writes=%5, "
                       "wal_sync_method=%6, shared_buffers=%7")
            .arg(setting("server_version"), setting("unix_socket_directories"),
                 setting("fsync"), setting("synchronous_commit"), setting("full_page_writes"),
                 setting("wal_sync_method"), setting("shared_buffers")),
        QStringLiteral("the data: copied from the files by the program's own copy, which "
                       "gathers the server's statistics as it ends; the engine column: the "
                       "least SQL over a connection of its own, set up as the program's; the CPU "
                       "columns count the program's process only, the server's work shows in the "
                       "wall times"),
        QStringLiteral("not run on the server: cold samples (a file cache drop means nothing to "
                       "a server), start-up, peak memory, log-in, stock, statistics, backup and "
                       "export, deleting a result, print preview"),
        QStringLiteral("machine: %1 cores, %2")
            .arg(QThread::idealThreadCount())
            .arg(QSysInfo::prettyProductName()),
    };
}

Result fromProbe(const QString &name, const Target &target, const ProbeResult &probe)
{
    Result result{QStringLiteral("系统"), name, target, probe.warm, probe.cold, {},
                  probe.value, probe.note, false};
    if (probe.note.startsWith(QLatin1String("failed")))
        result.warm = {};
    return result;
}

// The program in processes of its own: its start-up and its peak memory.
void measureProbes(SizeReport &report, const RunOptions &options, const RunPlaces &places,
                   const QString &sysfileFolder,
                   const std::function<void(const Result &)> &progress)
{
    const int startupSamples = options.quick ? 5 : StartupSamples;
    const QString appFolder = QFileInfo(sysfileFolder).absolutePath();
    const auto probe = [&](const QString &name, const Target &target,
                           const std::function<ProbeResult()> &measure) {
        if (!options.wants(QStringLiteral("系统"), name))
            return;
        try {
            report.results.push_back(fromProbe(name, target, measure()));
        } catch (const std::exception &error) {
            report.results.push_back(fromProbe(
                name, target, {{}, {}, {}, QStringLiteral("failed: ") + error.what()}));
        }
        progress(report.results.back());
    };
    probe(QStringLiteral("start-up to the login window, existing data"), Target::wallMs(150),
          [&] {
              return measureStartup(places.program, appFolder, false, places.startupPlatform,
                                    startupSamples, options.cold);
          });
    probe(QStringLiteral("start-up to the login window, first start"), Target::wallMs(150), [&] {
        return measureStartup(places.program, places.firstStartFolder, true,
                              places.startupPlatform, startupSamples, false);
    });
    probe(QStringLiteral("peak memory: every screen open, every purchase line scrolled"),
          Target::memoryMb(150),
          [&] { return measurePeakMemory(places.benchProgram, sysfileFolder); });
}

} // namespace

SizeReport measureSize(const DataSize &size, const DataLocation &location, const QDate &lastDay,
                       const RunOptions &options, const RunPlaces &places)
{
    SizeReport report{size, location.isServer() ? QStringLiteral("PostgreSQL") : QString(), {},
                      {}};
    const QString loadBefore = loadAverage();
    QTextStream log(stderr);
    const auto progress = [&log, &size](const Result &result) {
        log << size.label << "x  " << result.group << " " << result.name
            << (result.skipped ? "  (skipped)" : "") << "\n";
        log.flush();
    };
    {
        Bench bench(size, location, lastDay);
        report.facts = bench.onServer() ? serverFacts(bench) : fileFacts(bench);
        std::vector<Action> actions;
        addScreenOpenings(bench, actions);
        // On a server: what waits on it while a clerk works (see README).
        if (!bench.onServer()) {
            addLoginAction(bench, actions);
            addStartupStandIn(bench, actions);
        }
        addTradeActions(bench, purchaseSide(), actions);
        addTradeActions(bench, salesSide(), actions);
        if (!bench.onServer()) {
            addStockActions(bench, actions);
            addInsightActions(bench, actions);
            addMaintenanceActions(bench, actions);
        }
        Runner runner(bench, options);
        for (const Action &action : actions) {
            if (!options.wants(action.group, action.name))
                continue;
            report.results.push_back(runner.run(action));
            progress(report.results.back());
        }
    }
    if (!location.isServer())
        measureProbes(report, options, places, location.folder, progress);
    report.facts << QStringLiteral("load average (1, 5, 15 min) at the start %1, at the end %2")
                        .arg(loadBefore, loadAverage());
    return report;
}
