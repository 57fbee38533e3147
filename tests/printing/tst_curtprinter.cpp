#include "printing/pagelayout.h"
#include "printing/printtestsupport.h"
#include "support/testsupport.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QSignalSpy>
#include <memory>

using namespace PrintTest;

class tst_CurtPrinter : public QObject
{
    Q_OBJECT

    std::unique_ptr<CurtPrinter> printer;
    std::unique_ptr<MessageRecorder> messages;

    // A document of a title, a line and a table of `lines` rows under a header row.
    static void record(CurtPrinter &target, int lines, QPrinter *on = nullptr)
    {
        target.BeginDoc(on);
        target.NewPage();
        target.PrintTitle("标题", 15, PrintAlign::Centre);
        target.PrintLine("单号：1");
        target.NewRow();
        target.PrintCell("编号", 1000, 2, "1111", 16777215);
        target.PrintCell("品名", 3000, 2, "1111", 16777215);
        for (int i = 0; i < lines; ++i) {
            target.NewRow();
            target.PrintCell(QString::number(i + 1), 1000, 2, "1111", 16777215);
            target.PrintCell("甘草", 3000, 0, "1111", 16777215);
        }
        target.EndDoc();
    }
    // Every cell lies inside the area, and every line of its text inside the cell's padding,
    // unless it is marked for clipping there. Returns the number of cells marked.
    static int verifyInside(const QList<LaidOutPage> &pages, const QRectF &area)
    {
        int clipped = 0;
        for (const LaidOutPage &page : pages) {
            for (const PlacedCell &cell : page.cells) {
                [&] {
                    QVERIFY(area.adjusted(-0.01, -0.01, 0.01, 0.01).contains(cell.rect));
                    QVERIFY(cell.rect.contains(cell.text.rect));
                }();
                const QFontMetricsF metrics(cell.text.font);
                bool fits = true;
                for (const QString &line : cell.text.lines)
                    fits = fits && metrics.horizontalAdvance(line) <= cell.text.rect.width();
                if (!fits && !cell.text.overflows)
                    QTest::qFail("a cell's text runs over its border", __FILE__, __LINE__);
                clipped += cell.text.overflows;
            }
        }
        return clipped;
    }

private slots:
    void init()
    {
        messages = std::make_unique<MessageRecorder>();
        printer = std::make_unique<CurtPrinter>();
        printer->resize(800, 600);
        printer->show();
    }
    void cleanup()
    {
        printer.reset();
        messages.reset();
    }

    void recordsWhatItIsGiven()
    {
        printer->BeginDoc();
        printer->NewPage();
        printer->PrintTitle("标题", 15, PrintAlign::Centre);
        printer->LineFeed();
        printer->PrintLine("第一行");
        // A cell without a row starts one; colours come as 0xBBGGRR.
        printer->PrintCell("甲", 1200, PrintAlign::Right, "1010", 255);
        printer->PrintCell("乙", 800, PrintAlign::Left, "0000", 0xff0000);
        printer->NewRow();
        printer->PrintCell("丙", 800, PrintAlign::Left, "1111", 16777215);
        QVERIFY(printer->EndDoc());

        const PrintDocument &document = printer->document();
        QCOMPARE(kinds(document),
                 (QList<PrintEntry::Kind>{PrintEntry::PageBreak, PrintEntry::Title,
                                          PrintEntry::LineFeed, PrintEntry::Line,
                                          PrintEntry::Row, PrintEntry::Row}));
        QCOMPARE(rows(document), (QList<QStringList>{{"甲", "乙"}, {"丙"}}));
        const RecordedCell &first = document[4].cells[0];
        QCOMPARE(first.widthTwips, 1200);
        QCOMPARE(first.alignment, PrintAlign::Right);
        QCOMPARE(first.border, "1010");
        QCOMPARE(first.backColour, QColor(255, 0, 0));
        QCOMPARE(document[4].cells[1].backColour, QColor(0, 0, 255));

        // A new document starts empty.
        printer->BeginDoc();
        printer->EndDoc();
        QCOMPARE(printer->document().size(), 0);
        QCOMPARE(printer->pages().size(), 1);
    }

    void tablesFlowOntoPagesWithTheirTexts()
    {
        QList<int> headings, feet;
        connect(printer.get(), &CurtPrinter::pageHeading, this, [&](int page) {
            headings << page;
            printer->SetPageText("头", QString(), QStringLiteral("第%1页").arg(page));
        });
        connect(printer.get(), &CurtPrinter::pageFoot, this, [&](int page) {
            feet << page;
            printer->SetPageFootText(QString(), QStringLiteral("%1").arg(page), QString());
        });
        record(*printer, 100);
        const QList<LaidOutPage> portraitA4 = printer->pages();
        QVERIFY(portraitA4.size() >= 2);
        // Each page raises its events once, in order, and keeps the texts set for it.
        QCOMPARE(headings.size(), portraitA4.size());
        QCOMPARE(headings.last(), portraitA4.size());
        QCOMPARE(feet, headings);
        for (int page = 1; page <= portraitA4.size(); ++page) {
            QCOMPARE(portraitA4[page - 1].headTexts,
                     (QStringList{"头", "", QStringLiteral("第%1页").arg(page)}));
            QCOMPARE(portraitA4[page - 1].footTexts.at(1), QString::number(page));
            // Every page's table starts with the header row.
            QCOMPARE(cellTexts(portraitA4[page - 1]).mid(0, 2), (QStringList{"编号", "品名"}));
        }
        // All 100 rows, none twice.
        QStringList numbers;
        for (const LaidOutPage &page : portraitA4)
            numbers << cellTexts(page).mid(2);
        QCOMPARE(numbers.size(), 200);
        QCOMPARE(numbers.at(198), "100");

        // Landscape B5 holds fewer rows a page.
        printer->setOrientation(CurtPrinter::Landscape);
        printer->setPaperSize(CurtPrinter::B5);
        record(*printer, 100);
        QVERIFY(printer->pages().size() > portraitA4.size());
        QCOMPARE(printer->pages().first().texts.first().lines, QStringList{"标题"});
    }

    void cellsKeepTheirTextInside()
    {
        const PrintFonts fonts = PrintFonts::standard();
        PageLayout layout(QSizeF(9000, 6000), fonts);
        const QString longText = "川贝母（特级）松贝大颗粒 B20260105-ABCDEFGHIJKLMNOP";
        PrintDocument document{{PrintEntry::Row, {}, 0, 0,
                                {{"短", 1000, 2, "1111", Qt::white},
                                 {longText, 1000, 2, "1111", Qt::white},
                                 {"WWWWWWWWWWWWWWWWWWWW", 300, 1, "1111", Qt::white}}}};
        QList<LaidOutPage> pages = layout.layOut(document, {});
        QCOMPARE(pages.size(), 1);
        const QList<PlacedCell> &cells = pages[0].cells;
        // The long text wraps inside its cell, nothing lost; the row grows for it.
        QVERIFY(cells[1].text.lines.size() > 2);
        QCOMPARE(cells[1].text.lines.join(QString()).remove(' '), QString(longText).remove(' '));
        QCOMPARE(cells[0].rect.height(), cells[1].rect.height());
        QCOMPARE(verifyInside(pages, QRectF(0, 0, 9000, 6000)), 0);
        QCOMPARE(cells[1].rect.left(), cells[0].rect.right());

        // A table wider than the page is narrowed to fit it.
        // A letter wider than its narrowed cell is clipped there.
        document[0].cells[0].widthTwips = 20000;
        pages = layout.layOut(document, {});
        QCOMPARE(verifyInside(pages, QRectF(0, 0, 9000, 6000)), 1);
        QVERIFY(pages[0].cells.last().text.overflows);
        QCOMPARE(pages[0].cells.last().rect.right(), 9000.0);

        // A row taller than a page is cut to the page; the table goes on on the next page.
        document[0].cells[1].text = longText.repeated(40);
        document.append(document[0]);
        pages = layout.layOut(document, {});
        QCOMPARE(pages.size(), 2);
        QCOMPARE(verifyInside(pages, QRectF(0, layout.bandHeight(), 9000,
                                            6000 - 2 * layout.bandHeight())),
                 4);
        QVERIFY(pages[0].cells[1].text.overflows);
    }

    void toolbarRaisesTheEvents()
    {
        QSignalSpy refreshes(printer.get(), &CurtPrinter::refreshRequested);
        QSignalSpy closes(printer.get(), &CurtPrinter::closeRequested);
        trigger(printer.get(), "refreshAction");
        trigger(printer.get(), "closeAction");
        QCOMPARE(refreshes.size(), 1);
        QCOMPARE(closes.size(), 1);

        // Printing asks for the printer first and raises the print event only when confirmed;
        // the target is known while the event runs.
        record(*printer, 3);
        QList<QPrinter *> targets;
        connect(printer.get(), &CurtPrinter::printRequested, this, [&] {
            targets << printer->printTarget();
            record(*printer, 3, printer->printTarget());
        });
        {
            PrinterAnswer cancel([](QPrinter &) { return false; });
            trigger(printer.get(), "printAction");
        }
        QCOMPARE(targets.size(), 0);
        QTemporaryDir folder;
        QPageSize::PageSizeId offered = QPageSize::Custom;
        {
            PrinterAnswer toFile([&](QPrinter &chosen) {
                offered = chosen.pageLayout().pageSize().id();
                chosen.setOutputFormat(QPrinter::PdfFormat);
                chosen.setOutputFileName(folder.filePath("printed.pdf"));
                return true;
            });
            trigger(printer.get(), "printAction");
        }
        QCOMPARE(offered, QPageSize::A4);
        QCOMPARE(targets.size(), 1);
        QVERIFY(targets[0]);
        QVERIFY(!printer->printTarget());
        QVERIFY(QFileInfo::exists(folder.filePath("printed.pdf")));

        // Saving as PDF is a print onto a file, named by the user, landscape B5 as set up.
        printer->setOrientation(CurtPrinter::Landscape);
        printer->setPaperSize(CurtPrinter::B5);
        {
            PdfFileAnswer cancel{QString()};
            trigger(printer.get(), "pdfAction");
            QCOMPARE(QFileInfo(cancel.suggestions.value(0)).fileName(), "标题.pdf");
        }
        QCOMPARE(targets.size(), 1);
        {
            PdfFileAnswer save(folder.filePath("saved.PDF"));
            connect(printer.get(), &CurtPrinter::printRequested, this, [&] {
                QCOMPARE(printer->printTarget()->outputFileName(), folder.filePath("saved.PDF"));
                QCOMPARE(printer->printTarget()->pageLayout().orientation(),
                         QPageLayout::Landscape);
                QCOMPARE(printer->printTarget()->pageLayout().pageSize().id(),
                         QPageSize::JisB5);
            });
            trigger(printer.get(), "pdfAction");
        }
        QCOMPARE(targets.size(), 2);
        QVERIFY(QFileInfo(folder.filePath("saved.PDF")).size() > 0);
        QCOMPARE(messages->texts, QStringList());
    }

    void pagesAreBrowsed()
    {
        record(*printer, 120);
        const int count = printer->pages().size();
        QVERIFY(count >= 3);
        QPrintPreviewWidget *preview = printer->preview();
        auto *label = printer->findChild<QLabel *>("pageLabel");
        QCOMPARE(preview->pageCount(), count);
        trigger(printer.get(), "nextPageAction");
        QCOMPARE(preview->currentPage(), 2);
        QCOMPARE(label->text(), QStringLiteral("第 2 / %1 页").arg(count));
        trigger(printer.get(), "lastPageAction");
        trigger(printer.get(), "nextPageAction");
        QCOMPARE(preview->currentPage(), count);
        trigger(printer.get(), "previousPageAction");
        QCOMPARE(preview->currentPage(), count - 1);
        trigger(printer.get(), "firstPageAction");
        trigger(printer.get(), "previousPageAction");
        QCOMPARE(preview->currentPage(), 1);

        const qreal fitted = preview->zoomFactor();
        trigger(printer.get(), "zoomInAction");
        QVERIFY(preview->zoomFactor() > fitted);
        trigger(printer.get(), "zoomOutAction");
        trigger(printer.get(), "zoomOutAction");
        QVERIFY(preview->zoomFactor() < fitted);
        trigger(printer.get(), "fitAction");
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitInView);
    }
};

QTEST_MAIN(tst_CurtPrinter)
#include "tst_curtprinter.moc"
