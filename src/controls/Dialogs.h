// The one door to modal things: message boxes and file dialogs. The program uses the real,
// Qt-based implementation; tests install one that records and answers at once.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace korv::controls {

class Dialogs {
public:
    // What a file dialog shows at first.
    struct FileDialog {
        QString title;
        QStringList filters;   // in order, e.g. "KORVANETTE sysex file (*.syx)"
        QString defaultSuffix; // added to a name typed without one
        QString folder;
        QString fileName;
    };
    // The file the user chose and the position of the file type selected with it.
    struct FileChoice {
        QString path;
        int filterIndex = 0;
    };

    virtual ~Dialogs() = default;
    // An error box with an OK button.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A plain message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // A warning box with a caption and the buttons OK and Cancel; either closes it.
    virtual void showOkCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A list too long for a message box (one line per entry), scrollable, with a Close button.
    virtual void showList(QWidget* parent, const QString& caption, const QString& heading,
                          const QStringList& lines) = 0;
    // Nothing when the user cancels. The save dialog replaces a file without asking.
    virtual std::optional<FileChoice> getOpenFile(QWidget* parent, const FileDialog& dialog) = 0;
    virtual std::optional<FileChoice> getSaveFile(QWidget* parent, const FileDialog& dialog) = 0;

    // The installed implementation, or the real one when none is installed.
    static Dialogs& instance();
    // Installs `dialogs` (not owned); nullptr restores the real one.
    static void install(Dialogs* dialogs);
};

} // namespace korv::controls
