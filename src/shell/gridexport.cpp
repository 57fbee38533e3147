#include "shell/gridexport.h"

#include "export/listexport.h"
#include "shell/datagrid.h"
#include "shell/messages.h"
#include "shell/taskprogress.h"
#include "store/clock.h"
#include "store/cursor.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPainter>
#include <QStandardPaths>
#include <QToolButton>

namespace {

const QString XlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");
const QString CsvFilter = QStringLiteral("CSV 文件 (*.csv)");

// The folder of the last export in this run: the next one suggests it again.
QString &lastFolder()
{
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

QString askForFile(QWidget *parent, const QString &suggestedPath)
{
    QString filter = XlsxFilter;
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出"), suggestedPath,
                                                XlsxFilter + QStringLiteral(";;") + CsvFilter,
                                                &filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += filter == CsvFilter ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    return path;
}

GridExport::FileChooser &fileChooser()
{
    static GridExport::FileChooser chooser = askForFile;
    return chooser;
}

// A small arrow into a tray: "take the list out".
QIcon exportIcon()
{
    QPixmap picture(12, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x60, 0xa0), 1.5));
    painter.drawLine(QPointF(6, 1), QPointF(6, 8));
    painter.drawLine(QPointF(3, 5.5), QPointF(6, 8.5));
    painter.drawLine(QPointF(9, 5.5), QPointF(6, 8.5));
    painter.drawPolyline(QPolygonF{{1, 8}, {1, 11}, {11, 11}, {11, 8}});
    return QIcon(picture);
}

} // namespace

GridExport::GridExport(DataGrid *grid)
    : QObject(grid), m_grid(grid), m_action(new QAction(QStringLiteral("导出..."), grid)),
      m_button(new QToolButton(grid))
{
    m_action->setObjectName(QStringLiteral("exportAction"));
    grid->addAction(m_action);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_action, &QAction::triggered, this, &GridExport::run);

    // The corner between the headers would select every cell; the export button takes it.
    grid->setCornerButtonEnabled(false);
    m_button->setObjectName(QStringLiteral("exportButton"));
    m_button->setToolTip(QStringLiteral("导出..."));
    m_button->setIcon(exportIcon());
    m_button->setIconSize(QSize(12, 12));
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &GridExport::run);
    grid->installEventFilter(this);
    grid->horizontalHeader()->installEventFilter(this);
    grid->verticalHeader()->installEventFilter(this);
    placeButton();
}

GridExport::FileChooser GridExport::installFileChooser(FileChooser chooser)
{
    FileChooser previous = fileChooser();
    fileChooser() = chooser ? std::move(chooser) : FileChooser(askForFile);
    return previous;
}

bool GridExport::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        placeButton();
    return false;
}

void GridExport::placeButton()
{
    const int frame = m_grid->frameWidth();
    m_button->setGeometry(frame, frame, m_grid->verticalHeader()->width(),
                          m_grid->horizontalHeader()->height());
    m_button->raise();
}

QString GridExport::suggestedPath() const
{
    // Named after the screen that shows the grid, and the day.
    QString title;
    for (const QWidget *widget = m_grid; widget && title.isEmpty();
         widget = widget->parentWidget()) {
        title = widget->windowTitle();
    }
    const QString name = QStringLiteral("%1-%2.xlsx")
                             .arg(title.isEmpty() ? QStringLiteral("导出") : title,
                                  Clock::today().toString(QStringLiteral("yyyyMMdd")));
    return QDir(lastFolder()).filePath(name);
}

GridExport::Totals GridExport::boxTotals(const QList<QPair<QString, const QLineEdit *>> &boxes)
{
    QList<QPair<QString, QPointer<const QLineEdit>>> watched;
    for (const auto &[caption, box] : boxes)
        watched.append({caption, box});
    return [watched] {
        QList<ExportTotal> totals;
        for (const auto &[caption, box] : watched) {
            if (box)
                totals.append({caption, box->text()});
        }
        return totals;
    };
}

void GridExport::run()
{
    if (!m_grid->cursor()->isOpen()) {
        Messages::inform(m_grid, QStringLiteral("列表中没有可导出的记录。"));
        return;
    }
    const QString path = fileChooser()(m_grid, suggestedPath());
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    exportTo(path);
}

bool GridExport::exportTo(const QString &path)
{
    Cursor *cursor = m_grid->cursor();
    if (!cursor->isOpen()) {
        Messages::inform(m_grid, QStringLiteral("列表中没有可导出的记录。"));
        return false;
    }
    // A cell edit still held by the grid belongs in the file.
    m_grid->submitPendingEdits();
    ExportOutcome outcome;
    {
        TaskProgress progress(m_grid, QStringLiteral("正在导出..."));
        outcome = exportList(cursor->store(), cursor->source(),
                             m_totals ? m_totals() : QList<ExportTotal>(), formatOfFile(path),
                             path, [&progress](qint64 done, qint64 total) {
                                 return progress.advance(done, total);
                             });
    }
    switch (outcome.result) {
    case ExportOutcome::Result::Written:
        Messages::inform(m_grid, QStringLiteral("已导出 %1 行到：\n%2")
                                     .arg(outcome.rows)
                                     .arg(QDir::toNativeSeparators(path)));
        return true;
    case ExportOutcome::Result::Stopped:
        Messages::inform(m_grid, QStringLiteral("导出已取消，没有写入文件。"));
        return false;
    case ExportOutcome::Result::Failed:
        Messages::inform(m_grid, QStringLiteral("导出失败：%1").arg(outcome.problem));
        return false;
    }
    return false;
}
