#include "purchasing/purchasequeries.h"
#include "shell/datagrid.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_JindanchaFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore store;
        MessageRecorder messages;
        std::unique_ptr<DocumentQueryFrm> screen; // goes first, before the store it uses
    };
    std::unique_ptr<Session> f;

    template <typename T = QLineEdit> T *widget(const char *name)
    {
        return findWidget<T>(f->screen.get(), name);
    }
    void clickSearch() { QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton); }
    // Lines found, their total and the lines listed.
    QString shown()
    {
        return QString("%1 %2 %3").arg(widget("Text2")->text(), widget("Text3")->text()).arg(
            widget<DataGrid>("DBGrid1")->model()->rowCount());
    }
    // The header numbers the drop-down lists, when it is showing.
    QStringList headers()
    {
        QStringList numbers;
        DataGrid *lookup = widget<DataGrid>("DBGrid2");
        for (int row = 0; lookup->isVisible() && row < lookup->model()->rowCount(); ++row)
            numbers << lookup->model()->index(row, 0).data().toString();
        return numbers;
    }

private slots:
    void init()
    {
        f = std::make_unique<Session>();
        // A padded number, a quote, Nulls, pending lines, and cents (0.1 + 0.2) that binary
        // floating point does not add exactly; the total shows the sum unformatted, noise hidden.
        f->store.exec("insert into huodan (进货单) values "
                      "('JH20251130001'), ('JH20261205007'), (' JH20261205008 '), ('JH''9')");
        f->store.exec("insert into jinhuo (单据号, 编号, 金额, 入库) values "
                      "('JH''9', '005', 9, null), ('JH20261205007', '001', 1184.5, '已入库'), "
                      "('JH20261205007', '002', 50, '已入库'), "
                      "('JH20261205007', null, null, '已入库'), "
                      "('JH20261205008', '003', 0.1, null), ('JH20261205008', '004', 0.2, null)");
        f->screen = std::make_unique<DocumentQueryFrm>(f->store.store(),
                                                           purchaseDocumentQuery());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void lookUpTakeOverAndSearch()
    {
        QLineEdit *box = widget("Text1");
        DataGrid *lookup = widget<DataGrid>("DBGrid2");
        QCOMPARE(headers(), QStringList()); // closed at first
        // Typing goes on after the prefix; the drop-down lists headers beginning so, below the box.
        typeInto(box, "2026");
        QCOMPARE(headers(), QStringList{"JH20261205007"});
        QCOMPARE(lookup->geometry(), QRect(box->mapTo(f->screen.get(), QPoint(0, twips(300))),
                                           twipsSize(6000, 1300)));
        // The search wants the whole number.
        clickSearch();
        QCOMPARE(shown(), "0 0 0");

        // Emptied, the box lists every header, in the order of their numbers. Down enters the
        // list, where the arrows choose; Enter back in the box takes the number over, trimmed;
        // Enter again searches, pending lines too.
        box->clear();
        QCOMPARE(headers(), (QStringList{" JH20261205008 ", "JH'9", "JH20251130001",
                                         "JH20261205007"}));
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(lookup, Qt::Key_Down);
        QTest::keyClick(lookup, Qt::Key_Up);
        box->setFocus();
        pressEnter(box);
        QCOMPARE(box->text(), "JH20261205008");
        pressEnter(box);
        QCOMPARE(shown(), "2 0.3 2");

        // Enter in the list takes over too, closes it and hands the focus back; a quote is
        // only text.
        box->clear();
        typeInto(box, "JH'");
        QCOMPARE(headers(), QStringList{"JH'9"});
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(lookup, Qt::Key_Return);
        QCOMPARE(box->text(), "JH'9");
        QCOMPARE(headers(), QStringList());
        QVERIFY(box->hasFocus());
        clickSearch();
        QCOMPARE(shown(), "1 9 1");
        // A line without code is listed but not counted.
        box->setText("JH20261205007");
        clickSearch();
        QCOMPARE(shown(), "2 1234.5 3");

        // A number longer than any stored one finds no header and is refused by name; the list
        // stays.
        box->setText(QString(20000, QChar(0x7518)));
        QCOMPARE(headers(), QStringList());
        clickSearch();
        QCOMPARE(f->messages.texts, QStringList{"单据号 不能超过255个字"});
        QVERIFY(box->hasFocus());
        QCOMPARE(shown(), "2 1234.5 3");
    }
};

QTEST_MAIN(tst_JindanchaFrm)
#include "tst_jindanchafrm.moc"
