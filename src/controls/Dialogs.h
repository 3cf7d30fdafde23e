// The one door to modal things (message boxes now, file dialogs later). The program uses the
// real, QMessageBox-based implementation; tests install one that records and answers at once.
#pragma once

#include <QString>

class QWidget;

namespace korv::controls {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An error box with an OK button.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A plain message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;

    // The installed implementation, or the real one when none is installed.
    static Dialogs& instance();
    // Installs `dialogs` (not owned); nullptr restores the real one.
    static void install(Dialogs* dialogs);
};

} // namespace korv::controls
