#include "shell/datachoice.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_DataChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void choosesTheFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("beside");   // what stands as "sysfile" beside the program
        QTest::addColumn<QString>("expected"); // "beside", "user", or a path from the temp dir
        QTest::newRow("option wins") << QStringList{"--data", "@/mine"} << "folder" << "@/mine";
        QTest::newRow("option with equals")
            << QStringList{"--data=@/a b/数据"} << "none" << "@/a b/数据";
        QTest::newRow("installation keeps its folder") << QStringList{} << "folder" << "beside";
        QTest::newRow("no folder beside") << QStringList{} << "none" << "user";
        QTest::newRow("a file is no folder") << QStringList{} << "file" << "user";
    }
    void choosesTheFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, beside);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString program = QDir(dir.path()).filePath("bin");
        QVERIFY(QDir().mkpath(program));
        const QString besidePath = QDir(program).filePath("sysfile");
        if (beside == "folder")
            QVERIFY(QDir().mkpath(besidePath));
        if (beside == "file") {
            QFile file(besidePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        arguments.replaceInStrings("@", dir.path());
        const DataChoice choice = chooseData(QStringList{"herbdesk"} + arguments, program);
        QCOMPARE(choice.error, QString());
        QVERIFY(!choice.location.isServer());
        const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString user = QDir(userData).filePath("sysfile");
        QCOMPARE(choice.location.folder, expected == "beside" ? besidePath
                                : expected == "user" ? user
                                                     : expected.replace("@", dir.path()));
        // The user's data folder lies outside the program's folder, where a rebuild deletes.
        QVERIFY(!user.startsWith(dir.path()));
    }

    void relativeFolderIsTakenFromTheWorkingFolder()
    {
        const DataChoice choice = chooseData({"herbdesk", "--data", "rel/sysfile"}, "/nowhere");
        QCOMPARE(choice.location.folder, QDir::current().absoluteFilePath("rel/sysfile"));
    }

    void refusesAWrongCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no folder after the option") << QStringList{"--data"};
        QTest::newRow("empty folder") << QStringList{"--data", " "};
        QTest::newRow("unknown option") << QStringList{"--datta", "x"};
        QTest::newRow("stray word") << QStringList{"sysfile"};
        QTest::newRow("unknown engine") << QStringList{"--database", "mysql://a@b/c"};
        QTest::newRow("no database name") << QStringList{"--database", "postgresql://a@b:5432"};
        QTest::newRow("password in the address")
            << QStringList{"--database", "postgresql://a:geheim@b/c"};
        QTest::newRow("folder for a server")
            << QStringList{"--database", "postgresql://a@b/c", "--data", "x"};
    }
    void refusesAWrongCommandLine()
    {
        QFETCH(QStringList, arguments);
        const DataChoice choice = chooseData(QStringList{"herbdesk"} + arguments, "/");
        QVERIFY(choice.location.folder.isEmpty() && !choice.location.isServer());
        const QString usage = "\n用法：herbdesk [--data 数据文件夹] "
                              "[--database sqlite|postgresql://用户@服务器:端口/数据库]";
        // The problem in words comes first, then how the program is called.
        QVERIFY2(choice.error.endsWith(usage) && choice.error.size() > usage.size() + 3,
                 qPrintable(choice.error));
        // The password is never repeated in a message.
        QVERIFY(!choice.error.contains("geheim"));
    }

    void aServerIsNamedOnTheCommandLineOrBesideTheProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("settings"); // herbdesk.ini beside the program, "" for none
        QTest::addColumn<QString>("expected"); // the server's address, or "files"
        QTest::newRow("option") << QStringList{"--database", "postgresql://clerk@db:5433/药行"}
                                << "" << "clerk@db:5433/药行";
        QTest::newRow("settings") << QStringList{}
                                  << "database=postgresql://clerk@shop/herbs\n"
                                  << "clerk@shop/herbs";
        QTest::newRow("option wins over settings")
            << QStringList{"--database", "sqlite"} << "database=postgresql://clerk@shop/herbs\n"
            << "files";
        QTest::newRow("socket folder") << QStringList{"--database",
                                                      "postgresql:///herbs?host=/run/postgresql"}
                                       << "" << "/run/postgresql/herbs";
        QTest::newRow("settings without the key") << QStringList{} << "[window]\nx=1\n"
                                                  << "files";
    }
    void aServerIsNamedOnTheCommandLineOrBesideTheProgram()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, settings);
        QFETCH(QString, expected);
        QTemporaryDir program;
        if (!settings.isEmpty()) {
            QFile file(QDir(program.path()).filePath("herbdesk.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings.toUtf8());
        }
        const DataChoice choice = chooseData(QStringList{"herbdesk"} + arguments, program.path());
        QCOMPARE(choice.error, QString());
        QCOMPARE(choice.location.isServer() ? choice.location.server->text() : "files", expected);
    }

    void aWrongSettingsFileIsNamed()
    {
        QTemporaryDir program;
        QFile file(QDir(program.path()).filePath("herbdesk.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("database=oracle\n");
        file.close();
        const DataChoice choice = chooseData({"herbdesk"}, program.path());
        QVERIFY(!choice.location.isServer());
        QVERIFY2(choice.error.startsWith(QDir::toNativeSeparators(file.fileName()) + "：“oracle”"),
                 qPrintable(choice.error));
    }
};

QTEST_GUILESS_MAIN(tst_DataChoice)
#include "tst_datachoice.moc"
