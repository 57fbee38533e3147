#pragma once

#include <QProgressDialog>

// The progress dialog of a long task run on the user-interface thread (a backup, an export):
// modal, so that nothing else works on the data meanwhile, shown only when the task lasts, with
// a "取消" button that the task sees at its next step.
class TaskProgress
{
public:
    TaskProgress(QWidget *parent, const QString &label);

    // Shows the share of the work done, in thousandths; false once the user has cancelled.
    bool advance(int permille);
    // The same for a count of rows done out of a total.
    bool advance(qint64 done, qint64 total);

private:
    QProgressDialog m_dialog;
};
