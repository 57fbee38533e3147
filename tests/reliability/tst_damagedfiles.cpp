#include "reliability/reliabilitysupport.h"
#include "shell/startup.h"
#include "store/cursor.h"
#include "store/folderlock.h"
#include "store/schema.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <unistd.h>

// Each data file missing, empty, cut short, overwritten, read-only, locked by another program or
// short of a table or a column: the start stops with the start-up's message naming the file (or
// the folder), touches no file, and does not crash.
class tst_DamagedFiles : public QObject
{
    Q_OBJECT

public:
    enum class Damage {
        Missing,
        Empty,
        CutInHalf,
        LastPageCut,
        RandomBytes,
        ReadOnly,
        ReadOnlyFolder,
        Locked,
        NoTable,
        NoColumn,
    };
    Q_ENUM(Damage)

private:

    QTemporaryDir m_work{Reliability::diskFolderTemplate()};
    QString m_template; // a data folder with some rows in every table
    int m_cases = 0;

    // Whether the permission cases can be made: root ignores file modes, so it takes the
    // immutable attribute, where the file system has one.
    enum class Protection { Mode, Immutable, None };
    Protection m_protection = Protection::None;

    static bool run(const QString &program, const QStringList &arguments)
    {
        return QProcess::execute(program, arguments) == 0;
    }

    bool protect(const QString &path, bool on) const
    {
        if (m_protection == Protection::Immutable)
            return run(QStringLiteral("chattr"), {on ? "+i" : "-i", path});
        const QFileInfo info(path);
        const QFile::Permissions writable = QFile::WriteOwner | QFile::WriteUser
                                            | QFile::WriteGroup | QFile::WriteOther;
        return QFile::setPermissions(path, on ? info.permissions() & ~writable
                                              : info.permissions() | QFile::WriteOwner);
    }

    Protection findProtection()
    {
        if (geteuid() != 0)
            return Protection::Mode;
        const QString probe = QDir(m_work.path()).filePath("probe");
        QFile(probe).open(QIODevice::WriteOnly);
        m_protection = Protection::Immutable;
        const bool immutable = protect(probe, true) && !QFile(probe).open(QIODevice::Append);
        protect(probe, false);
        return immutable ? Protection::Immutable : Protection::None;
    }

    // Every file of the folder and its SHA-256.
    static QHash<QString, QByteArray> digests(const QString &folder)
    {
        QHash<QString, QByteArray> found;
        QDirIterator files(folder, QDir::Files | QDir::Hidden);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            if (path.endsWith(QLatin1String(".lock")) || !file.open(QIODevice::ReadOnly))
                continue;
            found.insert(QFileInfo(path).fileName(),
                         QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
        }
        return found;
    }

    static qint64 pageSize(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray header = file.read(18);
        return (uchar(header[16]) << 8) | uchar(header[17]);
    }

    // A table of the file and one of its columns that no index covers.
    static QPair<QString, QString> droppableColumn(const QString &fileName)
    {
        static const QHash<QString, QPair<QString, QString>> columns = {
            {"bianhao.db", {"yaocai", "分类"}}, {"userdb.db", {"user", "密码"}},
            {"jinhuo.db", {"jinhuo", "有效期"}}, {"kucun.db", {"kucun", "销价"}},
            {"chuhuo.db", {"chuhuo", "有效期"}}};
        return columns.value(fileName);
    }

    static bool alter(const QString &path, const QString &sql)
    {
        OtherConnection other(path);
        return other.exec(sql);
    }

    // Damages the file; `undo` gets what must be undone before the folder can be removed.
    bool damage(Damage kind, const QString &folder, const QString &fileName,
                std::function<void()> *undo, QProcess *holder)
    {
        const QString path = QDir(folder).filePath(fileName);
        QFile file(path);
        switch (kind) {
        case Damage::Missing:
            return file.remove();
        case Damage::Empty:
            return file.resize(0);
        case Damage::CutInHalf:
            return file.resize(file.size() / 2);
        case Damage::LastPageCut:
            return file.size() > pageSize(path) && file.resize(file.size() - pageSize(path));
        case Damage::RandomBytes: {
            QByteArray bytes(file.size(), Qt::Uninitialized);
            for (char &byte : bytes)
                byte = char(QRandomGenerator::global()->bounded(256));
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        }
        case Damage::ReadOnly:
            *undo = [this, path] { protect(path, false); };
            return protect(path, true);
        case Damage::ReadOnlyFolder:
            *undo = [this, folder] { protect(folder, false); };
            return protect(folder, true);
        case Damage::Locked:
            holder->start(QStringLiteral(HERBDESK_CRASHCHILD), {"hold", path});
            return holder->waitForReadyRead(10000) && holder->readLine().startsWith("ready");
        case Damage::NoTable:
            return alter(path, QStringLiteral("DROP TABLE %1")
                                   .arg(quotedName(Schema::files()[fileIndex(fileName)]
                                                       .tables.back()
                                                       .name)));
        case Damage::NoColumn: {
            const auto [table, column] = droppableColumn(fileName);
            return alter(path, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                                   .arg(quotedName(table), quotedName(column)));
        }
        }
        return false;
    }

    static int fileIndex(const QString &fileName)
    {
        const auto &files = Schema::files();
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].fileName == fileName)
                return int(i);
        }
        return -1;
    }

    static void copyFolder(const QString &from, const QString &to)
    {
        QDir().mkpath(to);
        for (const QString &name : QDir(from).entryList(QDir::Files))
            QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        m_protection = findProtection();
        // Rows in every table, so that each file has pages beyond its first.
        m_template = QDir(m_work.path()).filePath("template");
        Store store;
        QVERIFY_STORE(store, store.open(m_template));
        for (const FileDef &file : Schema::files()) {
            for (const TableDef &table : file.tables) {
                Cursor rows(store);
                QVERIFY(rows.open(Query(table.name)));
                for (int row = 0; row < 40; ++row) {
                    rows.addNew();
                    for (const ColumnDef &column : table.columns) {
                        const QVariant value = column.kind == ColumnKind::Number ? QVariant(row)
                                             : column.kind == ColumnKind::Date
                                                 ? QVariant("2026-12-05")
                                                 : QVariant(QString("值%1").arg(row));
                        QVERIFY(rows.setValue(column.name, value));
                    }
                    QVERIFY_STORE(rows, rows.update());
                }
            }
        }
        store.close();
    }

    void cleanupTestCase()
    {
        qInfo("damaged files: %d damaged starts", m_cases);
    }

    void startStopsAndTouchesNothing_data()
    {
        QTest::addColumn<Damage>("kind");
        QTest::addColumn<QString>("fileName");
        const QList<QPair<const char *, Damage>> kinds = {
            {"missing", Damage::Missing},          {"empty", Damage::Empty},
            {"cut in half", Damage::CutInHalf},    {"last page cut", Damage::LastPageCut},
            {"random bytes", Damage::RandomBytes}, {"read-only", Damage::ReadOnly},
            {"locked", Damage::Locked},            {"no table", Damage::NoTable},
            {"no column", Damage::NoColumn}};
        for (const FileDef &file : Schema::files()) {
            for (const auto &[name, kind] : kinds)
                QTest::addRow("%s %s", qPrintable(file.fileName), name) << kind << file.fileName;
        }
        // The folder is one for all five files; its message names the folder.
        QTest::addRow("read-only folder") << Damage::ReadOnlyFolder << QString();
    }

    void startStopsAndTouchesNothing()
    {
        QFETCH(Damage, kind);
        QFETCH(QString, fileName);
        const bool permissions = kind == Damage::ReadOnly || kind == Damage::ReadOnlyFolder;
        if (permissions && m_protection == Protection::None)
            QSKIP("running as root on a file system without the immutable attribute: no file "
                  "can be made read-only");
        QTemporaryDir work(Reliability::diskFolderTemplate());
        const QString folder = QDir(work.path()).filePath("sysfile");
        copyFolder(m_template, folder);
        std::function<void()> undo = [] {};
        QProcess holder;
        QVERIFY(damage(kind, folder, fileName, &undo, &holder));
        const QHash<QString, QByteArray> before = digests(folder);
        ++m_cases;

        MessageRecorder messages;
        messages.answer = false; // "要新建这些文件吗？" is answered no
        bool opened = true;
        {
            std::optional<FolderLock> lock;
            Store store;
            opened = openData(DataLocation::files(folder), lock, store);
        }
        holder.closeWriteChannel();
        holder.waitForFinished();
        undo();

        QVERIFY2(!opened, "the start went on");
        const QStringList said = messages.texts + messages.questions + messages.retryQuestions;
        QCOMPARE(said.size(), 1);
        const QString named = fileName.isEmpty() ? QDir::toNativeSeparators(folder) : fileName;
        QVERIFY2(said.first().contains(named), qPrintable(said.first()));
        QCOMPARE(digests(folder), before);
    }
};

QTEST_MAIN(tst_DamagedFiles)
#include "tst_damagedfiles.moc"
