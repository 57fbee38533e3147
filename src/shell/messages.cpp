#include "shell/messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

namespace {

Messages::Sink *installedSink = nullptr;

// A short text makes a narrow box whose caption the window frame cuts off. The frame draws the
// caption in its own font, often larger than the title font of the child windows, beside the
// window's icon and close box: the box keeps room for a caption a quarter wider than that title
// font sets it, and for those buttons.
void makeRoomForCaption(QMessageBox &box)
{
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    const int buttons = 4 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int width = title.horizontalAdvance(box.windowTitle()) * 5 / 4 + buttons;
    // The box sizes itself from its layout's minimum width; a spacer across it raises that.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

} // namespace

namespace Messages {

QString applicationTitle()
{
    return QStringLiteral("岚溪材进销存");
}

void inform(QWidget *parent, const QString &text, const QString &caption)
{
    const QString title = caption.isEmpty() ? applicationTitle() : caption;
    if (installedSink) {
        installedSink->inform(text, title);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    makeRoomForCaption(box);
    box.exec();
}

bool confirm(QWidget *parent, const QString &text)
{
    if (installedSink)
        return installedSink->confirm(text);
    QMessageBox box(QMessageBox::Question, applicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(QMessageBox::No);
    makeRoomForCaption(box);
    return box.exec() == QMessageBox::Yes;
}

bool retry(QWidget *parent, const QString &text)
{
    if (installedSink)
        return installedSink->retry(text);
    QMessageBox box(QMessageBox::Warning, applicationTitle(), text,
                    QMessageBox::Retry | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Retry)->setText(QStringLiteral("重试"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Retry);
    return box.exec() == QMessageBox::Retry;
}

Sink *installSink(Sink *sink)
{
    Sink *previous = installedSink;
    installedSink = sink;
    return previous;
}

} // namespace Messages
