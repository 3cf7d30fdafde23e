// The real message boxes and file dialogs behind the Dialogs interface, answered by a user at
// the keyboard: what they show, what they return, and the extension a typed name gets from the
// chosen file type.
#include "Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using korv::controls::Dialogs;

namespace {

const Dialogs::FileDialog SaveDialog{
    QStringLiteral("Save Sysex File To ..."),
    {QStringLiteral("KORVANETTE sysex file (*.syx)"), QStringLiteral("packdump INI file (*.INI)")},
    QStringLiteral("syx"),
    QString(),
    QStringLiteral("custom.syx")};

// Qt's file dialog lists folders on a thread of its own inside Qt, which ThreadSanitizer
// cannot follow; the dialogs involve no thread of ours.
void skipUnderThreadSanitizer() {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "Qt's file dialog thread is not instrumented";
#endif
}

// What a file dialog was like when it came up.
struct Shown {
    QString title;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    bool confirmsOverwrite = true;
    QString defaultSuffix;
};

// Once the dialog is up: picks file type `type` (if not 0), types `name` unless empty, and
// presses Return or Escape.
void answer(int type, const QString& name, bool accept, Shown& shown) {
    QTimer::singleShot(0, [=, &shown] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = {dialog->windowTitle(), dialog->acceptMode(),
                 !dialog->testOption(QFileDialog::DontConfirmOverwrite), dialog->defaultSuffix()};
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(types, nullptr);
        ASSERT_NE(edit, nullptr);
        for (int i = 0; i < type; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        if (!name.isEmpty()) {
            edit->selectAll();
            QTest::keyClicks(edit, name);
        }
        QTest::keyClick(edit, accept ? Qt::Key_Return : Qt::Key_Escape);
    });
}

} // namespace

TEST(FileDialogs, TheSaveDialogGivesTheFileWithTheExtensionOfTheChosenType) {
    skipUnderThreadSanitizer();
    if (testing::Test::IsSkipped())
        return;
    QTemporaryDir dir;
    Dialogs::FileDialog asked = SaveDialog;
    asked.folder = dir.path();
    Shown shown;

    answer(0, QString(), true, shown);
    auto choice = Dialogs::instance().getSaveFile(nullptr, asked);
    EXPECT_EQ(shown.title, "Save Sysex File To ...");
    EXPECT_EQ(shown.mode, QFileDialog::AcceptSave);
    EXPECT_FALSE(shown.confirmsOverwrite);
    EXPECT_EQ(shown.defaultSuffix, "syx");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("custom.syx"));
    EXPECT_EQ(choice->filterIndex, 0);

    answer(1, QStringLiteral("export"), true, shown);
    choice = Dialogs::instance().getSaveFile(nullptr, asked);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("export.INI"));
    EXPECT_EQ(choice->filterIndex, 1);

    answer(0, QStringLiteral("mine"), false, shown);
    EXPECT_FALSE(Dialogs::instance().getSaveFile(nullptr, asked));
}

TEST(FileDialogs, TheOpenDialogGivesAnExistingFile) {
    skipUnderThreadSanitizer();
    if (testing::Test::IsSkipped())
        return;
    QTemporaryDir dir;
    QFile file(dir.filePath("korvanette.syx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Dialogs::FileDialog asked{
        QStringLiteral("Open Sysex File"),
        {QStringLiteral("KORVANETTE sysex file (*.syx)"), QStringLiteral("Any File (*.*)")},
        QStringLiteral("syx"),
        dir.path(),
        QStringLiteral("korvanette.syx")};
    Shown shown;
    answer(0, QString(), true, shown);
    const auto choice = Dialogs::instance().getOpenFile(nullptr, asked);
    EXPECT_EQ(shown.title, "Open Sysex File");
    EXPECT_EQ(shown.mode, QFileDialog::AcceptOpen);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("korvanette.syx"));
    EXPECT_EQ(choice->filterIndex, 0);
}

// Each box closed with Escape once it is up; what it showed is recorded.
TEST(MessageBoxes, ShowTheirCaptionTextAndButtons) {
    struct Box {
        QString title, text;
        QMessageBox::StandardButtons buttons;
    };
    std::vector<Box> boxes;
    const auto closeNext = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            boxes.push_back({box->windowTitle(), box->text(), box->standardButtons()});
            QTest::keyClick(box, Qt::Key_Escape);
        });
    };
    closeNext();
    Dialogs::instance().showOkCancel(nullptr, "File Error", "Can't perform Sysex File Read...");
    closeNext();
    Dialogs::instance().showError(nullptr, "Broken");
    closeNext();
    Dialogs::instance().showMessage(nullptr, "Test");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, "File Error");
    EXPECT_EQ(boxes[0].text, "Can't perform Sysex File Read...");
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(boxes[1].title, "Error");
    EXPECT_EQ(boxes[1].text, "Broken");
    EXPECT_EQ(boxes[1].buttons, QMessageBox::Ok);
    EXPECT_EQ(boxes[2].text, "Test");
    EXPECT_EQ(boxes[2].buttons, QMessageBox::Ok);
}

// The list dialog shows every line, read-only, and its Close button ends it.
TEST(ListDialog, ShowsEveryLineAndClosesWithItsButton) {
    QString title, text;
    bool readOnly = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* list = dialog->findChild<QPlainTextEdit*>(QStringLiteral("ListText"));
        ASSERT_NE(list, nullptr);
        text = list->toPlainText();
        readOnly = list->isReadOnly();
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Close), Qt::LeftButton);
    });
    Dialogs::instance().showList(
        nullptr, "Verify after send", "2 fields differ:",
        {"Encoder 3.5 Min: sent 10, box 0", "Button 1 Mode: sent ON/OFF, box TOGGLE"});
    EXPECT_EQ(title, "Verify after send");
    EXPECT_EQ(text, "Encoder 3.5 Min: sent 10, box 0\nButton 1 Mode: sent ON/OFF, box TOGGLE");
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
