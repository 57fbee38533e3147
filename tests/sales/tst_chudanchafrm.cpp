#include "sales/salesqueries.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

// The sales document query: the shared document query on the sales headers and lines.
class tst_ChudanchaFrm : public QObject
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
    QString shown()
    {
        return QString("%1 %2 %3").arg(widget("Text2")->text(), widget("Text3")->text()).arg(
            widget<DataGrid>("DBGrid1")->model()->rowCount());
    }
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
        f->store.exec("INSERT INTO danju (销售单, 日期, 购货单位) VALUES "
                      "('XS20261205007', '2026-12-05', '仁和堂'), ('XS20251205001', NULL, NULL), "
                      "('XS20261205008', '2026-12-05', NULL)");
        f->store.exec("INSERT INTO chuhuo (单据号, 编号, 金额, 出库) VALUES "
                      "('XS20261205007', '210', 60, '已出库'), "
                      "('XS20261205007', '120', 7.5, '已出库'), "
                      "('XS20261205008', '120', 1, NULL), ('JH20261205007', '120', 99, NULL)");
        f->screen = std::make_unique<DocumentQueryFrm>(f->store.store(), salesDocumentQuery());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void headersTakenOverAndSearched()
    {
        QCOMPARE(f->screen->objectName(), "chudanchafrm");
        QCOMPARE(f->screen->windowTitle(), "销售单据");
        QLineEdit *box = widget("Text1");
        QCOMPARE(box->text(), "XS");
        QCOMPARE(headers(), QStringList());
        // The drop-down lists the sales headers beginning so.
        typeInto(box, "2026");
        QCOMPARE(headers(), (QStringList{"XS20261205007", "XS20261205008"}));
        // Down enters the list; the arrows choose; Enter back in the box takes the number over
        // and closes the list; 搜索 lists the document's lines with count and total.
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(widget<DataGrid>("DBGrid2"), Qt::Key_Down);
        box->setFocus();
        pressEnter(box);
        QCOMPARE(box->text(), "XS20261205008");
        QCOMPARE(headers(), QStringList());
        QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(shown(), "1 1 1");
        // With the list closed Enter searches, posted lines as well.
        box->setText("XS20261205007");
        pressEnter(box);
        pressEnter(box);
        QCOMPARE(shown(), "2 67.5 2");
        // An incomplete number finds nothing.
        box->setText("XS2026");
        QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(shown(), "0 0 0");
        QVERIFY(f->messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_ChudanchaFrm)
#include "tst_chudanchafrm.moc"
