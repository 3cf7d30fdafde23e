// The application object: sets the program's name, version, desktop entry and window icon, and
// shows an exception escaping an event handler in a message box while the event loop goes on,
// instead of taking the program down.
#pragma once

#include <QApplication>

namespace korv::app {

class KorvApplication : public QApplication {
public:
    KorvApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Name and version for QCoreApplication's getters; works before any application object
    // exists, so the terminal answers have them too.
    static void SetIdentity();
    // The program's icon in every size it is rendered in; both windows carry it.
    static QIcon ProgramIcon();
};

} // namespace korv::app
