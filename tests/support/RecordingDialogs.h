// A Dialogs implementation for tests: records every box instead of showing it, and installs
// itself for its lifetime.
#pragma once

#include "Dialogs.h"

#include <QStringList>

namespace korv::test {

class RecordingDialogs final : public controls::Dialogs {
public:
    RecordingDialogs() { Dialogs::install(this); }
    ~RecordingDialogs() override { Dialogs::install(nullptr); }

    void showError(QWidget*, const QString& text) override { errors << text; }
    void showMessage(QWidget*, const QString& text) override { messages << text; }

    QStringList errors;
    QStringList messages;
};

} // namespace korv::test
