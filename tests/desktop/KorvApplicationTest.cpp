// The application object: the program's identity as the desktop sees it (both windows carry the
// icon in every rendered size and name their desktop entry), and exceptions escaping event
// handlers shown in a message box while the event loop goes on.
#include "KorvApplication.h"
#include "TForm1.h"

#include "LoopbackService.h"
#include "MidiSystem.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace korv;

namespace {

// Runs `onUserEvent` for every QEvent::User it receives.
class Handler : public QObject {
public:
    std::function<void()> onUserEvent;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            onUserEvent();
            return true;
        }
        return QObject::event(e);
    }
};

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

TEST(KorvApplicationTest, ExceptionFromAnEventHandlerIsShownAndTheEventCountsAsUnhandled) {
    test::RecordingDialogs dialogs;
    Handler handler;
    handler.onUserEvent = [] { throw std::runtime_error("Settings image is locked"); };
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&handler, &event));
    handler.onUserEvent = [] { throw 42; };
    EXPECT_FALSE(QCoreApplication::sendEvent(&handler, &event));
    EXPECT_EQ(dialogs.errors, QStringList({"Settings image is locked", "Unknown exception"}));

    handler.onUserEvent = [] {};
    EXPECT_TRUE(QCoreApplication::sendEvent(&handler, &event));
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST(KorvApplicationTest, EventLoopGoesOnAfterAnExceptionInAHandler) {
    test::RecordingDialogs dialogs;
    Handler handler;
    int handled = 0;
    handler.onUserEvent = [&handled] {
        if (++handled == 1)
            throw std::runtime_error("first");
    };
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(dialogs.errors, QStringList({"first"}));
}

} // namespace
