#include "printing/printtestsupport.h"
#include "sales/salesscreens.h"
#include "shell/herbdeskfrm.h"
#include "shell/screenregistry.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

using namespace PrintTest;

// The sales slip windows as the clerk meets them: in the main window, opened by the print
// buttons of sales entry and of the sales document query.
class tst_SlipPrintFrm : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        TempStore temp;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        ScreenRegistry screens;
        std::unique_ptr<HerbdeskFrm> desk; // goes before the store it uses
        QWidget *screen = nullptr;
    };
    std::unique_ptr<Fixture> m;

    const QStringList allCaptions{"编号", "品名",   "产地",     "规格", "单位",
                                  "数量", "零售价", "零售金额", "批号", "生产厂家"};
    // The two pending lines of init() as the slip prints them.
    const QList<QStringList> pendingRows{
        allCaptions,
        {"120", "甘草", "", "片", "公斤", "3.00", "8.50", "25.50", "B1", ""},
        {"121", "甘草梢", "甘肃", "", "", "2.50", "2.36", "95.00", "", "安国"}};
    static QString dateGap(int blanks) { return QString(blanks, QLatin1Char(' ')) + "日期："; }

    template <typename T> T *control(const char *name)
    {
        return findWidget<T>(m->screen, name);
    }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void open(const char *screenName)
    {
        QMdiSubWindow *host = m->desk->showScreen(screenName);
        m->screen = host ? host->widget() : nullptr;
        QVERIFY(m->screen);
    }
    // Clicks the screen's print button and returns the window it opened.
    PrintWindow *print(const char *button, const char *windowName)
    {
        click(button);
        PrintWindow *window = printWindowIn(m->desk->clientArea(), windowName);
        if (!window)
            QTest::qFail("no print window", __FILE__, __LINE__);
        return window;
    }
    static QString totalsRow(const PrintWindow *window)
    {
        return rows(window->printer()->document()).last().value(0);
    }
    void closeScreen()
    {
        for (QMdiSubWindow *host : m->desk->clientArea()->subWindowList()) {
            if (host->widget() == m->screen)
                host->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m->screen = nullptr;
    }

private slots:
    void init()
    {
        m = std::make_unique<Fixture>();
        registerSalesScreens(m->screens);
        m->desk = std::make_unique<HerbdeskFrm>(m->temp.store(), m->screens,
                                                Session{QStringLiteral("青杉药行")});
        m->desk->show();
        m->temp.exec("UPDATE danjuhao SET 销售单号 = 7");
        // Padded texts, "*" for values not given, Nulls, numbers that are no round figures, and
        // a posted line of another document.
        m->temp.exec(
            "INSERT INTO chuhuo (单据号, 编号, 品名, 产地, 规格, 单位, 数量, 销价, 金额, 批号, "
            "厂家, 购货单位, 出库) VALUES "
            "('XS20261205007', ' 120 ', '甘草', '*', ' 片 ', '公斤', 3, 8.5, 25.5, ' B1 ', "
            "'*', '仁和堂', NULL), "
            "('XS20261205007', '121', '甘草梢', '甘肃', NULL, NULL, 2.5, 2.355, 95, '*', "
            "' 安国 ', '仁和堂', NULL), "
            "('XS20261130001', '099', '黄芪', '*', '*', '公斤', 1, 1, 1, '*', '*', '*', "
            "'已出库')");
    }
    void cleanup()
    {
        // Unprinted slips would report themselves when the main window goes.
        m->messages.clear();
        m.reset();
    }

    void slipOfThePendingLines()
    {
        open("xiaoshoufrm");
        control<QComboBox>("Combo2")->setEditText("仁和堂");
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        QCOMPARE(window->windowTitle(), "销售出库打印");
        QCOMPARE(window->printer()->Orientation(), 1);
        QCOMPARE(window->printer()->PaperSize(), 9);

        const PrintDocument &document = window->printer()->document();
        QCOMPARE(kinds(document),
                 (QList<PrintEntry::Kind>{PrintEntry::PageBreak, PrintEntry::Title,
                                          PrintEntry::LineFeed, PrintEntry::Line,
                                          PrintEntry::Row, PrintEntry::Row, PrintEntry::Row,
                                          PrintEntry::Row, PrintEntry::LineFeed,
                                          PrintEntry::LineFeed, PrintEntry::Line}));
        QCOMPARE(document[1].text, "青杉药行药材销售单");
        QCOMPARE(document[1].size, 15);
        QCOMPARE(document[1].alignment, PrintAlign::Centre);
        QCOMPARE(texts(document, PrintEntry::Line),
                 (QStringList{"出库单号：XS20261205007  购货单位：仁和堂" + dateGap(38)
                                  + "2026-12-05",
                              " 保管员：                  复核人：                       "
                              "开票员："}));
        // Trimmed texts, "*" and Null as empty cells, numbers to the cent; then the totals as
        // the screen shows them, with the discounted total.
        QList<QStringList> expected = pendingRows;
        expected << QStringList{"  共计：2个品种     零售合计金额： ￥120.50元    60扣合计金额： "
                                "￥72.30元"};
        QCOMPARE(rows(document), expected);

        int width = 0;
        for (const RecordedCell &cell : document[4].cells) {
            QCOMPARE(cell.alignment, PrintAlign::Centre);
            QCOMPARE(cell.border, "1111");
            QCOMPARE(cell.backColour, QColor(Qt::white));
            width += cell.widthTwips;
        }
        const RecordedCell &totals = document[7].cells.first();
        QCOMPARE(totals.widthTwips, width);
        QCOMPARE(width, 10400);
        QCOMPARE(totals.alignment, PrintAlign::Left);
        QCOMPARE(totals.border, "1111");

        // The page number at the right of the top of the page, and nothing at its foot.
        const QList<LaidOutPage> &pages = window->printer()->pages();
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].headTexts, (QStringList{"", "", "第1页"}));
        QVERIFY(pages[0].footTexts.join(QString()).isEmpty());
    }

    void discountedTotal_data()
    {
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("printed");

        const auto row = [](const char *total, const char *rate, const char *discounted) {
            return QStringLiteral("零售合计金额： ￥%1元    %2扣合计金额： ￥%3元")
                .arg(QString::fromUtf8(total), QString::fromUtf8(rate),
                     QString::fromUtf8(discounted));
        };
        QTest::newRow("60 of 120.50") << "120.50" << "60" << row("120.50", "60", "72.30");
        // Half a cent goes up, on the decimal figures: single precision gave 35.47.
        QTest::newRow("half a cent") << "64.5" << "55" << row("64.5", "55", "35.48");
        QTest::newRow("negative total") << "-10.05" << "50" << row("-10.05", "50", "-5.03");
        QTest::newRow("large total") << "1234567.89" << "85"
                                     << row("1234567.89", "85", "1049382.71");
        QTest::newRow("no discount") << "120.5" << "100" << row("120.5", "100", "120.50");
        QTest::newRow("padded boxes") << " 120.50 " << " 60 " << row("120.50", "60", "72.30");
        // Boxes that hold no number count as nothing.
        QTest::newRow("empty total") << "" << "60" << row("0", "60", "0.00");
        QTest::newRow("total typed over") << "一百" << "60" << row("0", "60", "0.00");
        QTest::newRow("empty rate") << "120.50" << "" << row("120.50", "0", "0.00");
        QTest::newRow("rate in words") << "120.50" << "六折" << row("120.50", "0", "0.00");
    }
    void discountedTotal()
    {
        QFETCH(QString, total);
        QFETCH(QString, rate);
        QFETCH(QString, printed);
        open("xiaoshoufrm");
        control<QLineEdit>("Text6")->setText(total);
        control<QLineEdit>("Text2")->setText(rate);
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        QCOMPARE(totalsRow(window), "  共计：2个品种     " + printed);
        QCOMPARE(m->messages.texts, QStringList());
    }

    void reprintFromTheDocumentQuery()
    {
        // Before any search the query has no lines and no totals: the frame, totals 0.
        open("chudanchafrm");
        PrintWindow *window = print("Command2", "xiaodandafrm");
        QCOMPARE(window->windowTitle(), "销售单据");
        QCOMPARE(window->printer()->Orientation(), 1);
        QCOMPARE(window->printer()->PaperSize(), 9);
        QCOMPARE(rows(window->printer()->document()),
                 (QList<QStringList>{allCaptions,
                                     {"  共计：0个品种     零售合计金额： ￥0元    "}}));
        QCOMPARE(texts(window->printer()->document(), PrintEntry::Line).first(),
                 "出库单号：XS  购货单位：" + dateGap(35) + "2026-12-05");

        // The lines found, still pending, with the count and the total as the query shows them
        // and no customer or discount.
        control<QLineEdit>("Text1")->setText("XS20261205007");
        click("Command1");
        QCOMPARE(print("Command2", "xiaodandafrm"), window); // the same window, laid out afresh
        const PrintDocument &document = window->printer()->document();
        QCOMPARE(document[1].text, "青杉药行药材销售单");
        QCOMPARE(texts(document, PrintEntry::Line).first(),
                 "出库单号：XS20261205007  购货单位：" + dateGap(35) + "2026-12-05");
        QList<QStringList> expected = pendingRows;
        expected << QStringList{"  共计：2个品种     零售合计金额： ￥120.5元    "};
        QCOMPARE(rows(document), expected);
        QCOMPARE(window->printer()->pages().value(0).headTexts, (QStringList{"", "", "第1页"}));
    }

    void slipAfterPosting()
    {
        // Enough stock for both lines, so that they can be posted.
        m->temp.exec("INSERT INTO kucun (编号, 批号, 规格, 产地, 库存数量) SELECT trim(编号), "
                     "trim(批号), trim(规格), trim(产地), 100 FROM chuhuo WHERE 出库 IS NULL");
        open("xiaoshoufrm");
        control<QComboBox>("Combo2")->setEditText("仁和堂");
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        const QList<QStringList> beforePosting = rows(window->printer()->document());
        click("Command5");
        QCOMPARE(m->messages.texts, QStringList());
        QCOMPARE(m->temp.scalar("SELECT count(*) FROM chuhuo WHERE 出库 IS NULL"), 0);
        // Posted, the lines leave the slip at its next refresh; the number is the next one.
        trigger(window->printer(), "refreshAction");
        QCOMPARE(rows(window->printer()->document()),
                 (QList<QStringList>{allCaptions,
                                     {"  共计：0个品种     零售合计金额： ￥0元    60扣合计金额："
                                      " ￥0.00元"}}));
        QVERIFY(texts(window->printer()->document(), PrintEntry::Line)
                    .first()
                    .startsWith("出库单号：XS20261205008  "));
        // The reprint of the posted document shows what the slip showed before posting.
        open("chudanchafrm");
        control<QLineEdit>("Text1")->setText("XS20261205007");
        click("Command1");
        const QList<QStringList> reprinted =
            rows(print("Command2", "xiaodandafrm")->printer()->document());
        QCOMPARE(reprinted.mid(0, 3), beforePosting.mid(0, 3));
    }

    void longSlipFlowsOntoFurtherPages()
    {
        for (int i = 0; i < 58; ++i) {
            m->temp.exec("INSERT INTO chuhuo (单据号, 编号, 品名, 数量, 销价, 金额) VALUES "
                         "('XS20261205007', ?, '药材', 1, 2, 2)",
                         {QString::number(1000 + i)});
        }
        open("xiaoshoufrm");
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        const QList<LaidOutPage> &pages = window->printer()->pages();
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        for (int page = 1; page <= pages.size(); ++page)
            QCOMPARE(pages[page - 1].headTexts, (QStringList{"", "", QString("第%1页").arg(page)}));
        // Page 2 starts with the column captions again, then goes on with the lines.
        const QStringList second = cellTexts(pages[1]);
        QCOMPARE(second.mid(0, 10), allCaptions);
        QVERIFY(second.at(10).startsWith("10"));
        // Every line is printed once; the totals row closes the last page.
        int linesPrinted = 0;
        for (const LaidOutPage &page : pages)
            linesPrinted += page.cells.size() / 10 - 1;
        QCOMPARE(linesPrinted, 60);
        QVERIFY(cellTexts(pages.last()).last().startsWith("  共计：60个品种"));
    }

    void printedFlagAndClosingMessage()
    {
        QTemporaryDir folder;
        open("xiaoshoufrm");
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        {
            // A cancelled dialog prints nothing.
            PrinterAnswer cancel([](QPrinter &) { return false; });
            trigger(window->printer(), "printAction");
        }
        QVERIFY(!window->isPrinted());
        trigger(window->printer(), "closeAction");
        QCOMPARE(m->messages.texts, QStringList{"没有打印"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!printWindowIn(m->desk->clientArea(), "xiaoshoudafrm"));

        m->messages.clear();
        window = print("Command3", "xiaoshoudafrm");
        {
            PrinterAnswer toFile([&](QPrinter &printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(folder.filePath("slip.pdf"));
                return true;
            });
            trigger(window->printer(), "printAction");
        }
        QVERIFY(window->isPrinted());
        QVERIFY(QFileInfo(folder.filePath("slip.pdf")).size() > 0);
        trigger(window->printer(), "closeAction");
        QCOMPARE(m->messages.texts, QStringList());

        // The reprint has its own flag: saved as PDF, it closes without a word.
        open("chudanchafrm");
        window = print("Command2", "xiaodandafrm");
        PdfFileAnswer answer(folder.filePath("reprint.pdf"));
        trigger(window->printer(), "pdfAction");
        QVERIFY(window->isPrinted());
        QCOMPARE(QFileInfo(answer.suggestions.value(0)).fileName(), "青杉药行药材销售单.pdf");
        trigger(window->printer(), "closeAction");
        QCOMPARE(m->messages.texts, QStringList());
    }

    void closedOpeningScreen()
    {
        open("xiaoshoufrm");
        control<QComboBox>("Combo2")->setEditText("仁和堂");
        PrintWindow *window = print("Command3", "xiaoshoudafrm");
        // A count that is no number counts as nothing.
        control<QLineEdit>("Text5")->setText("两个");
        trigger(window->printer(), "refreshAction");
        QVERIFY(totalsRow(window).startsWith("  共计：0个品种     零售合计金额： ￥120.50元"));

        // With the screen closed the slip keeps its title and frame: no number, customer,
        // lines or totals.
        closeScreen();
        trigger(window->printer(), "refreshAction");
        const PrintDocument &document = window->printer()->document();
        QCOMPARE(document[1].text, "青杉药行药材销售单");
        QCOMPARE(texts(document, PrintEntry::Line).first(),
                 "出库单号：  购货单位：" + dateGap(38) + "2026-12-05");
        QCOMPARE(rows(document),
                 (QList<QStringList>{allCaptions,
                                     {"  共计：0个品种     零售合计金额： ￥0元    0扣合计金额： "
                                      "￥0.00元"}}));
        QCOMPARE(window->printer()->pages().size(), 1);
        QCOMPARE(m->messages.texts, QStringList());
    }
};

QTEST_MAIN(tst_SlipPrintFrm)
#include "tst_slipprintfrm.moc"
