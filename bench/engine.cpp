#include "engine.h"

#include "store/schema.h"

#include <QDir>

Engine::Engine(const QString &sysfileFolder) : m_folder(sysfileFolder)
{
    reopen();
}

void Engine::reopen()
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

int Engine::read(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    return statement.readAll();
}

void Engine::exec(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    while (statement.step()) {
    }
}

QVariant Engine::scalar(const QString &sql, const QVariantList &values)
{
    return m_db->scalar(sql, values);
}

std::unique_ptr<SqliteStatement> Engine::prepare(const QString &sql)
{
    return std::make_unique<SqliteStatement>(m_db->handle(), sql);
}

QList<QVariantList> Engine::rows(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    QList<QVariantList> result;
    while (statement.step()) {
        QVariantList row;
        for (int c = 0; c < statement.columnCount(); ++c)
            row << statement.value(c);
        result << row;
    }
    return result;
}

QVariantList Engine::column(const QString &sql, const QVariantList &values)
{
    SqliteStatement statement(m_db->handle(), sql);
    statement.bindAll(values);
    QVariantList result;
    while (statement.step())
        result << statement.value(0);
    return result;
}
