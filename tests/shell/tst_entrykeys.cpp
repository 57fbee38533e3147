#include "shell/entrykeys.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QWindow>

class tst_EntryKeys : public QObject
{
    Q_OBJECT

private slots:
    void oneEnterInAnOpenListChoosesAndMovesOn()
    {
        QWidget window;
        QComboBox *combo = makeEntryCombo("Combo1", &window);
        combo->addItems({"一号库", "二号库", "三号库"});
        auto *next = new QLineEdit(&window);
        next->move(0, 40);
        QStringList log;
        EntryKeys::chainEnter({combo, next}, [&log] { log << "added"; });
        EntryKeys::onListClosed(combo, [&log] { log << "closed"; });
        connect(combo, &QComboBox::activated, this,
                [&](int index) { log << "chose " + combo->itemText(index); });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // Space opens the list; the arrows move in it; one Enter chooses, closes and moves on.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Space);
        QVERIFY(combo->view()->isVisible());
        // The keys come as the windowing system sends them, to the list's popup window.
        QWindow *list = combo->view()->window()->windowHandle();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("二号库"));
        QCOMPARE(QApplication::focusWidget(), next);
        QCOMPARE(log, (QStringList{"closed", "chose 二号库"}));

        // A list closed without a choice moves nothing; Enter in the box still moves on.
        log.clear();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Space);
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QVERIFY(!combo->view()->isVisible());
        QCOMPARE(QApplication::focusWidget(), combo);
        pressEnter(combo);
        QCOMPARE(QApplication::focusWidget(), next);
        QCOMPARE(log, QStringList{"closed"});
    }
};

QTEST_MAIN(tst_EntryKeys)
#include "tst_entrykeys.moc"
