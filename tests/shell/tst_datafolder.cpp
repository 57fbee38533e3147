#include "shell/datafolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_DataFolder : public QObject
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
        const DataFolderChoice choice =
            chooseDataFolder(QStringList{"herbdesk"} + arguments, program);
        QCOMPARE(choice.error, QString());
        const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString user = QDir(userData).filePath("sysfile");
        QCOMPARE(choice.folder, expected == "beside" ? besidePath
                                : expected == "user" ? user
                                                     : expected.replace("@", dir.path()));
        // The user's data folder lies outside the program's folder, where a rebuild deletes.
        QVERIFY(!user.startsWith(dir.path()));
    }

    void relativeFolderIsTakenFromTheWorkingFolder()
    {
        const DataFolderChoice choice =
            chooseDataFolder({"herbdesk", "--data", "rel/sysfile"}, "/nowhere");
        QCOMPARE(choice.folder, QDir::current().absoluteFilePath("rel/sysfile"));
    }

    void refusesAWrongCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no folder after the option") << QStringList{"--data"};
        QTest::newRow("empty folder") << QStringList{"--data", " "};
        QTest::newRow("unknown option") << QStringList{"--datta", "x"};
        QTest::newRow("stray word") << QStringList{"sysfile"};
    }
    void refusesAWrongCommandLine()
    {
        QFETCH(QStringList, arguments);
        const DataFolderChoice choice = chooseDataFolder(QStringList{"herbdesk"} + arguments, "/");
        QCOMPARE(choice.folder, QString());
        QVERIFY2(choice.error.endsWith("\n用法：herbdesk [--data 数据文件夹]")
                     && choice.error.size() > 30,
                 qPrintable(choice.error));
    }
};

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
