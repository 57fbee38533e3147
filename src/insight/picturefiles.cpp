#include "insight/picturefiles.h"

#include "shell/messages.h"

#include <QDir>
#include <QFileDialog>
#include <QPixmap>
#include <QStandardPaths>

namespace {

PictureFiles::Chooser *installedChooser = nullptr;

QString askUser(QWidget *parent, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("保存图片"), suggestedPath,
                                        QStringLiteral("PNG 图片 (*.png)"));
}

} // namespace

namespace PictureFiles {

Chooser *installChooser(Chooser *chooser)
{
    Chooser *previous = installedChooser;
    installedChooser = chooser;
    return previous;
}

bool saveAsPng(QWidget *parent, const QPixmap &picture, const QString &suggestedName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(suggestedName + QStringLiteral(".png"));
    QString path = installedChooser ? installedChooser->savePath(suggested)
                                    : askUser(parent, suggested);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (picture.save(path, "PNG"))
        return true;
    Messages::inform(parent, QStringLiteral("无法保存图片 %1").arg(QDir::toNativeSeparators(path)));
    return false;
}

} // namespace PictureFiles
