#include "purchasing/purchasequeries.h"
#include "shell/datagrid.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

class tst_JinhuochaFrm : public QObject
{
    Q_OBJECT

    struct Session
    {
        TempStore store;
        MessageRecorder messages;
        FixedToday today{QDate(2026, 12, 5)};
        std::unique_ptr<LineQueryFrm> screen; // goes first, before the store it uses
    };
    std::unique_ptr<Session> f;

    template <typename T = QLineEdit> T *widget(const char *name)
    {
        return findWidget<T>(f->screen.get(), name);
    }
    void click(const char *name) { QTest::mouseClick(widget<QPushButton>(name), Qt::LeftButton); }
    QLineEdit *supplier() { return widget<QComboBox>("Combo1")->lineEdit(); }
    // Types the condition ("from~to" for the two dates) into the boxes, which chooses that way
    // of searching, then clicks the search button.
    void search(const QList<QLineEdit *> &boxes, const QString &condition)
    {
        for (int i = 0; i < boxes.size(); ++i) {
            boxes[i]->clear();
            typeInto(boxes[i], condition.section('~', i, i));
        }
        click("Command1");
    }
    // The count, quantity and amount under the list, then the lines listed.
    QString shown()
    {
        return QString("%1 %2 %3 %4")
            .arg(widget("Text4")->text(), widget("Text5")->text(), widget("Text6")->text())
            .arg(widget<DataGrid>("DBGrid1")->model()->rowCount());
    }
    // The rowids of the stored lines; the seeded ones are 1 to 7.
    QString stored()
    {
        return f->store.scalar("select group_concat(r, ' ') from (select rowid r from jinhuo "
                               "order by r)").toString();
    }

private slots:
    void init()
    {
        f = std::make_unique<Session>();
        f->store.exec("insert into changjia (厂家) values ('  甲药厂 '), ('乙''s 药厂'), ('丙药厂')");
        // Two years, pending and posted, a quote in one name, Nulls, and sums large enough that
        // any loss of precision shows in the cents.
        f->store.exec("insert into jinhuo (单据号, 日期, 编号, 品名, 厂家, 数量, 金额, 入库) values "
                      "('JH2', '2026-01-10', '001', '当归', '甲药厂', 10, 50, '已入库'), "
                      "('JH3', '2026-01-31', '001', '当归', '甲药厂', 2.5, 1184.5, null), "
                      "('JH4', '2026-02-01', '002', '党参', '乙''s 药厂', 3, 30, '已入库'), "
                      "('JH4', '2026-02-01', '003', '川贝''母', '*', 4, 40, '已入库'), "
                      "('JH5', '2026-02-02', '005', '黄芪', '丁药厂', null, null, null), "
                      "('JH9', '2027-06-01', '019', '白芷', '戊药厂', 1000000.1, 1234567.89, '已入库'), "
                      "('JH9', '2027-06-01', '020', '白术', '戊药厂', 0.2, 0.01, '已入库')");
        f->screen = std::make_unique<LineQueryFrm>(f->store.store(), purchaseLineQuery());
        f->screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->screen.get()));
    }
    void cleanup() { f.reset(); }

    void searchesReplaceTheListOrAreRefused()
    {
        QCOMPARE(f->screen->focusWidget(), widget("Text1")); // typing starts in the code box
        // Suppliers come trimmed from their table; dates start at today.
        QCOMPARE(widget<QComboBox>("Combo1")->itemText(0), "甲药厂");
        QCOMPARE(widget("Text2")->text(), "2026-12-05");
        QCOMPARE(shown(), "0 0 0 0");
        // Code or name, whole; a quote is only text; Nulls add nothing. Totals show as the
        // database returns them, quantities and money alike.
        search({widget("Text1")}, "002");
        QCOMPARE(shown(), "1 3 30 1");
        search({widget("Text1")}, "当");
        QCOMPARE(shown(), "0 0 0 0");
        search({widget("Text1")}, "川贝'母");
        QCOMPARE(shown(), "1 4 40 1");
        search({widget("Text1")}, "黄芪");
        QCOMPARE(shown(), "1 0 0 1");
        // The supplier, to the exact cent, binary noise hidden.
        search({supplier()}, "戊药厂");
        QCOMPARE(shown(), "2 1000000.3 1234567.9 2");
        // Both ends of the range count; dates typed otherwise are shown back in stored form.
        search({widget("Text2"), widget("Text3")}, "2026/1/10~20260131");
        QCOMPARE(shown(), "2 12.5 1234.5 2");
        QCOMPARE(widget("Text2")->text() + '~' + widget("Text3")->text(), "2026-01-10~2026-01-31");

        // A refused date is named, keeps its text and the focus; the list stays.
        const char *const refusals[][3] = {{"2026-02-30~2026-01-31", "Text2", "起始日期"},
                                           {"2026-01-01~2026-13-01", "Text3", "截止日期"}};
        for (const auto &refusal : refusals) {
            f->messages.clear();
            search({widget("Text2"), widget("Text3")}, refusal[0]);
            QVERIFY2(f->messages.texts.size() == 1 && f->messages.last().startsWith(refusal[2]),
                     qPrintable(f->messages.texts.join('|')));
            QVERIFY(widget(refusal[1])->hasFocus());
            QCOMPARE(widget("Text2")->text() + '~' + widget("Text3")->text(), refusal[0]);
            QCOMPARE(shown(), "2 12.5 1234.5 2");
        }
        // A text longer than any stored one is refused by its box's name, before the engine.
        const std::pair<QLineEdit *, const char *> tooLong[] = {
            {widget("Text1"), "编号/品名 不能超过255个字"}, {supplier(), "供货单位 不能超过255个字"}};
        for (const auto &[box, message] : tooLong) {
            f->messages.clear();
            box->setText(QString(20000, QChar(0x7518)));
            typeInto(box, "x"); // a typed condition chooses its way of searching
            click("Command1");
            QCOMPARE(f->messages.texts, QStringList{message});
            // The box itself, or the combo box it is the text of, has the focus.
            const QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus == box || focus == box->parentWidget());
            QCOMPARE(shown(), "2 12.5 1234.5 2");
        }
        // A search the store fails is reported, after the last refusal, and lists nothing.
        f->store.exec("drop table jinhuo.jinhuo");
        search({supplier()}, "戊药厂");
        QVERIFY2(f->messages.texts.size() == 2 && f->messages.last().startsWith("查询失败"),
                 qPrintable(f->messages.texts.join('|')));
        QCOMPARE(shown(), "0 0 0 0");
    }

    void deletesTakeTheClickedLineThenAllListedOrNothing()
    {
        // Neither delete does anything before any search, nor after one that found nothing.
        click("Command3");
        click("Command2");
        search({widget("Text1")}, "没有");
        click("Command3");
        click("Command2");
        QCOMPARE(stored(), "1 2 3 4 5 6 7");

        f->store.exec("create temp trigger keep_003 before delete on jinhuo.jinhuo "
                      "when old.编号 = '003' begin select raise(abort, '记录被锁定'); end");
        search({widget("Text2"), widget("Text3")}, "2026-01-10~2026-02-01");
        QCOMPARE(shown(), "4 19.5 1304.5 4");
        // Twice, so the row clicked after a delete is the one that goes, not a neighbour.
        DataGrid *grid = widget<DataGrid>("DBGrid1");
        for (const char *left : {"1 3 4 5 6 7", "1 4 5 6 7"}) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(1, 0)).center());
            click("Command3");
            QCOMPARE(stored(), left);
        }

        // One listed line is locked: none go, and the list and totals stay.
        click("Command2");
        QCOMPARE(stored(), "1 4 5 6 7");
        QVERIFY2(f->messages.texts.size() == 1 && f->messages.last().contains("记录被锁定"),
                 qPrintable(f->messages.texts.join('|')));
        QCOMPARE(shown(), "2 14 90 2");
        // Unlocked, a retry removes the listed lines, but not one that matches and came later.
        f->store.exec("drop trigger temp.keep_003");
        f->store.exec("insert into jinhuo (单据号, 日期, 编号, 数量, 金额) "
                      "values ('JH6', '2026-01-20', '006', 1, 1)");
        click("Command2");
        QCOMPARE(stored(), "5 6 7 8");
        QCOMPARE(shown(), "0 0 0 0");

    }
};

QTEST_MAIN(tst_JinhuochaFrm)
#include "tst_jinhuochafrm.moc"
