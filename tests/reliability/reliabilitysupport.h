#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// What the reliability tests share: how long they run and where they work.
namespace Reliability {

// HERBDESK_LONG=1 runs the long mode (for a machine of one's own, not for every commit).
inline bool longMode()
{
    return qEnvironmentVariableIntValue("HERBDESK_LONG") != 0;
}

inline int rounds(int quick, int full)
{
    return longMode() ? full : quick;
}

// HERBDESK_SEED=<n> replays a run; otherwise every run draws its own seed and prints it.
inline quint32 seed(const char *testName)
{
    bool given = false;
    const quint32 fixed = qEnvironmentVariable("HERBDESK_SEED").toUInt(&given);
    const quint32 chosen = given ? fixed : QRandomGenerator::global()->generate();
    qInfo("%s: seed %u (replay with HERBDESK_SEED=%u)", testName, chosen, chosen);
    return chosen;
}

// A folder on the disk beside the test program, not in the memory-backed TMPDIR: what a kill
// leaves behind depends on real files, syncs and journals.
inline QString diskFolderTemplate()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("work-XXXXXX"));
}

} // namespace Reliability
