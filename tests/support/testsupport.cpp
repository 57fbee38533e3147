#include "support/testsupport.h"

#include "store/clock.h"
#include "store/schema.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The server's maintenance database, where databases are made and dropped.
std::optional<ServerAddress> testServer()
{
    const QString url = qEnvironmentVariable("HERBDESK_TEST_SERVER");
    if (url.isEmpty())
        return std::nullopt;
    QString problem;
    const auto address = ServerAddress::fromUrl(url, &problem);
    if (!address)
        qFatal("HERBDESK_TEST_SERVER: %s", qPrintable(problem));
    return address;
}

// Runs one statement on the server's database as the test's own; false with a warning on failure.
bool onMaintenanceDatabase(const ServerAddress &server, const QString &sql)
{
    const QString name = QStringLiteral("test-server-") + server.database;
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::contains(name)
                              ? QSqlDatabase::database(name)
                              : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server.host);
        if (server.port != 0)
            db.setPort(server.port);
        db.setUserName(server.user);
        db.setDatabaseName(server.database);
        QSqlQuery query(db);
        done = (db.isOpen() || db.open()) && query.exec(sql);
        if (!done)
            qWarning() << sql << db.lastError().text() << query.lastError().text();
    }
    return done;
}

// Making a database copies a template of several megabytes; emptying one that a finished test
// used is quicker. The databases live as long as the test server, which is made for one run.
class TestDatabases
{
public:
    // An empty database: one given back, with the program's schemas dropped, or a new one.
    std::optional<QString> take(const ServerAddress &server)
    {
        if (!m_free.isEmpty()) {
            const QString name = m_free.takeLast();
            ServerAddress address = server;
            address.database = name;
            if (onMaintenanceDatabase(address,
                                      QStringLiteral("DROP SCHEMA IF EXISTS bianhao, userdb, "
                                                     "jinhuo, kucun, chuhuo CASCADE"))) {
                return name;
            }
        }
        const QString name = QStringLiteral("herbdesk_test_%1_%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(m_all.size() + 1);
        if (!onMaintenanceDatabase(server, QStringLiteral("CREATE DATABASE %1").arg(name)))
            return std::nullopt;
        m_all << name;
        return name;
    }

    void giveBack(const QString &name) { m_free << name; }

private:
    QStringList m_all;
    QStringList m_free;
};

TestDatabases &testDatabases()
{
    static TestDatabases databases;
    return databases;
}

} // namespace

bool TempStore::onServer()
{
    return testServer().has_value();
}

TempStore::TempStore()
{
    m_location = DataLocation::files(QDir(m_dir.path()).filePath("sysfile"));
    if (const auto server = testServer()) {
        const auto database = testDatabases().take(*server);
        if (!database) {
            QTest::qFail("cannot make a test database", __FILE__, __LINE__);
            return;
        }
        ServerAddress address = *server;
        address.database = *database;
        m_location = DataLocation::onServer(address);
    }
    const bool opened = m_dir.isValid() && m_store.open(m_location);
    if (!opened)
        QTest::qFail(qPrintable(m_store.lastError().text()), __FILE__, __LINE__);
}

TempStore::~TempStore()
{
    m_store.close();
    if (m_location.isServer())
        testDatabases().giveBack(m_location.server->database);
}

QString TempStore::filePath(const QString &fileName) const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("sysfile/") + fileName);
}

static QSqlQuery runSql(Store &store, const QString &sql, const QVariantList &values)
{
    QSqlQuery query(store.database());
    // A server prepares queries and changes of rows only; other statements run as text.
    bool done;
    if (values.isEmpty()) {
        done = query.exec(sql);
    } else {
        done = query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        done = done && query.exec();
    }
    if (!done) {
        QTest::qFail(qPrintable(sql + QStringLiteral(": ") + query.lastError().text()), __FILE__,
                     __LINE__);
    }
    return query;
}

void TempStore::exec(const QString &sql, const QVariantList &values)
{
    runSql(m_store, sql, values);
}

QList<QVariantList> TempStore::rows(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = runSql(m_store, sql, values);
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        result << row;
    }
    return result;
}

QVariant TempStore::scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = runSql(m_store, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

QList<QVariantList> TempStore::tableRows(const QString &table)
{
    QStringList columns;
    for (const ColumnDef &column : Schema::table(table)->columns)
        columns << quotedName(column.name);
    return rows(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                    .arg(columns.join(", "), quotedName(table)));
}

QString TempStore::joined(const QString &table, const QString &expression,
                          const QString &separator)
{
    QStringList values;
    const QString sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid");
    for (const QVariantList &row : rows(sql.arg(expression, quotedName(table))))
        values << row.value(0).toString();
    return values.join(separator);
}

void TempStore::refuse(Change change, const QString &table, const QString &condition,
                       const QString &message)
{
    const QString event = change == Change::Update ? "UPDATE" : "DELETE";
    const QString name = "refuse_" + table;
    if (!m_location.isServer()) {
        // A temporary trigger may watch a table of any attached file.
        const QString when = condition.isEmpty() ? QString() : " WHEN " + condition;
        exec(QString("CREATE TEMP TRIGGER %1 BEFORE %2 ON %3.%4%5 BEGIN SELECT RAISE(ABORT, "
                     "'%6'); END")
                 .arg(name, event, Schema::fileOfTable(table)->schemaName, table, when, message));
        return;
    }
    exec(QString("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                 "$$BEGIN RAISE EXCEPTION '%2'; END$$")
             .arg(name, message));
    const QString when = condition.isEmpty() ? QString() : " WHEN (" + condition + ")";
    exec(QString("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW%4 EXECUTE FUNCTION %1()")
             .arg(name, event, quotedName(table), when));
}

void TempStore::allow(const QString &table)
{
    const QString name = "refuse_" + table;
    if (!m_location.isServer()) {
        exec("DROP TRIGGER temp." + name);
        return;
    }
    exec(QString("DROP TRIGGER %1 ON %2").arg(name, quotedName(table)));
    exec(QString("DROP FUNCTION %1").arg(name));
}

OtherConnection::OtherConnection(const QString &path)
{
    static int connections = 0;
    m_name = QStringLiteral("other-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    if (!db.open())
        QTest::qFail(qPrintable(db.lastError().text()), __FILE__, __LINE__);
}

OtherConnection::~OtherConnection()
{
    QSqlDatabase::database(m_name).close();
    QSqlDatabase::removeDatabase(m_name);
}

bool OtherConnection::exec(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_name));
    if (query.exec(sql))
        return true;
    qWarning() << sql << query.lastError().text();
    return false;
}

QVariant OtherConnection::scalar(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_name));
    return query.exec(sql) && query.next() ? query.value(0) : QVariant();
}

MessageRecorder::MessageRecorder() : m_previous(Messages::installSink(this)) {}

MessageRecorder::~MessageRecorder()
{
    Messages::installSink(m_previous);
}

void MessageRecorder::inform(const QString &text, const QString &caption)
{
    texts << text;
    captions << caption;
}

bool MessageRecorder::confirm(const QString &text)
{
    questions << text;
    return answer;
}

bool MessageRecorder::retry(const QString &text)
{
    retryQuestions << text;
    return retryAnswer ? retryAnswer(text) : false;
}

void MessageRecorder::clear()
{
    texts.clear();
    captions.clear();
    questions.clear();
    retryQuestions.clear();
}

FixedToday::FixedToday(const QDate &date)
{
    Clock::setToday(date);
}

FixedToday::~FixedToday()
{
    Clock::setToday(QDate());
}

QList<QVariantList> spellingNulls(QList<QVariantList> rows, const QString &word)
{
    for (QVariantList &row : rows) {
        for (QVariant &value : row) {
            if (value.isNull())
                value = word;
        }
    }
    return rows;
}

void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            // QTest's character clicks take Latin-1 only; Chinese arrives as text of its own.
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

bool editGridCell(QAbstractItemView *grid, int row, int column, const QString &text)
{
    const QModelIndex index = grid->model()->index(row, column);
    grid->setCurrentIndex(index);
    grid->edit(index);
    // Closed editors linger until deleted later; the open one is the visible one.
    QLineEdit *editor = nullptr;
    for (QLineEdit *candidate : grid->viewport()->findChildren<QLineEdit *>()) {
        if (candidate->isVisible())
            editor = candidate;
    }
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    typeKeys(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid commits a cell editor's text on the next turn of the event loop.
    QCoreApplication::processEvents();
    return true;
}

void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    typeKeys(box, text);
}

void pressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}
