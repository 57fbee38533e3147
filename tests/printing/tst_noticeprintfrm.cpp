#include "printing/printtestsupport.h"
#include "purchasing/jinhuodjfrm.h"
#include "purchasing/noticeprintfrm.h"
#include "purchasing/purchasequeries.h"
#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

using namespace PrintTest;

class tst_NoticePrintFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<QWidget> screen; // goes before the store it uses
    };
    std::unique_ptr<Session> m;

    const QStringList captions{"编号", "品名",   "规格", "单位", "产地",     "生产日期", "批号",
                               "有效期", "数量", "单价", "库房", "验收结论", "备注"};

    template <typename T> T *control(const char *name)
    {
        return findWidget<T>(m->screen.get(), name);
    }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void openEntry()
    {
        m->screen = std::make_unique<JinhuodjFrm>(m->temp.store());
        m->screen->show();
    }
    void openDocumentQuery()
    {
        m->screen = std::make_unique<DocumentQueryFrm>(m->temp.store(), purchaseDocumentQuery());
        m->screen->show();
    }
    // Clicks the screen's print button and returns the window it opened.
    PrintWindow *print(const char *button, const char *windowName)
    {
        click(button);
        PrintWindow *window = openPrintWindow(windowName);
        if (!window)
            QTest::qFail("no print window", __FILE__, __LINE__);
        return window;
    }
    void addPendingLines(int count)
    {
        for (int i = 0; i < count; ++i) {
            m->temp.exec("INSERT INTO jinhuo (单据号, 编号, 品名, 规格, 产地, 批号, 数量, 进价) "
                         "VALUES ('JH20261205007', ?, '药材', '*', '*', '*', 1, 2)",
                         {QString::number(1000 + i)});
        }
    }

private slots:
    void init()
    {
        m = std::make_unique<Session>();
        m->temp.exec("UPDATE danjuhao SET 进货单号 = 7");
        // Padded texts, "*" for values not given, Nulls, a price that is no round number, and
        // a posted line of the same document.
        m->temp.exec(
            "INSERT INTO jinhuo (单据号, 编号, 品名, 规格, 单位, 产地, 生产日期, 批号, 有效期, "
            "数量, 进价, 金额, 库房, 厂家, 入库) VALUES "
            "('JH20261205007', ' 120 ', '甘草', ' 片 ', '公斤', '*', '2026-01', '*', "
            "'2028-01', 3, 2.35, 7.05, ' 一号库 ', '安国', NULL), "
            "('JH20261205007', '121', '甘草梢', NULL, NULL, '甘肃', NULL, ' B7 ', NULL, NULL, "
            "NULL, NULL, NULL, '*', NULL), "
            "('JH20261130001', '099', '黄芪', '*', '公斤', '*', NULL, '*', NULL, 1, 1, 1, NULL, "
            "'*', '已入库')");
    }
    void cleanup()
    {
        // Print windows left open would report themselves unprinted into the next test.
        QList<QPointer<PrintWindow>> windows;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<PrintWindow *>(top))
                windows << window;
        }
        qDeleteAll(windows);
        m.reset();
    }

    void noticeOfThePendingLines()
    {
        openEntry();
        control<QComboBox>("Combo5")->setEditText("安国药材");
        // A name typed over in the grid and not yet saved prints as typed; the line chosen in the
        // grid stays chosen while the notice reads the lines.
        auto *grid = control<DataGrid>("DBGrid1");
        QVERIFY(editGridCell(grid, 0, 3, "炙甘草"));
        grid->setCurrentIndex(grid->model()->index(1, 2));
        QVERIFY(editGridCell(grid, 1, 3, "甘草梢 "));
        PrintWindow *window = print("Command3", "jinhuodafrm");
        QCOMPARE(window->windowTitle(), "进货打印");
        QCOMPARE(grid->cursor()->position(), 1);

        const PrintDocument &document = window->printer()->document();
        QCOMPARE(kinds(document),
                 (QList<PrintEntry::Kind>{PrintEntry::PageBreak, PrintEntry::Title,
                                          PrintEntry::Line, PrintEntry::Row, PrintEntry::Row,
                                          PrintEntry::Row, PrintEntry::LineFeed,
                                          PrintEntry::LineFeed, PrintEntry::Line}));
        QCOMPARE(document[1].text, "购进入库验收通知单");
        QCOMPARE(document[1].size, 15);
        QCOMPARE(document[1].alignment, PrintAlign::Centre);
        QCOMPARE(texts(document, PrintEntry::Line),
                 (QStringList{"通知单号：JH20261205007   供货单位：安国药材  合同号：            "
                              "发票号：            日期：2026-12-05",
                              " 保管员：          验收员：            开票员："}));
        // Trimmed texts; "*" and Null print as empty cells; the price as stored.
        QCOMPARE(rows(document),
                 (QList<QStringList>{captions,
                                     {"120", "炙甘草", "片", "公斤", "", "2026-01", "", "2028-01",
                                      "3", "2.35", "一号库", "", ""},
                                     {"121", "甘草梢", "", "", "甘肃", "", "B7", "", "", "", "",
                                      "", ""}}));
        int width = 0;
        for (const RecordedCell &cell : document[3].cells) {
            QCOMPARE(cell.alignment, PrintAlign::Centre);
            QCOMPARE(cell.border, "1111");
            QCOMPARE(cell.backColour, QColor(Qt::white));
            width += cell.widthTwips;
        }
        QCOMPARE(width, 11900);
        QCOMPARE(window->printer()->Orientation(), 2);
        QCOMPARE(window->printer()->PaperSize(), 13);

        // The page texts: the title at the head, the page number at the foot.
        const QList<LaidOutPage> &pages = window->printer()->pages();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].headTexts, (QStringList{"购进入库验收通知单", "", ""}));
        QCOMPARE(pages[0].footTexts, (QStringList{"", "第1页", ""}));
    }

    void reprintFromTheDocumentQuery()
    {
        // The notice printed before posting and the reprint show the same lines; the reprint
        // has no supplier.
        openEntry();
        control<QComboBox>("Combo5")->setEditText("安国药材");
        PrintWindow *entryNotice = print("Command3", "jinhuodafrm");
        const QList<QStringList> beforePosting = rows(entryNotice->printer()->document());
        // Posted, the lines leave the entry screen's notice at its next refresh.
        click("Command5");
        trigger(entryNotice->printer(), "refreshAction");
        QCOMPARE(rows(entryNotice->printer()->document()), QList<QStringList>{captions});
        // Before any search the query has no lines to give: the frame of the notice only.
        openDocumentQuery();
        PrintWindow *window = print("Command2", "jindandafrm");
        QCOMPARE(window->windowTitle(), "进货单据");
        QCOMPARE(rows(window->printer()->document()), QList<QStringList>{captions});
        QVERIFY(texts(window->printer()->document(), PrintEntry::Line).first().startsWith(
            "通知单号：JH   供货单位：   "));

        control<QLineEdit>("Text1")->setText("JH20261205007");
        click("Command1");
        QCOMPARE(print("Command2", "jindandafrm"), window); // the same window, laid out afresh
        const PrintDocument &document = window->printer()->document();
        QCOMPARE(texts(document, PrintEntry::Line).first(),
                 "通知单号：JH20261205007   供货单位：                   合同号：            "
                 "发票号：            日期：2026-12-05");
        QCOMPARE(rows(document), beforePosting);

        // A number typed with a wildcard prints as typed, with every line it finds.
        control<QLineEdit>("Text1")->setText("JH2026*");
        click("Command1");
        print("Command2", "jindandafrm");
        QCOMPARE(rows(window->printer()->document()).size(), 4);
        QVERIFY(texts(window->printer()->document(), PrintEntry::Line)
                    .first()
                    .startsWith("通知单号：JH2026*   "));
    }

    void longNoticeFlowsOntoFurtherPages()
    {
        addPendingLines(58);
        openEntry();
        PrintWindow *window = print("Command3", "jinhuodafrm");
        const QList<LaidOutPage> &pages = window->printer()->pages();
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        for (int page = 1; page <= pages.size(); ++page) {
            QCOMPARE(pages[page - 1].headTexts.first(), "购进入库验收通知单");
            QCOMPARE(pages[page - 1].footTexts.at(1), QStringLiteral("第%1页").arg(page));
        }
        // Page 2 starts with the column captions again, then goes on with the lines.
        const QStringList second = cellTexts(pages[1]);
        QCOMPARE(second.mid(0, 13), captions);
        QVERIFY(second.at(13).startsWith("10"));
        int linesPrinted = 0;
        for (const LaidOutPage &page : pages)
            linesPrinted += page.cells.size() / 13 - 1;
        QCOMPARE(linesPrinted, 60);
    }

    void printedFlagAndClosingMessage()
    {
        QTemporaryDir folder;
        openEntry();
        PrintWindow *window = print("Command3", "jinhuodafrm");
        {
            // A cancelled dialog prints nothing.
            PrinterAnswer cancel([](QPrinter &) { return false; });
            trigger(window->printer(), "printAction");
        }
        QVERIFY(!window->isPrinted());
        window->close();
        QCOMPARE(m->messages.texts, QStringList{"没有打印通知单"});

        m->messages.clear();
        window = print("Command3", "jinhuodafrm");
        {
            PrinterAnswer toFile([&](QPrinter &printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(folder.filePath("notice.pdf"));
                return true;
            });
            trigger(window->printer(), "printAction");
        }
        QVERIFY(window->isPrinted());
        QVERIFY(QFileInfo(folder.filePath("notice.pdf")).size() > 0);
        trigger(window->printer(), "closeAction");
        QVERIFY(!window->isVisible());
        QCOMPARE(m->messages.texts, QStringList());

        // A printer that cannot be used is reported, and the notice is not printed.
        window = print("Command3", "jinhuodafrm");
        {
            PrinterAnswer nowhere([&](QPrinter &printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(folder.filePath("missing/folder/notice.pdf"));
                return true;
            });
            trigger(window->printer(), "printAction");
        }
        QVERIFY(!window->isPrinted());
        QVERIFY(m->messages.last().startsWith("打印失败"));
    }

    void closedOpeningScreenAndRefresh()
    {
        openEntry();
        control<QComboBox>("Combo5")->setEditText("安国药材");
        PrintWindow *window = print("Command3", "jinhuodafrm");

        // A line added on the screen shows at the next refresh.
        m->temp.exec("INSERT INTO jinhuo (单据号, 编号) VALUES ('JH20261205007', '300')");
        control<DataGrid>("DBGrid1")->cursor()->refresh();
        trigger(window->printer(), "refreshAction");
        QCOMPARE(rows(window->printer()->document()).size(), 4);

        // With the screen closed the notice keeps its frame: no number, supplier or lines.
        m->screen.reset();
        trigger(window->printer(), "refreshAction");
        const PrintDocument &document = window->printer()->document();
        QCOMPARE(texts(document, PrintEntry::Line).first(),
                 "通知单号：   供货单位：  合同号：            发票号：            "
                 "日期：2026-12-05");
        QCOMPARE(rows(document), QList<QStringList>{captions});
        QCOMPARE(window->printer()->pages().size(), 1);
    }
};

QTEST_MAIN(tst_NoticePrintFrm)
#include "tst_noticeprintfrm.moc"
