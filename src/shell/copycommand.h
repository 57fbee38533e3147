#pragma once

#include <QStringList>

// "herbdesk --copy-data FROM TO": copies the program's data from one place to another, each a
// data folder or a server's database (postgresql://user@host:port/dbname), into an empty target
// only, and prints what was copied, table by table, or why nothing was. The arguments are the
// program's, its name first; the result is the program's exit code.
bool isCopyCommand(int argc, char *argv[]);
int runCopyCommand(const QStringList &arguments);
