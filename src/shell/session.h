#pragma once

#include <QString>

class QWidget;

// What the login reads once per run and hands on to the main window: the company name shown in
// the main caption and printed on the sales slip. No user name is kept.
struct Session
{
    QString companyName;
};

// The session of the main window that hosts the widget (directly or through the windows that
// opened it); nullptr for a widget outside a main window.
const Session *sessionOf(const QWidget *widget);
