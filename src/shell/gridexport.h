#pragma once

#include "export/tablewriter.h"

#include <QObject>
#include <functional>

class DataGrid;
class QAction;
class QLineEdit;
class QToolButton;

// The export of a data grid's rows to a CSV or XLSX file: "导出..." in the grid's right-click
// menu and a small button in the corner between its headers. Every row of the grid's result
// goes into the file, with the totals the screen shows, if it offers them, as the last row.
class GridExport : public QObject
{
    Q_OBJECT

public:
    explicit GridExport(DataGrid *grid);

    using Totals = std::function<QList<ExportTotal>()>;
    // The screen's totals of the grid's result, asked for at each export.
    void setTotals(Totals totals) { m_totals = std::move(totals); }
    // Totals read from the screen's boxes at each export, each after its caption.
    static Totals boxTotals(const QList<QPair<QString, const QLineEdit *>> &boxes);

    // Asks for a file, then exports into it.
    void run();
    // Exports into the file, in the format its name asks for, showing progress; tells the user
    // how it went. True when the file was written.
    bool exportTo(const QString &path);

    QAction *action() const { return m_action; }
    QToolButton *button() const { return m_button; }

    // What the user chose in the save dialog (empty: cancelled). Tests install their own.
    using FileChooser = std::function<QString(QWidget *parent, const QString &suggestedPath)>;
    static FileChooser installFileChooser(FileChooser chooser);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeButton();
    QString suggestedPath() const;

    DataGrid *m_grid;
    QAction *m_action;
    QToolButton *m_button;
    Totals m_totals;
};
