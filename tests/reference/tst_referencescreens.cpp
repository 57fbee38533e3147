#include "reference/referencescreens.h"
#include "shell/childscreen.h"
#include "shell/screenregistry.h"
#include "shell/twips.h"
#include "support/testsupport.h"

#include <memory>

class TestReferenceScreens : public QObject
{
    Q_OBJECT

private slots:
    void registeredByName_data();
    void registeredByName();
};

void TestReferenceScreens::registeredByName_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("sizeTwips");
    QTest::newRow("binmingfrm") << "药材字典" << QSize(8940, 6345);
    QTest::newRow("kufangfrm") << "库房设置" << QSize(4650, 3435);
    QTest::newRow("danweifrm") << "计量单位" << QSize(4650, 3435);
    QTest::newRow("fenleifrm") << "药材分类" << QSize(4650, 3435);
    QTest::newRow("gongnengfrm") << "功能" << QSize(4650, 3435);
    QTest::newRow("gonghuofrm") << "供货单位" << QSize(8280, 5640);
    QTest::newRow("kehufrm") << "客户资料" << QSize(8280, 5640);
    QTest::newRow("yuangongfrm") << "员工资料" << QSize(8280, 5640);
    QTest::newRow("yonghufrm") << "用户设置" << QSize(4125, 2895);
    QTest::newRow("mimafrm") << "密码设置" << QSize(3735, 2610);
    QTest::newRow("qitafrm") << "其他设置" << QSize(3120, 2865);
}

void TestReferenceScreens::registeredByName()
{
    QFETCH(QString, caption);
    QFETCH(QSize, sizeTwips);
    TempStore db;
    ScreenRegistry registry;
    registerReferenceScreens(registry);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    std::unique_ptr<ChildScreen> screen(registry.create(name, db.store()));
    QVERIFY(screen);
    QCOMPARE(screen->objectName(), name);
    QCOMPARE(screen->windowTitle(), caption);
    QCOMPARE(screen->windowSize(), twipsSize(sizeTwips.width(), sizeTwips.height()));
}

QTEST_MAIN(TestReferenceScreens)
#include "tst_referencescreens.moc"
