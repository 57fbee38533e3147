#include "shell/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
Messages::Sink *installedSink = nullptr;
}

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
