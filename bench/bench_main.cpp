// Measures the speed targets on a database of realistic size:
// 20,000 catalogue rows, 200,000 purchase lines, 50,000 stock rows.
// Run: build/bench/herbdesk_bench   (QT_QPA_PLATFORM=offscreen is set when there is no display)

#include "purchasing/purchasingscreens.h"
#include "purchasing/stockinposting.h"
#include "reference/referencescreens.h"
#include "shell/childscreen.h"
#include "shell/datagrid.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/cursor.h"
#include "store/store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int CatalogueRows = 20000;
constexpr int PurchaseLines = 200000;
constexpr int StockRows = 50000;

QTextStream out(stdout);

void seed(Store &store, const QString &sql)
{
    // The benchmark fills its own database in bulk; the program itself never writes SQL here.
    QSqlQuery query(store.database());
    if (!query.exec(sql)) {
        out << "seeding failed: " << query.lastError().text() << "\n";
        out.flush();
        std::exit(2);
    }
}

void seedDatabase(Store &store)
{
    seed(store, "BEGIN");
    seed(store, QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 批号, 销价, 单位, 库房, 厂家, 分类) "
        "SELECT printf('%05d', i), '药材' || i, 'yc' || i, '*', '产地' || (i % 30), "
        "'P' || (i % 97), 1 + (i % 50), '克', '一号库', '厂家' || (i % 40), '根茎' FROM n")
             .arg(CatalogueRows));
    seed(store, QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 拼音, 规格, 产地, 批号, 单位, 数量, 进价, "
        "金额, 库房, 厂家, 入库) "
        "SELECT 'JH' || (20250101000 + i / 20), date('2025-01-01', '+' || (i % 730) || ' days'), "
        "printf('%05d', 1 + i % 20000), '药材' || (1 + i % 20000), 'yc' || (1 + i % 20000), '*', "
        "'产地' || (i % 30), 'P' || (i % 97), '克', 1 + i % 9, 2.5, 2.5 * (1 + i % 9), "
        "'一号库', '厂家' || (i % 40), '已入库' FROM n")
             .arg(PurchaseLines));
    seed(store, QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO kucun (编号, 品名, 拼音, 规格, 产地, 批号, 单位, 库房, 厂家, 库存数量, "
        "入库数量, 进价, 进价金额, 销价) "
        "SELECT printf('%05d', 1 + i % 20000), '药材' || i, 'yc' || i, '*', '产地' || (i % 30), "
        "'B' || i, '克', '一号库', '厂家' || (i % 40), 10, 10, 2.5, 25, 4 FROM n")
             .arg(StockRows));
    seed(store, "COMMIT");
    seed(store, "ANALYZE");
}

void addPendingLines(Store &store, int count, int round)
{
    seed(store, QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 规格, 产地, 批号, 数量, 进价, 金额, 厂家) "
        "SELECT 'JH', '2026-12-06', printf('%05d', 1 + (i * 7 + %2) % 20000), '药材', '*', "
        "'产地' || (i % 30), CASE WHEN i % 2 = 0 THEN '*' ELSE 'N%2-' || i END, 3, 2.5, 7.5, '*' "
        "FROM n")
             .arg(count)
             .arg(round));
}

struct Measure
{
    QString name;
    double targetMs;
    std::vector<double> samples;
};

std::vector<Measure> results;

void measure(const QString &name, double targetMs, int runs, const std::function<void()> &action,
             const std::function<void()> &prepare = {})
{
    Measure m{name, targetMs, {}};
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        action();
        m.samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    results.push_back(m);
}

ChildScreen *showScreen(const ScreenRegistry &screens, Store &store, const QString &name)
{
    ChildScreen *screen = screens.create(name, store);
    if (!screen) {
        out << "no screen " << name << "\n";
        std::exit(2);
    }
    screen->show();
    QCoreApplication::processEvents();
    return screen;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Store store;
    if (!store.open(QDir(dir.path()).filePath("sysfile"))) {
        out << store.lastError().text() << "\n";
        return 2;
    }
    out << "seeding " << CatalogueRows << " catalogue rows, " << PurchaseLines
        << " purchase lines, " << StockRows << " stock rows...\n";
    out.flush();
    seedDatabase(store);

    ScreenRegistry screens;
    registerReferenceScreens(screens);
    registerPurchasingScreens(screens);
    registerStockScreens(screens);

    measure("open the 200,000 purchase lines in a grid", 1000, 5, [&] {
        Cursor cursor(store);
        cursor.open(Query("jinhuo"));
        DataGrid grid(&cursor, "DBGrid1");
        grid.resize(640, 400);
        grid.show();
        QCoreApplication::processEvents();
    });

    {
        // Keystrokes into the code, name and pinyin boxes of the purchase entry screen.
        ChildScreen *entry = showScreen(screens, store, "jinhuodjfrm");
        const QList<QPair<QString, QString>> typing{
            {"Text3_0", "12345"}, {"Text3_1", "药材19"}, {"Text3_2", "yc199"}, {"Text3_0", "0"}};
        QList<QPair<QLineEdit *, QString>> keystrokes;
        for (const auto &[box, text] : typing) {
            auto *edit = entry->findChild<QLineEdit *>(box);
            for (int length = 1; length <= text.size(); ++length)
                keystrokes.append({edit, text.left(length)});
            keystrokes.append({edit, QString()});
        }
        int k = 0;
        measure("search as you type: one keystroke over 20,000 catalogue rows", 16,
                keystrokes.size(), [&] {
                    const auto &[edit, text] = keystrokes[k++];
                    edit->setText(text);
                    QCoreApplication::processEvents();
                });
        delete entry;
    }

    measure("open the purchase entry screen", 100, 5, [&] {
        delete showScreen(screens, store, "jinhuodjfrm");
    });

    int round = 0;
    measure("post 100 pending purchase lines", 100, 5,
            [&] {
                StockInRequest request;
                request.documentNumber = "JH20261206001";
                request.purchaseDate = "2026-12-06";
                const StockInResult result = postPendingPurchases(store, request);
                if (!result.ok || result.postedLines != 100) {
                    out << "posting failed: " << result.error.text() << "\n";
                    std::exit(2);
                }
            },
            [&] { addPendingLines(store, 100, ++round); });

    {
        ChildScreen *query = showScreen(screens, store, "jinhuochafrm");
        query->findChild<QRadioButton *>("Option2")->click();
        query->findChild<QLineEdit *>("Text2")->setText("2025-03-01");
        query->findChild<QLineEdit *>("Text3")->setText("2026-02-28");
        auto *searchButton = query->findChild<QPushButton *>("Command1");
        measure("one-year date-range purchase query with its three totals", 50, 5, [&] {
            searchButton->click();
            QCoreApplication::processEvents();
        });
        const QString lines = query->findChild<QLineEdit *>("Text4")->text();
        if (lines.toInt() < 90000) {
            out << "the year query listed only " << lines << " lines\n";
            return 2;
        }
        delete query;
    }

    measure("open the stock query on 50,000 stock rows with both totals", 50, 5, [&] {
        delete showScreen(screens, store, "kucunchafrm");
    });

    out << "\n";
    bool allMet = true;
    for (Measure &m : results) {
        std::sort(m.samples.begin(), m.samples.end());
        const double median = m.samples[m.samples.size() / 2];
        const double worst = m.samples.back();
        const bool met = median < m.targetMs;
        allMet = allMet && met;
        out << QString("%1  median %2 ms  worst %3 ms  target < %4 ms  %5\n")
                   .arg(m.name, -62)
                   .arg(median, 8, 'f', 2)
                   .arg(worst, 8, 'f', 2)
                   .arg(m.targetMs, 5, 'f', 0)
                   .arg(met ? "met" : "MISSED");
    }
    out.flush();
    return allMet ? 0 : 1;
}
