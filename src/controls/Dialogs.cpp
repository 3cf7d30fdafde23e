#include "Dialogs.h"

#include <QMessageBox>

namespace korv::controls {
namespace {

class MessageBoxDialogs final : public Dialogs {
public:
    void showError(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QStringLiteral("Error"), text, QMessageBox::Ok);
    }
    void showMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QString(), text, QMessageBox::Ok);
    }
};

MessageBoxDialogs realDialogs;
Dialogs* installed = nullptr;

} // namespace

Dialogs& Dialogs::instance() { return installed ? *installed : realDialogs; }

void Dialogs::install(Dialogs* dialogs) { installed = dialogs; }

} // namespace korv::controls
