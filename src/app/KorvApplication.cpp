#include "KorvApplication.h"

#include "Dialogs.h"

#include <QIcon>

#include <exception>

namespace korv::app {

KorvApplication::KorvApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    SetIdentity();
    // Lets the desktop match the windows with the menu entry and its icon (on Wayland above all).
    setDesktopFileName(QStringLiteral(KORV_APP_ID));
    setWindowIcon(ProgramIcon());
}

void KorvApplication::SetIdentity() {
    setApplicationName(QStringLiteral("korvanettesim"));
    setApplicationVersion(QStringLiteral(KORV_VERSION));
}

QIcon KorvApplication::ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
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
