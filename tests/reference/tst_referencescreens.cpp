#include "reference/referencescreens.h"
#include "shell/childscreen.h"
#include "shell/screenregistry.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QGroupBox>
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
