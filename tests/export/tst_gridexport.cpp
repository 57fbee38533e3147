#include "support/testsupport.h"

#include "purchasing/purchasequeries.h"
#include "sales/salesqueries.h"
#include "shell/datagrid.h"
#include "shell/gridexport.h"
#include "stock/kucunchafrm.h"
#include "store/cursor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>

namespace {

// The lines of a CSV file without its byte-order mark.
QStringList csvLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {"no byte-order mark"};
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class tst_GridExport : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore store;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<QWidget> screen; // goes first, before the store it uses
    };
    std::unique_ptr<Session> f;
    GridExport::FileChooser m_previousChooser;
    QStringList m_suggested; // what the save dialog was offered
    QString m_chosen;        // and what the user chose there

    QString outPath(const QString &name) const { return QDir(f->store.folder()).filePath(name); }

    template <typename Screen> Screen *open(Screen *screen)
    {
        f->screen.reset(screen);
        screen->show();
        if (!QTest::qWaitForWindowExposed(screen))
            QTest::qFail("screen not shown", __FILE__, __LINE__);
        return screen;
    }
    DataGrid *grid() { return findWidget<DataGrid>(f->screen.get(), "DBGrid1"); }

private slots:
    void initTestCase()
    {
        m_previousChooser = GridExport::installFileChooser([this](QWidget *, const QString &path) {
            m_suggested << path;
            return m_chosen;
        });
    }
    void cleanupTestCase() { GridExport::installFileChooser(m_previousChooser); }
    void init()
    {
        f = std::make_unique<Session>();
        m_suggested.clear();
        m_chosen.clear();
        // 3000 lines of one day, far more than the grid reads at first.
        f->store.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                      "3000) INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 数量, 金额) SELECT "
                      "'JH' || (i / 20), '2026-12-05', substr(CAST(10000 + i AS TEXT), 2), "
                      "'当归', 1, 2.5 FROM n");
    }
    void cleanup() { f.reset(); }

    void theQueryExportsEveryLineWithItsTotals()
    {
        auto *screen = open(new LineQueryFrm(f->store.store(), purchaseLineQuery()));
        findWidget<QLineEdit>(screen, "Text2")->setText("2026-12-05");
        findWidget<QLineEdit>(screen, "Text3")->setText("2026-12-05");
        screen->findChild<QWidget *>("Option2")->setProperty("checked", true);
        screen->search();
        QVERIFY(grid()->model()->rowCount() < 3000);

        // "导出..." in the grid's right-click menu asks where, suggesting the screen's name.
        QCOMPARE(grid()->contextMenuPolicy(), Qt::ActionsContextMenu);
        QAction *item = grid()->findChild<QAction *>("exportAction");
        QVERIFY(grid()->actions().contains(item));
        QCOMPARE(item->text(), QString("导出..."));
        m_chosen = outPath("进货.csv");
        item->trigger();
        QCOMPARE(m_suggested.size(), 1);
        QVERIFY2(m_suggested[0].endsWith("/进货查询-20261205.xlsx"), qPrintable(m_suggested[0]));

        const QStringList lines = csvLines(m_chosen);
        QCOMPARE(lines.size(), 3002);
        QVERIFY(lines[0].startsWith("单据号,日期,编号,品名,"));
        QVERIFY2(lines[3000].startsWith("JH150,2026-12-05,3000,当归,"), qPrintable(lines[3000]));
        QCOMPARE(lines.last(), QString("品种数,3000,合计数量,3000,合计金额,7500"));
        QCOMPARE(f->messages.texts,
                 QStringList{"已导出 3000 行到：\n" + QDir::toNativeSeparators(m_chosen)});
    }

    void theSalesTwinsExportTheirTotalsToo()
    {
        f->store.exec("INSERT INTO chuhuo (编号, 品名, 数量, 金额, 日期, 单据号) VALUES "
                      "('0001', '当归', 2, 5, '2026-12-05', 'XS1'), "
                      "('0002', '川芎', 1, 2.5, '2026-12-05', 'XS1')");
        auto *lines = open(new LineQueryFrm(f->store.store(), salesLineQuery()));
        findWidget<QLineEdit>(lines, "Text1")->setText("*");
        lines->search();
        QVERIFY(grid()->exporter()->exportTo(outPath("销售.csv")));
        QCOMPARE(csvLines(outPath("销售.csv")).last(),
                 QString("品种数,2,合计数量,3,合计金额,7.5"));

        auto *documents = open(new DocumentQueryFrm(f->store.store(), salesDocumentQuery()));
        findWidget<QLineEdit>(documents, "Text1")->setText("XS1");
        documents->search();
        QVERIFY(grid()->exporter()->exportTo(outPath("销售单.csv")));
        const QStringList rows = csvLines(outPath("销售单.csv"));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.last(), QString("品种,2,合计金额,7.5"));
    }

    void theCornerButtonExportsAndACancelWritesNothing()
    {
        KucunchaFrm *screen = open(new KucunchaFrm(f->store.store()));
        f->store.exec("INSERT INTO kucun (编号, 品名, 库存数量, 进价金额) VALUES ('0001', '当归', 3,"
                      " 7.5), ('0002', '川芎', 1, 2)");
        findWidget<QPushButton>(screen, "Command2")->click();
        auto *button = grid()->findChild<QToolButton *>("exportButton");
        QVERIFY(button->isVisible());
        // It sits in the corner between the headers.
        QCOMPARE(button->geometry(),
                 QRect(grid()->frameWidth(), grid()->frameWidth(),
                       grid()->verticalHeader()->width(), grid()->horizontalHeader()->height()));

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_suggested.size(), 1);
        QVERIFY(f->messages.texts.isEmpty());

        m_chosen = outPath("库存.xlsx");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(QFileInfo::exists(m_chosen));
        QVERIFY2(f->messages.last().startsWith("已导出 2 行到："), qPrintable(f->messages.last()));
    }

    void theDocumentQueryAddsItsTotals()
    {
        auto *screen = open(new DocumentQueryFrm(f->store.store(), purchaseDocumentQuery()));
        findWidget<QLineEdit>(screen, "Text1")->setText("JH3");
        screen->search();
        QVERIFY(grid()->exporter()->exportTo(outPath("单据.csv")));
        const QStringList lines = csvLines(outPath("单据.csv"));
        QCOMPARE(lines.size(), 22);
        QCOMPARE(lines.last(), QString("品种,20,合计金额,50"));
    }

    void aHeldCellEditIsSavedAndExported()
    {
        auto *screen = open(new LineQueryFrm(f->store.store(), purchaseLineQuery()));
        findWidget<QLineEdit>(screen, "Text1")->setText("0007");
        screen->search();
        QVERIFY(editGridCell(grid(), 0, grid()->cursor()->columnIndex("品名"), "川芎"));
        QVERIFY(grid()->exporter()->exportTo(outPath("一行.csv")));
        QVERIFY2(csvLines(outPath("一行.csv")).value(1).contains(",0007,川芎,"),
                 qPrintable(csvLines(outPath("一行.csv")).join('|')));
        QCOMPARE(f->store.scalar("SELECT 品名 FROM jinhuo WHERE 编号 = '0007'").toString(),
                 QString("川芎"));
    }

    void refusalsAreToldInWords()
    {
        // Before the first search there is no list to export.
        auto *screen = open(new LineQueryFrm(f->store.store(), purchaseLineQuery()));
        grid()->findChild<QAction *>("exportAction")->trigger();
        QCOMPARE(f->messages.texts, QStringList{"列表中没有可导出的记录。"});
        QVERIFY(m_suggested.isEmpty());

        screen->search();
        QFile blocker(outPath("不是文件夹"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = QDir(blocker.fileName()).filePath("进货.xlsx");
        QVERIFY(!grid()->exporter()->exportTo(path));
        QVERIFY2(f->messages.last().startsWith("导出失败：无法写入文件 "
                                               + QDir::toNativeSeparators(path)),
                 qPrintable(f->messages.last()));
    }
};

QTEST_MAIN(tst_GridExport)
#include "tst_gridexport.moc"
