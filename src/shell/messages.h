#pragma once

#include <QString>

class QWidget;

// Every message box of the program goes through here, so that tests can record the messages
// instead of blocking on modal boxes.
namespace Messages {

// The application's title, shown as the caption of messages that name none.
QString applicationTitle();

// A modal box with the text and an OK button.
void inform(QWidget *parent, const QString &text, const QString &caption = QString());
// A modal question with "是" and "否"; true for "是".
bool confirm(QWidget *parent, const QString &text);
// A modal box with "重试" and "取消", for a trouble that may pass; true for "重试".
bool retry(QWidget *parent, const QString &text);

// Receives the messages instead of modal boxes while installed.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void inform(const QString &text, const QString &caption) = 0;
    virtual bool confirm(const QString &text) = 0;
    virtual bool retry(const QString &text) = 0;
};

// Installs a sink (nullptr restores the modal boxes); returns the one it replaces.
Sink *installSink(Sink *sink);

} // namespace Messages
