#include "maintenanceactions.h"

#include "bench.h"

#include "export/listexport.h"
#include "maintenance/backuparchive.h"
#include "store/query.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace {

// Beside the data, on the same disk: a backup's speed is the disk's.
QString outputFolder(Bench &bench)
{
    return QDir::cleanPath(QDir(bench.folder).filePath("../maintenance-bench"));
}

Action backup(Bench &bench)
{
    const QString root = QDir(outputFolder(bench)).filePath("backup");
    Action action;
    action.group = QStringLiteral("系统");
    action.name = QStringLiteral("backup of all five files (copy, row counts, SHA-256)");
    // A copy of everything grows with the data: its target speaks of the reference size.
    action.target = Target::wallMs(2000).atReferenceSizeOnly();
    action.samples = 5;
    action.act = [&bench, root] {
        const auto made = BackupArchive(root).create(bench.folder, BackupManifest::Reason::Manual);
        if (made.outcome != DataSnapshot::Outcome::Copied)
            throw std::runtime_error(made.problem.toStdString());
    };
    action.restore = [root] { QDir(root).removeRecursively(); };
    // The engine's own copy of each file, nothing else.
    const QString copies = QDir(outputFolder(bench)).filePath("vacuum");
    action.engine = [copies](Engine &engine) {
        QDir().mkpath(copies);
        for (const FileDef &file : Schema::files()) {
            engine.exec(QStringLiteral("VACUUM %1 INTO ?").arg(file.schemaName),
                        {QDir(copies).filePath(file.fileName)});
        }
    };
    action.engineRestore = [copies](Engine &) { QDir(copies).removeRecursively(); };
    action.tearDown = [&bench] { QDir(outputFolder(bench)).removeRecursively(); };
    return action;
}

Action exportLines(Bench &bench, ExportFormat format)
{
    const bool csv = format == ExportFormat::Csv;
    const QString path = QDir(outputFolder(bench))
                             .filePath(csv ? QStringLiteral("进货.csv") : QStringLiteral("进货.xlsx"));
    Action action;
    action.group = QStringLiteral("系统");
    action.name = QStringLiteral("export every purchase line (200,000 at 1x) to %1")
                      .arg(csv ? "CSV" : "XLSX");
    action.target = Target::wallMs(csv ? 2000 : 5000).atReferenceSizeOnly();
    action.samples = 5;
    action.setUp = [&bench] { QDir().mkpath(outputFolder(bench)); };
    action.act = [&bench, format, path] {
        const QList<ExportTotal> totals{{QStringLiteral("品种数"), QStringLiteral("0")}};
        const ExportOutcome outcome =
            exportList(bench.store(), Query(QStringLiteral("jinhuo")), totals, format, path);
        if (outcome.result != ExportOutcome::Result::Written)
            throw std::runtime_error(outcome.problem.toStdString());
    };
    action.restore = [path] { QFile::remove(path); };
    action.tearDown = [&bench] { QDir(outputFolder(bench)).removeRecursively(); };
    // Reading every value of every line is the least any export does.
    action.engine = [](Engine &engine) { engine.read(QStringLiteral("SELECT * FROM jinhuo")); };
    return action;
}

} // namespace

void addMaintenanceActions(Bench &bench, std::vector<Action> &actions)
{
    actions.push_back(backup(bench));
    actions.push_back(exportLines(bench, ExportFormat::Csv));
    actions.push_back(exportLines(bench, ExportFormat::Xlsx));
}
