#pragma once

#include "maintenance/backuparchive.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

// "恢复数据": the list of backups, newest first, with their time, why they were made and the rows
// of the main tables; "恢复" takes the chosen one.
class RestoreDialog : public QDialog
{
    Q_OBJECT

public:
    RestoreDialog(const QList<BackupArchive::Entry> &backups, const QString &root,
                  QWidget *parent = nullptr);

    // The backup chosen when the dialog was accepted.
    const BackupArchive::Entry &chosen() const;

private:
    void fillList();

    QList<BackupArchive::Entry> m_backups;
    QTableWidget *backupList = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
