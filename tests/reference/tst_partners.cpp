#include "reference/partnerfrm.h"
#include "support/testsupport.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>

// Every value of the table, row by row, Null shown as "~" so that it differs from the empty text.
static QString stored(TempStore &db, const QString &table)
{
    QStringList texts;
    for (const QVariantList &row : db.tableRows(table))
        for (const QVariant &value : row)
            texts << (value.isNull() ? QStringLiteral("~") : value.toString());
    return texts.join(' ');
}

class TestPartners : public QObject
{
    Q_OBJECT

private slots:
    // Suppliers, customers and staff: one screen, told apart by its table and labels.
    void addAndDelete()
    {
        const QList<std::pair<PartnerConfig, QString>> screens{
            {Partners::gonghuo(), "供货厂家|地    址|联系|电话"},
            {Partners::kehu(), "客户|地址|联系|电话"},
            {Partners::yuangong(), "员工|地址|电话|备注"}};
        for (const auto &[config, labels] : screens) {
            TempStore db;
            MessageRecorder messages;
            db.exec("INSERT INTO " + config.table + " VALUES ('甲', '', '', '')");
            PartnerFrm screen(db.store(), config);
            screen.show();
            screen.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&screen));
            const auto box = [&](int number) {
                return findWidget<QLineEdit>(&screen, QStringLiteral("Text%1").arg(number));
            };
            QStringList shown;
            for (int number = 1; number <= 4; ++number)
                shown << findWidget<QLabel>(&screen, "Label" + QString::number(number))->text();
            QCOMPARE(shown.join('|'), labels);
            typeInto(box(1), "同仁'堂");
            // Boxes left empty are stored as Null; the boxes keep their text.
            QTest::mouseClick(findWidget<QWidget>(&screen, "Command1"), Qt::LeftButton);
            // Enter moves through the boxes in reading order; the last one adds, starting the next.
            const QStringList values{"北京", "王*", "010"};
            for (int number = 2; number <= 4; ++number) {
                pressEnter(box(number - 1));
                QVERIFY(box(number)->hasFocus());
                typeInto(box(number), values[number - 2]);
            }
            pressEnter(box(4));
            QVERIFY(box(1)->hasFocus());
            // The next one with the same address, contact and telephone: its name and four Enters.
            typeInto(box(1), "w1");
            for (int i = 0; i < 4; ++i)
                pressEnter(QApplication::focusWidget());
            auto *grid = findWidget<QAbstractItemView>(&screen, "DBGrid1");
            grid->setCurrentIndex(grid->model()->index(0, 0));
            QTest::mouseClick(findWidget<QWidget>(&screen, "Command2"), Qt::LeftButton);
            QCOMPARE(stored(db, config.table),
                     QStringLiteral("同仁'堂 ~ ~ ~ 同仁'堂 北京 王* 010 w1 北京 王* 010"));
            QVERIFY(messages.texts.isEmpty());
        }
    }
};

QTEST_MAIN(TestPartners)
#include "tst_partners.moc"
