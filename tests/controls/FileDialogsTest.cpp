// The real file dialogs behind the Dialogs interface, answered by a user at the keyboard:
// what they return, and the extension a typed name gets from the chosen file type.
#include "Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
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

// Once the dialog is up: picks file type `type` (if not 0), types `name` unless empty, and
// presses Return or Escape. Records the dialog's title.
void answer(int type, const QString& name, bool accept, QString& title) {
    QTimer::singleShot(0, [=, &title] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
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
    QString title;

    answer(0, QString(), true, title);
    auto choice = Dialogs::instance().getSaveFile(nullptr, asked);
    EXPECT_EQ(title, "Save Sysex File To ...");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("custom.syx"));
    EXPECT_EQ(choice->filterIndex, 0);

    answer(1, QStringLiteral("export"), true, title);
    choice = Dialogs::instance().getSaveFile(nullptr, asked);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("export.INI"));
    EXPECT_EQ(choice->filterIndex, 1);

    answer(0, QStringLiteral("mine"), false, title);
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
    QString title;
    answer(0, QString(), true, title);
    const auto choice = Dialogs::instance().getOpenFile(nullptr, asked);
    EXPECT_EQ(title, "Open Sysex File");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("korvanette.syx"));
    EXPECT_EQ(choice->filterIndex, 0);
}
