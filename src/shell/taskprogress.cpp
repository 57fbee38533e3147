#include "shell/taskprogress.h"

#include "shell/messages.h"

namespace {

constexpr int Steps = 1000;
constexpr int ShowAfterMs = 500;

} // namespace

TaskProgress::TaskProgress(QWidget *parent, const QString &label)
    : m_dialog(label, QStringLiteral("取消"), 0, Steps, parent)
{
    m_dialog.setObjectName(QStringLiteral("progressDialog"));
    m_dialog.setWindowTitle(Messages::applicationTitle());
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(ShowAfterMs);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setValue(0);
}

bool TaskProgress::advance(int permille)
{
    m_dialog.setValue(qBound(0, permille, Steps));
    return !m_dialog.wasCanceled();
}

bool TaskProgress::advance(qint64 done, qint64 total)
{
    return advance(total > 0 ? int(done * Steps / total) : 0);
}
