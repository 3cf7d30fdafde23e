#include "Dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace korv::controls {
namespace {

// "packdump INI file (*.INI)" gives "INI"; a filter of any file gives nothing.
QString suffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.(\w+)\))"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::optional<Dialogs::FileChoice> runFileDialog(QWidget* parent, const Dialogs::FileDialog& d,
                                                 QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, d.title, d.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(d.filters);
    dialog.setDefaultSuffix(d.defaultSuffix);
    // A name typed while the second file type is chosen gets that type's extension.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QString suffix = suffixOf(filter);
        dialog.setDefaultSuffix(suffix.isEmpty() ? d.defaultSuffix : suffix);
    });
    dialog.selectFile(d.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Dialogs::FileChoice{dialog.selectedFiles().constFirst(),
                               static_cast<int>(d.filters.indexOf(dialog.selectedNameFilter()))};
}

class QtDialogs final : public Dialogs {
public:
    void showError(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QStringLiteral("Error"), text, QMessageBox::Ok);
    }
    void showMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QString(), text, QMessageBox::Ok);
    }
    void showOkCancel(QWidget* parent, const QString& caption, const QString& text) override {
        QMessageBox::warning(parent, caption, text, QMessageBox::Ok | QMessageBox::Cancel);
    }
    void showList(QWidget* parent, const QString& caption, const QString& heading,
                  const QStringList& lines) override {
        QDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("ListDialog"));
        dialog.setWindowTitle(caption);
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel(heading, &dialog);
        auto* list = new QPlainTextEdit(&dialog);
        list->setObjectName(QStringLiteral("ListText"));
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setPlainText(lines.join(QLatin1Char('\n')));
        list->setAccessibleName(heading);
        label->setBuddy(list);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(label);
        layout->addWidget(list);
        layout->addWidget(buttons);
        dialog.resize(560, 360);
        dialog.exec();
    }
    std::optional<FileChoice> getOpenFile(QWidget* parent, const FileDialog& dialog) override {
        return runFileDialog(parent, dialog, QFileDialog::AcceptOpen);
    }
    std::optional<FileChoice> getSaveFile(QWidget* parent, const FileDialog& dialog) override {
        return runFileDialog(parent, dialog, QFileDialog::AcceptSave);
    }
};

QtDialogs realDialogs;
Dialogs* installed = nullptr;

} // namespace

Dialogs& Dialogs::instance() {
    return installed ? *installed : realDialogs;
}

void Dialogs::install(Dialogs* dialogs) {
    installed = dialogs;
}

} // namespace korv::controls
