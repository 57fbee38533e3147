#include "shell/qttranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class tst_QtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void qtsOwnTextsSpeakChinese()
    {
        const auto standardTexts = [] {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            return QStringList{box.button(QDialogButtonBox::Cancel)->text(),
                               QCoreApplication::translate("QLineEdit", "&Undo"),
                               QCoreApplication::translate("QMdiSubWindow", "&Close")};
        };
        QCOMPARE(standardTexts(), (QStringList{"Cancel", "&Undo", "&Close"}));
        // Qt's Chinese translations come with the package the install script lists.
        QVERIFY(installQtChineseTexts(*qApp));
        QCOMPARE(standardTexts(), (QStringList{"取消", "撤消(&U)", "关闭(&C)"}));
    }
};

QTEST_MAIN(tst_QtTranslations)
#include "tst_qttranslations.moc"
