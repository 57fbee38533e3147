#include "shell/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QTimer>

class tst_Messages : public QObject
{
    Q_OBJECT

    // The caption room of a frame as wide as the box, drawn in a font a quarter larger than
    // the title font of the child windows, against the caption's width in that font.
    static QPair<int, int> captionRoom(QMessageBox *box)
    {
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setPointSizeF(font.pointSizeF() * 1.25);
        QStyleOptionTitleBar frame;
        frame.initFrom(box);
        frame.rect = QRect(0, 0, box->width(), 24);
        frame.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
        frame.subControls = QStyle::SC_All;
        const QRect label = box->style()->subControlRect(QStyle::CC_TitleBar, &frame,
                                                         QStyle::SC_TitleBarLabel, box);
        return {label.width(), QFontMetrics(font).horizontalAdvance(box->windowTitle())};
    }

private slots:
    void shortMessagesKeepTheCaptionWhole()
    {
        // Each box is looked at and closed as soon as it shows.
        QList<QPair<int, int>> rooms;
        QStringList captions;
        const auto inspectNextBox = [&] {
            QTimer::singleShot(0, this, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                captions << box->windowTitle();
                rooms << captionRoom(box);
                box->reject();
            });
        };
        inspectNextBox();
        Messages::inform(nullptr, "不能空");
        inspectNextBox();
        Messages::inform(nullptr, "密码不正确！", "提示");
        inspectNextBox();
        QVERIFY(!Messages::confirm(nullptr, "删除吗？"));

        QCOMPARE(captions, (QStringList{"岚溪材进销存", "提示", "岚溪材进销存"}));
        for (const auto &[room, caption] : rooms)
            QVERIFY2(room >= caption, qPrintable(QString("%1 < %2").arg(room).arg(caption)));
    }
};

QTEST_MAIN(tst_Messages)
#include "tst_messages.moc"
