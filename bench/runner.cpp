#include "runner.h"

#include "bench.h"
#include "datacache.h"

#include <QFileInfo>

namespace {

constexpr int ColdSamples = 7;
constexpr int QuickColdSamples = 3;

} // namespace

Runner::Runner(Bench &bench, const RunOptions &options) : m_bench(bench), m_options(options) {}

bool RunOptions::wants(const QString &group, const QString &name) const
{
    return only.pattern().isEmpty() || only.match(group + QLatin1Char(' ') + name).hasMatch();
}

Sample Runner::sample(const Action &action, bool cold, QString *commits)
{
    if (action.prepare)
        action.prepare();
    ScreenDriver::settle();
    if (cold)
        m_bench.dropCaches();
    const QStringList files = commits ? dataFiles(m_bench.folder) : QStringList();
    const QList<quint32> before = changeCounters(files);
    const Sample measured = timed([&] {
        action.act();
        ScreenDriver::settle();
    });
    if (commits) {
        const QList<quint32> after = changeCounters(files);
        QStringList written;
        for (int i = 0; i < files.size(); ++i) {
            if (after[i] != before[i])
                written << QStringLiteral("%1 %2").arg(QFileInfo(files[i]).fileName())
                               .arg(after[i] - before[i]);
        }
        *commits = QStringLiteral("transactions: ") + written.join(QLatin1String(", "));
    }
    if (action.restore)
        action.restore();
    return measured;
}

void Runner::noteMessages(Result &result)
{
    // The actions are meant to succeed; a message box means the program refused something.
    const QStringList messages = m_bench.messages().take();
    if (!messages.isEmpty() && result.note.isEmpty())
        result.note = QStringLiteral("message: ") + messages.first().simplified();
}

Result Runner::run(const Action &action)
{
    Result result{action.group, action.name, action.target, {}, {}, {}, {}, {}, false};
    const int samples = m_options.quick ? qMax(5, action.samples / 4) : action.samples;
    m_bench.messages().take();
    try {
        if (action.setUp)
            action.setUp();
        QString commits;
        // A server's transactions show in no file of ours.
        const bool counts = action.countsCommits && !m_bench.onServer();
        sample(action, false, counts ? &commits : nullptr); // warm-up
        noteMessages(result);
        if (result.note.isEmpty())
            result.note = commits;
        for (int i = 0; i < samples; ++i)
            result.warm.samples.push_back(sample(action, false));
        if (action.cold && m_options.cold && !m_bench.onServer()) {
            const int coldSamples = m_options.quick ? QuickColdSamples : ColdSamples;
            for (int i = 0; i < coldSamples; ++i)
                result.cold.samples.push_back(sample(action, true));
        }
        noteMessages(result);
        if (action.tearDown)
            action.tearDown();
        if (action.engine) {
            for (int i = 0; i <= samples; ++i) {
                const Sample measured = timed([&] { action.engine(m_bench.engine()); });
                if (i > 0) // the first one warms up
                    result.engine.samples.push_back(measured);
                if (action.engineRestore)
                    action.engineRestore(m_bench.engine());
            }
        }
    } catch (const Skipped &skip) {
        result.skipped = true;
        result.warm = {};
        result.cold = {};
        result.note = QString::fromStdString(skip.what());
        m_bench.driver().closeAll();
    } catch (const std::exception &error) {
        result.warm = {};
        result.note = QStringLiteral("failed: ") + QString::fromStdString(error.what());
        m_bench.driver().closeAll();
    }
    return result;
}
