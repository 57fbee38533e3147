// The speed benchmark: the program measured through its real screens on generated data of
// three sizes, beside the least SQL each screen needs. See README.md, "Benchmark".

#include "datacache.h"
#include "privateserver.h"
#include "probes.h"
#include "sizerun.h"

#include "store/datacopy.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QTextStream>

namespace {

// The font the program sets in main.cpp: row heights, and so the rows of a page, depend on it.
void useProgramFont(QApplication &app)
{
    QFont font = app.font();
    const QString family = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(family))
        font.setFamily(family);
    font.setPixelSize(12);
    app.setFont(font);
}

QString startupPlatform(const QByteArray &requested)
{
    if (!requested.isEmpty())
        return QString::fromLocal8Bit(requested);
    return qEnvironmentVariableIsEmpty("DISPLAY") ? QStringLiteral("offscreen")
                                                  : QStringLiteral("xcb");
}

// A fresh database on the server holding a copy of the size's generated data, made by the
// program's own copy, with the statistics a server in use has; how long that took goes to the
// log, not into the timings.
DataLocation copiedToServer(PrivateServer &server, const DataSize &size, const QString &files,
                            QTextStream &log)
{
    QString name = QStringLiteral("herbdesk_bench_%1x").arg(size.label);
    name.replace(QLatin1Char('.'), QLatin1Char('_'));
    const DataLocation target = DataLocation::onServer(server.createDatabase(name));
    log << "copying the " << size.label << "x data to " << target.text() << "\n";
    log.flush();
    QElapsedTimer clock;
    clock.start();
    const DataCopy::Outcome copied = DataCopy::copy(DataLocation::files(files), target);
    if (!copied.ok)
        throw std::runtime_error(copied.error.text().toStdString());
    log << "copied in " << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s\n";
    log.flush();
    return target;
}

} // namespace

int main(int argc, char *argv[])
{
    // The screens are driven offscreen (painting included); the program's own start-up is
    // measured on the platform this was started with.
    const QByteArray requestedPlatform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useProgramFont(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("herbdesk speed benchmark"));
    parser.addHelpOption();
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        QStringLiteral("0.1, 1, 5 or all (default 1)"),
                                        QStringLiteral("size"), QStringLiteral("1"));
    const QCommandLineOption quickOption(QStringLiteral("quick"),
                                         QStringLiteral("fewer samples"));
    const QCommandLineOption noColdOption(QStringLiteral("no-cold"),
                                          QStringLiteral("skip the samples after a cache drop"));
    const QCommandLineOption onlyOption(QStringLiteral("only"),
                                        QStringLiteral("actions whose group and name match"),
                                        QStringLiteral("regex"));
    const QCommandLineOption probeOption(QStringLiteral("memory-probe"),
                                         QStringLiteral("(internal) the peak memory probe"),
                                         QStringLiteral("folder"));
    const QCommandLineOption engineOption(
        QStringLiteral("engine"),
        QStringLiteral("sqlite (default: the data folder's files) or postgresql (a durable "
                       "private server, started and stopped by the run)"),
        QStringLiteral("engine"), QStringLiteral("sqlite"));
    parser.addOptions(
        {sizeOption, quickOption, noColdOption, onlyOption, engineOption, probeOption});
    parser.process(app);
    if (parser.isSet(probeOption))
        return runMemoryProbe(parser.value(probeOption));

    QList<DataSize> sizes;
    const QString sizeText = parser.value(sizeOption);
    for (const QString &label : sizeText == QLatin1String("all")
                                    ? QStringList{"0.1", "1", "5"}
                                    : sizeText.split(',')) {
        const auto size = dataSizeNamed(label);
        if (!size) {
            QTextStream(stderr) << "unknown size " << label << "\n";
            return 2;
        }
        sizes << *size;
    }
    const QString engine = parser.value(engineOption);
    if (engine != QLatin1String("sqlite") && engine != QLatin1String("postgresql")) {
        QTextStream(stderr) << "unknown engine " << engine << "\n";
        return 2;
    }
    const bool onServer = engine == QLatin1String("postgresql");
    RunOptions options;
    options.quick = parser.isSet(quickOption);
    options.cold = !parser.isSet(noColdOption);
    options.only = QRegularExpression(parser.value(onlyOption));

    const QDir build(QDir::cleanPath(QCoreApplication::applicationDirPath() + "/.."));
    const RunPlaces places{build.filePath(QStringLiteral("herbdesk")),
                           QCoreApplication::applicationFilePath(),
                           build.filePath(QStringLiteral("bench-data/firststart")),
                           startupPlatform(requestedPlatform)};
    DataCache cache(build.filePath(QStringLiteral("bench-data")));
    QTextStream out(stdout);
    QTextStream log(stderr);
    bool missed = false;
    try {
        // Its folder is the one bench.sh clears when a run is interrupted.
        std::unique_ptr<PrivateServer> server;
        if (onServer) {
            server = std::make_unique<PrivateServer>(
                QStringLiteral(HERBDESK_SOURCE_DIR "/scripts/test-server.sh"),
                build.filePath(QStringLiteral("bench-server")));
        }
        for (const DataSize &size : sizes) {
            const QString generated = cache.ensure(size, [&log](const QString &line) {
                log << line << "\n";
                log.flush();
            });
            const DataLocation location =
                server ? copiedToServer(*server, size, generated, log)
                       : DataLocation::files(cache.workingCopy(size));
            const SizeReport report = measureSize(size, location, cache.lastDay(size), options,
                                                  places);
            const QString table = markdown(report);
            out << table << "\n";
            out.flush();
            QDir().mkpath(build.filePath(QStringLiteral("bench-results")));
            QFile saved(build.filePath(QStringLiteral("bench-results/%1%2x.md")
                                           .arg(onServer ? QStringLiteral("pg-") : QString(),
                                                size.label)));
            if (saved.open(QIODevice::WriteOnly))
                saved.write(table.toUtf8());
            missed = missed || (size.isReference() && report.missedTarget());
        }
    } catch (const std::exception &error) {
        log << "benchmark failed: " << error.what() << "\n";
        return 2;
    }
    return missed ? 1 : 0;
}
