#include "KorvApplication.h"

#include "Dialogs.h"

#include <exception>

namespace korv::app {

KorvApplication::KorvApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("korvanettesim"));
}

bool KorvApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        controls::Dialogs::instance().showError(activeWindow(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        controls::Dialogs::instance().showError(activeWindow(),
                                                QStringLiteral("Unknown exception"));
    }
    return false;
}

} // namespace korv::app
