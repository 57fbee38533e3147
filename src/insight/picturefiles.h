#pragma once

#include <QString>

class QPixmap;
class QWidget;

// Saving a view's picture as a PNG file. Where to save is asked through a file dialog, or through
// an installed chooser, so that tests can answer instead of a user.
namespace PictureFiles {

class Chooser
{
public:
    virtual ~Chooser() = default;
    // The path to save to; empty to cancel.
    virtual QString savePath(const QString &suggestedPath) = 0;
};

// Installs a chooser (nullptr restores the file dialog); returns the one it replaces.
Chooser *installChooser(Chooser *chooser);

// Asks where to save, suggesting the name in the user's pictures folder, and saves the picture
// as PNG (".png" added when the name has no such ending). A failure is told to the user. True
// when the file was written.
bool saveAsPng(QWidget *parent, const QPixmap &picture, const QString &suggestedName);

} // namespace PictureFiles
