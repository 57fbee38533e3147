// The speed benchmark: the program measured through its real screens on generated data of
// three sizes, beside the least SQL each screen needs. See README.md, "Benchmark".

#include "datacache.h"
#include "probes.h"
#include "sizerun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
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
    parser.addOptions({sizeOption, quickOption, noColdOption, onlyOption, probeOption});
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
        for (const DataSize &size : sizes) {
            cache.ensure(size, [&log](const QString &line) {
                log << line << "\n";
                log.flush();
            });
            const QString copy = cache.workingCopy(size);
            const SizeReport report = measureSize(size, copy, cache.lastDay(size), options,
                                                  places);
            const QString table = markdown(report);
            out << table << "\n";
            out.flush();
            QDir().mkpath(build.filePath(QStringLiteral("bench-results")));
            QFile saved(build.filePath(QStringLiteral("bench-results/%1x.md").arg(size.label)));
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
