#pragma once

#include "store/datalocation.h"

#include <QString>
#include <QStringList>

// Where this run keeps its data.
struct DataChoice
{
    DataLocation location; // a folder (absolute) or a server; neither when `error` is set
    QString error;         // what is wrong with the command line or herbdesk.ini, in words
};

// The engine first: "--database sqlite|postgresql://user@host:port/dbname" when given, else the
// key "database" of herbdesk.ini beside the program, else SQLite. On SQLite the folder is
// "--data DIR" when given; else the folder "sysfile" beside the program when it exists, where
// earlier versions kept the data; else "sysfile" in the user's data folder, which no rebuild of
// the program touches. The arguments are the program's, its name first.
DataChoice chooseData(const QStringList &arguments, const QString &programFolder);
