#pragma once

#include <QString>
#include <QStringList>

// Where this run keeps its data.
struct DataFolderChoice
{
    QString folder; // absolute; empty when the command line is wrong
    QString error;  // what is wrong with the command line, in words
};

// "--data DIR" when given; else the folder "sysfile" beside the program when it exists, where
// earlier versions kept the data; else "sysfile" in the user's data folder, which no rebuild of
// the program touches. The arguments are the program's, its name first.
DataFolderChoice chooseDataFolder(const QStringList &arguments, const QString &programFolder);
