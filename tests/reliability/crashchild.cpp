// Works on a data folder through the program's own code until it is killed: the crash-safety
// test starts it, kills it at a random moment and checks what it left behind.
//
//   herbdesk_crashchild purchases <folder> <seed>   add purchase lines and post them, forever
//   herbdesk_crashchild sales <folder> <seed>       the same with sales lines
//   herbdesk_crashchild backup <folder> <root>      back the folder up into root, forever
//   herbdesk_crashchild create <folder>             a first start: make the files, then exit
//   herbdesk_crashchild hold <file>                 hold a write lock on a database file until
//                                                   standard input closes
//
// "ready" on standard output says that the folder is open (or the lock held).

#include "maintenance/backuparchive.h"
#include "purchasing/stockinposting.h"
#include "reliability/crashplan.h"
#include "sales/stockoutposting.h"
#include "store/clock.h"
#include "store/cursor.h"
#include "store/folderlock.h"
#include "store/store.h"
#include "trading/documentnumber.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

namespace {

void say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int fail(const QString &text)
{
    QTextStream(stderr) << text << '\n';
    return 1;
}

// Adds one pending line as an entry screen does: through a cursor over the pending lines.
bool addLine(Cursor &pending, const QList<QPair<QString, QVariant>> &values)
{
    pending.addNew();
    for (const auto &[column, value] : values) {
        if (!pending.setValue(column, value))
            return false;
    }
    return pending.update();
}

bool addPurchaseLines(Store &store, const QString &number, QRandomGenerator &random)
{
    Cursor pending(store);
    if (!pending.open(Query(QStringLiteral("jinhuo"), Filter::isNull(QStringLiteral("入库")))))
        return false;
    const int lines = random.bounded(1, 5);
    for (int i = 0; i < lines; ++i) {
        const CrashPlan::Herb &herb = CrashPlan::purchaseHerbs()[random.bounded(4)];
        const int quantity = random.bounded(1, 50);
        const double price = random.bounded(100, 2000) / 100.0;
        if (!addLine(pending, {{"单据号", number},
                               {"日期", CrashPlan::today()},
                               {"编号", herb.code},
                               {"品名", herb.name},
                               {"规格", herb.grade},
                               {"批号", herb.batch},
                               {"产地", herb.origin},
                               {"数量", quantity},
                               {"进价", price},
                               {"金额", CrashPlan::amount(quantity, price)},
                               {"厂家", "*"}}))
            return false;
    }
    return true;
}

bool addSalesLines(Store &store, const QString &number, QRandomGenerator &random)
{
    Cursor pending(store);
    if (!pending.open(Query(QStringLiteral("chuhuo"), Filter::isNull(QStringLiteral("出库")))))
        return false;
    const int lines = random.bounded(1, 5);
    for (int i = 0; i < lines; ++i) {
        const CrashPlan::Herb &herb = CrashPlan::salesHerbs()[random.bounded(4)];
        const int quantity = random.bounded(1, 20);
        const double price = random.bounded(100, 2000) / 100.0;
        if (!addLine(pending, {{"编号", herb.code},
                               {"品名", herb.name},
                               {"规格", herb.grade},
                               {"批号", herb.batch},
                               {"产地", herb.origin},
                               {"数量", quantity},
                               {"销价", price},
                               {"金额", CrashPlan::amount(quantity, price)},
                               {"日期", CrashPlan::today()},
                               {"单据号", number},
                               {"厂家", "*"},
                               {"购货单位", "*"}}))
            return false;
    }
    return true;
}

// The number the entry screen would show now.
QString nextNumber(Store &store, const QString &prefix, int counter)
{
    StoreError error;
    return DocumentNumber::next(store, prefix, counter, &error).value_or(QString());
}

int postForever(Store &store, bool purchases, quint32 seed)
{
    QRandomGenerator random(seed);
    for (;;) {
        const QString number =
            purchases ? nextNumber(store, QStringLiteral("JH"), DocumentNumber::PurchaseCounter)
                      : nextNumber(store, QStringLiteral("XS"), DocumentNumber::SalesCounter);
        const bool added = purchases ? addPurchaseLines(store, number, random)
                                     : addSalesLines(store, number, random);
        if (number.isEmpty() || !added)
            return fail(QStringLiteral("adding lines failed"));
        PostingResult result;
        if (purchases) {
            StockInRequest request;
            request.documentNumber = number;
            request.purchaseDate = CrashPlan::today();
            request.supplier = QStringLiteral("安国药行");
            result = postPendingPurchases(store, request);
        } else {
            const PostingRequest request{number, CrashPlan::today(), QStringLiteral("同仁堂"),
                                         false};
            result = postPendingSales(store, request);
        }
        if (!result.ok)
            return fail(result.error.text());
    }
}

int backUpForever(const QString &folder, const QString &root)
{
    const BackupArchive archive(root);
    for (;;) {
        const BackupArchive::Made made = archive.create(folder, BackupManifest::Reason::Manual);
        if (made.outcome != DataSnapshot::Outcome::Copied)
            return fail(made.problem);
    }
}

int holdLock(const QString &file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(file);
    QSqlQuery lock(db);
    if (!db.open() || !lock.exec(QStringLiteral("BEGIN EXCLUSIVE")))
        return fail(QStringLiteral("cannot lock %1").arg(file));
    say("ready");
    // Until the test closes our standard input.
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        return fail(QStringLiteral("usage: purchases|sales|backup|create|hold <folder> ..."));
    const QString mode = arguments[1];
    const QString folder = arguments[2];
    if (mode == QLatin1String("hold"))
        return holdLock(folder);

    Clock::setToday(CrashPlan::fixedDay());
    FolderLock lock(folder);
    if (!lock.tryLock())
        return fail(QStringLiteral("folder %1 is locked").arg(folder));
    if (mode == QLatin1String("create")) {
        Store store;
        return store.open(folder) ? 0 : fail(store.lastError().text());
    }
    if (mode == QLatin1String("backup")) {
        say("ready");
        return backUpForever(folder, arguments.value(3));
    }
    Store store;
    if (!store.open(folder))
        return fail(store.lastError().text());
    say("ready");
    return postForever(store, mode == QLatin1String("purchases"), arguments.value(3).toUInt());
}
