#pragma once

#include "shell/childscreen.h"

#include <optional>

class Cursor;
class QLabel;
class QLineEdit;
class QPushButton;

// The company name and the two document counters (the sequence part of the next purchase and
// sales document numbers). Lowering a counter, which may repeat document numbers, is confirmed.
class QitaFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit QitaFrm(Store &store, QWidget *parent = nullptr);

    // A counter as typed: a whole number from 0 up (blanks around it allowed), else nothing.
    static std::optional<qint64> parseCounter(const QString &text);

private:
    static QString counterText(const QVariant &stored);
    void saveSettings();
    bool readCounters(qint64 *purchase, qint64 *sales);
    bool lowersACounter(qint64 purchase, qint64 sales);
    bool writeFirstRow(const QString &table, const QVariantList &values);

    Cursor *Data1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Text1;
    QLineEdit *Text2;
    QLineEdit *Text3;
    QPushButton *Command1;
    QPushButton *Command2;
};
