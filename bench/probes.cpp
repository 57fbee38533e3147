#include "probes.h"

#include "datacache.h"
#include "screenactions.h"
#include "screendriver.h"

#include "shell/childscreen.h"
#include "store/store.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTableView>
#include <QTextStream>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int StartupTimeoutMs = 20000;
// Pages painted while scrolling the longest list from end to end.
constexpr int ScrollSteps = 3000;
constexpr int MemoryRuns = 3;

// The environment of the started program: this one's, with Qt's paint log switched on.
std::vector<QByteArray> startupEnvironment(const QString &platform)
{
    std::vector<QByteArray> entries;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        if (!text.startsWith("QT_LOGGING_RULES=") && !text.startsWith("QT_QPA_PLATFORM="))
            entries.push_back(text);
    }
    entries.push_back("QT_LOGGING_RULES=qt.widgets.painting=true");
    entries.push_back("QT_QPA_PLATFORM=" + platform.toLocal8Bit());
    return entries;
}

// Starts the program and reads its log until the login window is flushed; then stops it.
Sample startOnce(const QByteArray &program, const std::vector<QByteArray> &environment)
{
    std::vector<char *> envp;
    for (const QByteArray &entry : environment)
        envp.push_back(const_cast<char *>(entry.constData()));
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(program.constData()), nullptr};

    int log[2];
    if (::pipe(log) != 0)
        throw std::runtime_error("no pipe");
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(log[1], 2);
        ::close(log[0]);
        ::close(log[1]);
        ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }
    ::close(log[1]);
    QByteArray seen;
    bool shown = false;
    while (!shown) {
        pollfd ready{log[0], POLLIN, 0};
        if (::poll(&ready, 1, StartupTimeoutMs) <= 0)
            break;
        char chunk[8192];
        const ssize_t count = ::read(log[0], chunk, sizeof chunk);
        if (count <= 0)
            break;
        seen.append(chunk, count);
        // "Flushing QRegion(...) of LogoFrm(...)": the window's pixels went to the screen.
        for (qsizetype line = seen.indexOf("Flushing QRegion"); line >= 0 && !shown;
             line = seen.indexOf("Flushing QRegion", line + 1)) {
            const qsizetype end = seen.indexOf('\n', line);
            shown = end > 0 && seen.mid(line, end - line).contains("of LogoFrm");
        }
    }
    const auto ended = std::chrono::steady_clock::now();
    ::kill(pid, SIGKILL);
    rusage usage{};
    int status = 0;
    ::wait4(pid, &status, 0, &usage);
    ::close(log[0]);
    if (!shown)
        throw std::runtime_error("the program showed no login window: "
                                 + seen.right(400).toStdString());
    const double cpuMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3
                         + usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
    return {std::chrono::duration<double, std::milli>(ended - started).count(), cpuMs};
}

} // namespace

ProbeResult measureStartup(const QString &program, const QString &appFolder, bool firstStart,
                           const QString &platform, int samples, bool cold)
{
    // The program finds its data beside itself.
    QDir().mkpath(appFolder);
    const QString copy = QDir(appFolder).filePath(QStringLiteral("herbdesk"));
    QFile::remove(copy);
    if (!QFile::copy(program, copy))
        throw std::runtime_error("cannot copy the program");
    const QString sysfile = QDir(appFolder).filePath(QStringLiteral("sysfile"));
    const std::vector<QByteArray> environment = startupEnvironment(platform);
    const QByteArray path = QFile::encodeName(copy);

    ProbeResult result;
    const auto once = [&](bool dropped) {
        if (firstStart)
            QDir(sysfile).removeRecursively();
        else if (dropped)
            dropFileCache(dataFiles(sysfile));
        return startOnce(path, environment);
    };
    once(false); // warm-up
    for (int i = 0; i < samples; ++i)
        result.warm.samples.push_back(once(false));
    if (cold && !firstStart) {
        for (int i = 0; i < qMax(3, samples / 4); ++i)
            result.cold.samples.push_back(once(true));
    }
    if (firstStart)
        QDir(sysfile).removeRecursively();
    result.note = QStringLiteral("program binary on %1").arg(platform);
    return result;
}

namespace {

// One probe process; its numbers by name ("peak_kb", "lines", ...), empty on failure.
QHash<QString, QString> runProbeProcess(const QString &benchProgram, const QString &folder,
                                        QString *error)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(benchProgram, {QStringLiteral("--memory-probe"), folder});
    child.waitForFinished(-1);
    QHash<QString, QString> values;
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        *error = QStringLiteral("the memory probe failed (exit %1)").arg(child.exitCode());
        return values;
    }
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    for (const QString &pair : output.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(pair.section('=', 0, 0), pair.section('=', 1).trimmed());
    return values;
}

} // namespace

ProbeResult measurePeakMemory(const QString &benchProgram, const QString &sysfileFolder)
{
    // Several processes: the peak has been seen to differ between runs on the same files.
    ProbeResult result;
    QStringList peaks;
    QHash<QString, QString> last;
    for (int run = 0; run < MemoryRuns; ++run) {
        QString error;
        const QHash<QString, QString> values = runProbeProcess(benchProgram, sysfileFolder,
                                                               &error);
        if (values.isEmpty()) {
            result.note = QStringLiteral("failed: ") + error;
            return result;
        }
        const double megabytes = values.value(QStringLiteral("peak_kb")).toDouble() / 1024;
        result.value = qMax(result.value.value_or(0.0), megabytes);
        peaks << QString::number(megabytes, 'f', 1);
        last = values;
    }
    result.note = QStringLiteral("peak of %1 runs (%2 MB); %3 screens open; %4 lines scrolled "
                                 "end to end in %5 s (%6 pages painted)")
                      .arg(MemoryRuns)
                      .arg(peaks.join(QLatin1String(", ")), last.value(QStringLiteral("screens")),
                           last.value(QStringLiteral("lines")),
                           last.value(QStringLiteral("scroll_s")),
                           last.value(QStringLiteral("pages")));
    return result;
}

int runMemoryProbe(const QString &sysfileFolder)
{
    Store store;
    if (!store.open(sysfileFolder))
        return 2;
    MessageLog messages;
    int screens = 0;
    {
        ScreenDriver driver(store);
        for (const QString &name : menuScreens()) {
            if (driver.exists(name)) {
                driver.open(name);
                ++screens;
            }
        }
        ChildScreen *query = driver.open(QStringLiteral("jinhuochafrm"));
        ScreenDriver::find<QRadioButton>(query, "Option1")->setChecked(true);
        ScreenDriver::find<QLineEdit>(query, "Text1")->setText(QStringLiteral("*"));
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(query, "Command1"));
        ScreenDriver::settle();
        auto *grid = ScreenDriver::find<QTableView>(query, "DBGrid1");
        int pages = 0;
        const Sample scroll = timed([&] { pages = ScreenDriver::scrollToEnd(grid, ScrollSteps); });
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        QTextStream(stdout) << "peak_kb=" << usage.ru_maxrss << " screens=" << screens
                            << " lines=" << grid->model()->rowCount() << " pages=" << pages
                            << " scroll_s=" << QString::number(scroll.wallMs / 1000, 'f', 1)
                            << "\n";
    }
    return 0;
}
