#pragma once

#include "maintenance/backupsettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "备份设置": where backups go, how many are kept, and the automatic backup on leaving.
class BackupSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    BackupSettingsDialog(const BackupSettings &settings, const QString &defaultFolder,
                         QWidget *parent = nullptr);

    // The settings as the dialog shows them.
    BackupSettings settings() const;

private:
    void chooseFolder();
    void acceptIfValid();

    BackupSettings m_settings;
    QString m_defaultFolder;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command3 = nullptr;
    QSpinBox *Spin1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
