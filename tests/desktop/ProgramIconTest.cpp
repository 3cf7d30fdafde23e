// The program's identity as the desktop sees it: both windows carry the icon in every rendered
// size, and the windows name the desktop entry they belong to.
#include "KorvApplication.h"
#include "TForm1.h"

#include "LoopbackService.h"
#include "MidiSystem.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

using namespace korv;

namespace {

TEST(ProgramIconTest, BothWindowsCarryTheIconInEveryRenderedSize) {
    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    midi::MidiSystem system(std::vector<midi::MidiService*>{&loopback});
    app::TForm1 form(system);
    form.show();
    form.FaderDesk().ShowVirtualBox();

    const QList<QSize> sizes{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    for (QWidget* window :
         {static_cast<QWidget*>(&form), static_cast<QWidget*>(&form.FaderDesk())}) {
        const QIcon icon = window->windowIcon();
        ASSERT_FALSE(icon.isNull()) << window->objectName().toStdString();
        EXPECT_EQ(icon.availableSizes(), sizes) << window->objectName().toStdString();
        for (const QSize& size : sizes) {
            const QImage image = icon.pixmap(size).toImage();
            EXPECT_EQ(image.size(), size);
            // Rendered, not blank: the corners are transparent, the middle is not.
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
            EXPECT_GT(qAlpha(image.pixel(size.width() / 2, size.height() / 2)), 200);
        }
    }
}

TEST(ProgramIconTest, ApplicationNamesItsDesktopEntryAndVersion) {
    EXPECT_EQ(QCoreApplication::applicationName(), "korvanettesim");
    EXPECT_EQ(QCoreApplication::applicationVersion(), "1.4");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.example.korvanettesim");
}

} // namespace
