#pragma once

#include "shell/messages.h"
#include "store/store.h"

#include <QDate>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantList>
#include <QWidget>
#include <functional>

// Fails the test with the engine's words when a store call fails.
#define QVERIFY_STORE(store, expression)                                                          \
    QVERIFY2((expression), qPrintable((store).lastError().text()))

// Fresh data, opened; one per test. Where the test runs on a server (HERBDESK_TEST_SERVER names
// its maintenance database, e.g. postgresql://postgres@/postgres?host=/tmp/x), a new database
// of that server, dropped again at the end; else a sysfile folder with all five files.
class TempStore
{
public:
    TempStore();
    ~TempStore();
    Store &store() { return m_store; }
    // Where the data lives, for another store on the same data.
    const DataLocation &location() const { return m_location; }
    // A temporary folder of the test's own, for files it writes.
    QString folder() const { return m_dir.path(); }
    // A database file of the folder, for tests of what only files have.
    QString filePath(const QString &fileName) const;
    bool isValid() const { return m_dir.isValid() && m_store.isOpen(); }
    // Whether the tests run on a server.
    static bool onServer();

    // Runs SQL text of the test's own with bound values; fails the running test on error. SQL
    // that both engines take: coalesce() not ifnull(), "user" quoted, ORDER BY where the order
    // counts (a server keeps no table order).
    void exec(const QString &sql, const QVariantList &values = {});
    // Every row of a SELECT, each row as a list of values.
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {});
    // The first column of the first row of a SELECT.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    // Every row of a table with its own columns in order (not the hidden identity of a
    // server's table), in table order.
    QList<QVariantList> tableRows(const QString &table);
    // The values of an expression over every row of a table, in table order, as text joined by
    // the separator (Null as the empty text).
    QString joined(const QString &table, const QString &expression,
                   const QString &separator = QStringLiteral(","));

    // Makes the engine refuse, with the message, the updates (or deletes) of the table's rows
    // that meet the condition (on NEW, or OLD for a delete; empty for every row), as a full disk
    // or another program's lock would, until allow().
    enum class Change { Update, Delete };
    void refuse(Change change, const QString &table, const QString &condition,
                const QString &message);
    void allow(const QString &table);

private:
    QTemporaryDir m_dir;
    DataLocation m_location;
    Store m_store;
};

// Skips the rest of a test whose subject only files have (damage, locks, journals, copies of
// files) when the tests run on a server.
#define SKIP_ON_SERVER()                                                                          \
    do {                                                                                          \
        if (TempStore::onServer())                                                                \
            QSKIP("the data is on a server: no files");                                          \
    } while (false)

// A connection of another program to one database file, as a database tool would hold it (to
// lock the file, say).
class OtherConnection
{
public:
    explicit OtherConnection(const QString &path);
    ~OtherConnection();
    OtherConnection(const OtherConnection &) = delete;
    OtherConnection &operator=(const OtherConnection &) = delete;

    // Runs SQL text; false (with a warning giving the engine's words) on failure.
    bool exec(const QString &sql);
    // The first column of the first row of a SELECT or PRAGMA; Null on failure.
    QVariant scalar(const QString &sql);

private:
    QString m_name;
};

// Records message boxes instead of showing them, while alive.
class MessageRecorder : public Messages::Sink
{
public:
    MessageRecorder();
    ~MessageRecorder() override;

    void inform(const QString &text, const QString &caption) override;
    bool confirm(const QString &text) override;
    bool retry(const QString &text) override;

    QStringList texts;
    QStringList captions;
    QStringList questions;
    bool answer = true; // how confirm() questions are answered
    QStringList retryQuestions;
    // Answers a "重试/取消" question (true for "重试"), and may first end the trouble; without
    // it every such question is cancelled.
    std::function<bool(const QString &text)> retryAnswer;

    QString last() const { return texts.isEmpty() ? QString() : texts.last(); }
    void clear();

private:
    Messages::Sink *m_previous;
};

// Fixes today's date while alive.
class FixedToday
{
public:
    explicit FixedToday(const QDate &date);
    ~FixedToday();
};

// The child widget of the given type and object name; fails the running test when missing.
template <typename T>
T *findWidget(QWidget *parent, const QString &name)
{
    T *widget = parent->findChild<T *>(name);
    if (!widget)
        QTest::qFail(qPrintable(QStringLiteral("no widget %1").arg(name)), __FILE__, __LINE__);
    return widget;
}

// The rows with every Null value spelt as the word, for comparing whole rows.
QList<QVariantList> spellingNulls(QList<QVariantList> rows, const QString &word = "Null");

class QAbstractItemView;

// Opens the cell's editor, replaces its text as a user would and presses Enter; the grid then
// holds the edit until the current row changes. False when no editor opened.
bool editGridCell(QAbstractItemView *grid, int row, int column, const QString &text);

// Types the text key by key into the widget, Chinese characters included (QTest::keyClicks
// takes Latin-1 only).
void typeKeys(QWidget *widget, const QString &text);
// Gives the box the focus, then types the text into it, as a user would.
void typeInto(QWidget *box, const QString &text);
// Presses and releases Enter in the widget.
void pressEnter(QWidget *widget);
