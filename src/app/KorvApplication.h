// The application object: an exception escaping an event handler is shown in a message box
// and the event loop goes on, instead of taking the program down.
#pragma once

#include <QApplication>

namespace korv::app {

class KorvApplication : public QApplication {
public:
    KorvApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace korv::app
