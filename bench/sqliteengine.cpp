#include "sqliteengine.h"

#include "store/schema.h"

#include <QDir>

namespace {

class Statement : public EngineStatement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_statement(db, sql) {}

    QList<QVariantList> run(const QVariantList &values) override
    {
        m_statement.bindAll(values);
        QList<QVariantList> result;
        while (m_statement.step()) {
            QVariantList row;
            for (int c = 0; c < m_statement.columnCount(); ++c)
                row << m_statement.value(c);
            result << row;
        }
        m_statement.reset();
        return result;
    }

private:
    SqliteStatement m_statement;
};

} // namespace

SqliteEngine::SqliteEngine(const QString &sysfileFolder)
    : Engine(Dialect::Engine::SQLite), m_folder(sysfileFolder)
{
    reopen();
}

void SqliteEngine::reopen()
{
    m_db.reset();
    const auto &files = Schema::files();
    m_db = std::make_unique<SqliteDb>(QDir(m_folder).filePath(files.front().fileName));
    for (std::size_t i = 1; i < files.size(); ++i)
        m_db->attach(QDir(m_folder).filePath(files[i].fileName), files[i].schemaName);
    // The program's files keep a rollback journal and sync fully on commit; so does this.
    for (const FileDef &file : files) {
        m_db->exec(QStringLiteral("PRAGMA \"%1\".journal_mode=TRUNCATE").arg(file.schemaName));
        m_db->exec(QStringLiteral("PRAGMA \"%1\".synchronous=FULL").arg(file.schemaName));
    }
}

int SqliteEngine::read(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    return statement.readAll();
}

void SqliteEngine::exec(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    while (statement.step()) {
    }
}

std::unique_ptr<EngineStatement> SqliteEngine::prepare(const QString &sql)
{
    return std::make_unique<Statement>(m_db->handle(), sql);
}

QList<QVariantList> SqliteEngine::rows(const QString &sql, const QVariantList &values)
{
    return Statement(m_db->handle(), sql).run(values);
}
