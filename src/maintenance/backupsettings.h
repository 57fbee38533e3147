#pragma once

#include <QDate>
#include <QString>

// How the program keeps backups, set in "备份设置". Kept in an ini file in the data folder,
// beside the database files but not in them: a restore brings the data back, not the settings.
struct BackupSettings
{
    QString folder;       // where the dated backup folders go
    int keep = 30;        // how many backups are kept, newest first; at least one
    bool automatic = true; // a backup on leaving the program, once a day at most
    QDate lastAutomatic;  // the day of the last automatic backup

    // The settings of the data folder; defaults where none were saved.
    static BackupSettings load(const QString &dataFolder);
    // False when the file cannot be written.
    bool save(const QString &dataFolder) const;

    // "backup" beside the data folder.
    static QString defaultFolder(const QString &dataFolder);

    // Whether leaving the program today should make a backup.
    bool automaticDue(const QDate &today) const;
};
