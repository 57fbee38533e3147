#include "reference/referencescreens.h"
#include "shell/childscreen.h"
#include "shell/screenregistry.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <memory>

class TestReferenceScreens : public QObject
{
    Q_OBJECT

private slots:
    void everyScreenIsRegisteredUnderItsName()
    {
        // Each screen under its name, with its caption and its size in twips.
        const struct { const char *name, *caption; int width, height; } screens[] = {
            {"binmingfrm", "药材字典", 8940, 6345},  {"kufangfrm", "库房设置", 4650, 3435},
            {"danweifrm", "计量单位", 4650, 3435},   {"fenleifrm", "药材分类", 4650, 3435},
            {"gongnengfrm", "功能", 4650, 3435},     {"gonghuofrm", "供货单位", 8280, 5640},
            {"kehufrm", "客户资料", 8280, 5640},     {"yuangongfrm", "员工资料", 8280, 5640},
            {"yonghufrm", "用户设置", 4125, 2895},   {"mimafrm", "密码设置", 3735, 2610},
            {"qitafrm", "其他设置", 3120, 2865},     {"yaocaifrm", "药材维护", 11115, 5525}};
        TempStore db;
        ScreenRegistry registry;
        registerReferenceScreens(registry);
        for (const auto &expected : screens) {
            std::unique_ptr<ChildScreen> screen(registry.create(expected.name, db.store()));
            QVERIFY2(screen, expected.name);
            QCOMPARE(screen->windowTitle(), QString::fromUtf8(expected.caption));
            QCOMPARE(screen->windowSize(), twipsSize(expected.width, expected.height));
        }
    }

    void everyEntryRefusesTextTooLongForItsColumn_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("given");   // "box=text" typed before the long text
        QTest::addColumn<QString>("longBox");     // where the long text is pasted
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("table");       // which must not grow
        // A dictionary or catalogue code that long would otherwise fail the duplicate test.
        QTest::newRow("dictionary code") << "binmingfrm" << QStringList{"Text2_1=甘草"}
                                         << "Text2_0" << "编号 不能超过255个字" << "bianhao";
        QTest::newRow("dictionary function")
            << "binmingfrm" << QStringList{"Text2_0=GC01", "Text2_1=甘草"} << "Combo3"
            << "功能 不能超过255个字" << "bianhao";
        QTest::newRow("catalogue origin")
            << "yaocaifrm" << QStringList{"Text2_0=GC01", "Text2_1=甘草", "Combo4=安国"}
            << "Text2_4" << "产地 不能超过255个字" << "yaocai";
        QTest::newRow("warehouse") << "kufangfrm" << QStringList{} << "Text1"
                                   << "库房 不能超过255个字" << "kufang";
        QTest::newRow("supplier address") << "gonghuofrm" << QStringList{"Text1=甲"} << "Text2"
                                          << "地址 不能超过255个字" << "changjia";
        QTest::newRow("user name") << "yonghufrm" << QStringList{} << "Text1"
                                   << "用户名 不能超过255个字" << "user";
    }

    void everyEntryRefusesTextTooLongForItsColumn()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, given);
        QFETCH(QString, longBox);
        QFETCH(QString, message);
        QFETCH(QString, table);
        TempStore db;
        MessageRecorder messages;
        ScreenRegistry registry;
        registerReferenceScreens(registry);
        std::unique_ptr<ChildScreen> window(registry.create(screen, db.store()));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const auto setText = [&](const QString &box, const QString &text) {
            QWidget *widget = findWidget<QWidget>(window.get(), box);
            if (auto *combo = qobject_cast<QComboBox *>(widget))
                combo->setEditText(text);
            else
                static_cast<QLineEdit *>(widget)->setText(text);
        };
        for (const QString &entry : given)
            setText(entry.section('=', 0, 0), entry.section('=', 1));
        const QString addButton = screen == "binmingfrm" || screen == "yaocaifrm"
                                      ? QStringLiteral("Command3")
                                      : QStringLiteral("Command1");
        const QString countRows = "SELECT count(*) FROM \"" + table + "\"";
        const int before = db.scalar(countRows).toInt();

        // Pasted, or one character too many: refused by name, the box to mend has the focus.
        for (const QString &text : {QString(20000, QChar(0x7518)), QString(256, 'x')}) {
            messages.clear();
            setText(longBox, text);
            QTest::mouseClick(findWidget<QWidget>(window.get(), addButton), Qt::LeftButton);
            QCOMPARE(messages.texts, QStringList{message});
            QWidget *box = findWidget<QWidget>(window.get(), longBox);
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(box == focus || box->isAncestorOf(focus));
            QCOMPARE(db.scalar(countRows).toInt(), before);
        }
        // 255 characters fit.
        messages.clear();
        setText(longBox, QString(255, 'x'));
        QTest::mouseClick(findWidget<QWidget>(window.get(), addButton), Qt::LeftButton);
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(db.scalar(countRows).toInt(), before + 1);
    }

    void entryScreensStartAtTheirFirstBoxInsideWholeFrames()
    {
        // The first box of each Enter chain, though other boxes come before it on the screen.
        const std::pair<const char *, const char *> starts[] = {
            {"binmingfrm", "Text2_0"}, {"yaocaifrm", "Text2_0"}, {"gonghuofrm", "Text1"},
            {"kehufrm", "Text1"},      {"yuangongfrm", "Text1"}, {"mimafrm", "Combo1"}};
        TempStore db;
        ScreenRegistry registry;
        registerReferenceScreens(registry);
        for (const auto &[name, start] : starts) {
            std::unique_ptr<ChildScreen> screen(registry.create(name, db.store()));
            screen->show();
            screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(screen.get()));
            QCOMPARE(QApplication::focusWidget()->objectName(), QString(start));
            // Every control of a frame lies inside it, below its title.
            for (const QGroupBox *frame : screen->findChildren<QGroupBox *>()) {
                for (const QWidget *control :
                     frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                    QVERIFY2(frame->contentsRect().contains(control->geometry()),
                             qPrintable(QString(name) + " " + control->objectName()));
                }
            }
        }
    }
};

QTEST_MAIN(TestReferenceScreens)
#include "tst_referencescreens.moc"
