// The main window as a user meets it: start-up state, port selection, test knob, help page.
#include "TForm1.h"

#include "BuildStamp.h"
#include "MidiHealth.h"

#include "LoopbackService.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <stdexcept>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using namespace korv;

namespace {

// While one lives, LeakSanitizer leaves out what is allocated.
struct QtOwnLeaksIgnored {
#if defined(__SANITIZE_ADDRESS__)
    QtOwnLeaksIgnored() { __lsan_disable(); }
    ~QtOwnLeaksIgnored() { __lsan_enable(); }
#endif
};

// Takes the addresses the program hands to the desktop instead of opening a browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

class Form1Test : public ::testing::Test {
protected:
    template <typename W = QWidget> W* child(const char* name) {
        auto* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QColor statusColor() {
        return child<QLabel>("StatusLabel")->palette().color(QPalette::WindowText);
    }
    QString status() { return child<QLabel>("StatusLabel")->text(); }
    // Picks an item from the selector's drop-down list with the mouse, as a user does; this
    // raises the selector's handler even when the item was already selected.
    void pick(const char* selector, int index) {
        auto* box = child<QComboBox>(selector);
        box->showPopup();
        QAbstractItemView* view = box->view();
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_EQ(box->currentIndex(), index);
        ASSERT_FALSE(view->isVisible());
    }
    void start() {
        system = std::make_unique<midi::MidiSystem>(std::vector<midi::MidiService*>{&loopback});
        form = std::make_unique<app::TForm1>(*system);
        form->show();
    }

    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
};

TEST_F(Form1Test, StartsOnTheFilePageWithPortsClosedAndTheDefaultImage) {
    start();
    const QRegularExpression caption(QStringLiteral(
        R"(^Virtual Korvanette : Version Compiled on [A-Z][a-z]{2} [ 123]\d \d{4} : [0-2]\d:[0-5]\d:[0-5]\d$)"));
    EXPECT_TRUE(caption.match(form->windowTitle()).hasMatch()) << form->windowTitle().toStdString();
    EXPECT_TRUE(child<QLabel>("TestReleaseLabel")->text().startsWith("Release 1.004 : "));
    EXPECT_TRUE(form->windowTitle().endsWith(child<QLabel>("TestReleaseLabel")->text().mid(16)));

    auto* pages = child<QTabWidget>("PageControl1");
    const QStringList tabs{"File", "Box Config", "Encoders", "Buttons", "Help"};
    const QStringList names{"FileSheet", "BoxSettingsTabsheet", "PotSettings", "ButtSettings",
                            "HelpTabSheet"};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->tabText(i), tabs[i]);
        EXPECT_EQ(pages->widget(i)->objectName(), names[i]);
        EXPECT_EQ(pages->isTabVisible(i), i != 4);
    }
    EXPECT_EQ(pages->currentWidget()->objectName(), "FileSheet");

    EXPECT_EQ(status(), "No MIDI Out Port Selected");
    EXPECT_EQ(statusColor(), QColor(255, 0, 0));

    auto* box = child<QComboBox>("EmulatedBox");
    EXPECT_EQ(box->count(), 5);
    EXPECT_EQ(box->currentText(), "Korvanette");
    EXPECT_EQ(box->itemText(4), "");
    EXPECT_FALSE(box->isEnabled());

    EXPECT_TRUE(child("ShowFaderDesk")->isEnabled());
    EXPECT_TRUE(child("StoreSysex")->isEnabled());
    EXPECT_TRUE(child("OpenSysex")->isEnabled());
    EXPECT_FALSE(child("SlowSendToKorvane")->isEnabled());
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled());
    EXPECT_FALSE(child("SendToKorvane")->isVisible());
    EXPECT_EQ(child<QSpinBox>("DeviceID")->value(), 0);
    EXPECT_EQ(child<QSpinBox>("SysexSendSpeed")->value(), 200);
    EXPECT_EQ(form->SysexTimer().Tempo(), 166);
    EXPECT_EQ(child<QLabel>("SysexReceiveCount")->text(), "0");
    EXPECT_EQ(child<QLabel>("BytesToSend")->text(), "0");
    EXPECT_FALSE(form->MidiIn1().Using());
    EXPECT_FALSE(form->MidiOut1().Using());
    EXPECT_FALSE(form->FaderDesk().isVisible());
    EXPECT_EQ(form->SettingsImage().Bytes(), model::SettingsImage::DefaultImage());

    // Without devices the selectors hold only "None".
    for (const char* selector : {"MIDIOutComboBox", "MIDIInComboBox"}) {
        auto* combo = child<QComboBox>(selector);
        ASSERT_EQ(combo->count(), 1);
        EXPECT_EQ(combo->currentText(), "None");
    }
    pick("MIDIOutComboBox", 0);
    EXPECT_EQ(status(), "No MIDI OUT Port Selected");
    EXPECT_EQ(statusColor(), QColor(255, 0, 0));
}

TEST_F(Form1Test, EveryNamedControlHasAnAccessibleName) {
    start();
    for (const QWidget* w : form->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
            continue;
        if (w->objectName() == "SysexReceiveCount" || w->objectName() == "BytesToSend" ||
            w->objectName() == "StatusLabel" || w->objectName() == "TestReleaseLabel" ||
            w->objectName() == "VantuURLLabel" || w->objectName() == "HelpMemo" ||
            qobject_cast<const QLabel*>(w) || w->inherits("QTabWidget") ||
            w->parentWidget() != child("FileSheet"))
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_EQ(child("MIDIOutComboBox")->accessibleName(), "MIDI OUT PORT :");
    EXPECT_EQ(child("SysexSendSpeed")->accessibleName(), "Sysex Send Speed Tuning :");
    EXPECT_EQ(child("ShowFaderDesk")->accessibleName(), "Show Virtual Box");
}

TEST_F(Form1Test, SendAndRequestFollowTheOpenPorts) {
    loopback.addOutput("Out A");
    loopback.addOutput("Out B");
    loopback.addInput("In A");
    start();
    ASSERT_EQ(child<QComboBox>("MIDIOutComboBox")->count(), 3);
    EXPECT_EQ(child<QComboBox>("MIDIOutComboBox")->itemText(0), "Out A");
    EXPECT_EQ(child<QComboBox>("MIDIOutComboBox")->currentText(), "None");

    pick("MIDIInComboBox", 0);
    EXPECT_EQ(status(), "MIDI IN Port Selected ...");
    EXPECT_EQ(statusColor(), QColor(0, 128, 128));
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled()) << "the output is still closed";

    pick("MIDIOutComboBox", 0);
    EXPECT_EQ(status(), "MIDI OUT Port Selected ...");
    EXPECT_TRUE(form->MidiOut1().Using());
    EXPECT_TRUE(child("SlowSendToKorvane")->isEnabled());
    EXPECT_TRUE(child("RequestSysexDump")->isEnabled());

    pick("MIDIInComboBox", 1); // "None"
    EXPECT_EQ(status(), "No MIDI IN Port Selected");
    EXPECT_EQ(statusColor(), QColor(255, 0, 0));
    EXPECT_FALSE(form->MidiIn1().Using());
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled());
    EXPECT_TRUE(child("SlowSendToKorvane")->isEnabled());

    pick("MIDIOutComboBox", 2); // "None"
    EXPECT_EQ(status(), "No MIDI OUT Port Selected");
    EXPECT_FALSE(form->MidiOut1().Using());
    EXPECT_FALSE(child("SlowSendToKorvane")->isEnabled());
}

TEST_F(Form1Test, MessagesThePortsLoseAreToldInRed) {
    loopback.addOutput("Out A");
    start();
    pick("MIDIOutComboBox", 0);
    // Hidden while it waits, the window is not painted: Qt's painting threads, which
    // ThreadSanitizer cannot see into, stay out of play.
    form->hide();
    // While a SysEx is open, notes wait; past the 4,096 that can wait, they are lost.
    const std::uint8_t head[] = {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02};
    form->MidiOut1().SysEx(head, 6);
    for (int i = 0; i < 4096 + 3; ++i)
        form->MidiOut1().Put(0x90, static_cast<std::uint8_t>(i & 0x7F), 1);
    const auto statusBecomes = [this](const char* text) {
        QDeadlineTimer deadline(5000);
        while (status() != QLatin1String(text) && !deadline.hasExpired())
            QTest::qWait(20);
        return status() == QLatin1String(text);
    };
    ASSERT_TRUE(statusBecomes("3 MIDI messages could not be sent and were lost")) << status().toStdString();
    EXPECT_EQ(statusColor(), QColor(255, 0, 0));
    form->MidiOut1().Put(0x90, 1, 1);
    EXPECT_TRUE(statusBecomes("1 MIDI message could not be sent and was lost"));
}

TEST(MidiHealth, SaysEachTroubleOnceInPlainWords) {
    app::MidiHealth health;
    app::MidiState now;
    EXPECT_EQ(health.Check(now), "");
    now.inLost = 1;
    EXPECT_EQ(health.Check(now), "1 incoming MIDI message was lost: the program fell behind");
    EXPECT_EQ(health.Check(now), "");
    now.inLost = 41;
    now.outLost = 2;
    now.goneService = "JACK";
    EXPECT_EQ(health.Check(now), "The JACK server went away: its MIDI ports no longer work");
    EXPECT_EQ(health.Check(now), "40 incoming MIDI messages were lost: the program fell behind");
    EXPECT_EQ(health.Check(now), "2 MIDI messages could not be sent and were lost");
    EXPECT_EQ(health.Check(now), "");

    now.outName = "box:in";
    now.outLink = midi::Link::Disconnected;
    EXPECT_EQ(health.Check(now), "The MIDI OUT port \"box:in\" was disconnected by another "
                                 "program: pick it again to reconnect");
    EXPECT_EQ(health.Check(now), "");
    now.outLink = midi::Link::PeerGone;
    now.inName = "Virtual Korvanette";
    now.inLink = midi::Link::Disconnected;
    EXPECT_EQ(health.Check(now),
              "The MIDI OUT port \"box:in\" has gone: pick it again once it is back, or pick another");
    EXPECT_EQ(health.Check(now), "Nothing is connected to the MIDI IN port \"Virtual Korvanette\" any more");
    EXPECT_EQ(health.Check(now), "");
    // Told again only after the port was fine in between.
    now.outLink = midi::Link::Fine;
    EXPECT_EQ(health.Check(now), "");
    now.outLink = midi::Link::PeerGone;
    EXPECT_EQ(health.Check(now),
              "The MIDI OUT port \"box:in\" has gone: pick it again once it is back, or pick another");
}

TEST_F(Form1Test, ADeviceThatFailsToOpenStaysClosedAndAnotherCanBePickedAtOnce) {
    loopback.addOutput("Busy Out");
    loopback.addOutput("Good Out");
    loopback.addInput("In A");
    loopback.setOpenFailure("Busy Out", midi::OpenRefused);
    start();
    pick("MIDIInComboBox", 0);

    pick("MIDIOutComboBox", 0);
    EXPECT_EQ(status(), "MIDI OUT Port not ready!");
    EXPECT_EQ(statusColor(), QColor(255, 0, 0));
    EXPECT_FALSE(form->MidiOut1().Using());
    EXPECT_FALSE(child("SlowSendToKorvane")->isEnabled());
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled());

    pick("MIDIOutComboBox", 1);
    EXPECT_EQ(status(), "MIDI OUT Port Selected ...");
    EXPECT_TRUE(form->MidiOut1().Using());
    EXPECT_EQ(form->MidiOut1().OpenResult(), 0);
    EXPECT_TRUE(child("RequestSysexDump")->isEnabled());

    loopback.setOpenFailure("In A", midi::OpenRefused);
    pick("MIDIInComboBox", 0);
    EXPECT_EQ(status(), "MIDI IN Port not ready!");
    EXPECT_FALSE(form->MidiIn1().Using());
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled());
    EXPECT_TRUE(child("SlowSendToKorvane")->isEnabled());
}

TEST_F(Form1Test, SendSpeedSetsTheTempoOfThePacedSend) {
    start();
    auto* speed = child<QSpinBox>("SysexSendSpeed");
    speed->setFocus();
    speed->selectAll();
    QTest::keyClicks(speed, "1000");
    EXPECT_EQ(speed->value(), 1000);
    EXPECT_EQ(form->SysexTimer().Tempo(), 833);
    speed->selectAll();
    QTest::keyClicks(speed, "2");
    EXPECT_EQ(form->SysexTimer().Tempo(), 1);
}

TEST_F(Form1Test, TestKnobSlidesTheTopLabelsAndRightClickShowsTest) {
    start();
    auto* knob = child<controls::TKnob>("TestKnob");
    EXPECT_EQ(knob->Min(), 0);
    EXPECT_EQ(knob->Max(), 65);
    EXPECT_EQ(knob->size(), QSize(32, 32));
    knob->setFocus();
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_EQ(child("TestReleaseLabel")->x(), 81);
    EXPECT_EQ(child("VantuURLLabel")->x(), 81);
    QTest::keyClick(knob, Qt::Key_Home);
    EXPECT_EQ(child("TestReleaseLabel")->x(), 16);

    QTest::mouseClick(knob, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    QTest::mouseClick(knob, Qt::RightButton, {}, QPoint(16, 16));
    EXPECT_EQ(dialogs.messages, QStringList{"Test"});
}

TEST_F(Form1Test, HintsShowTheHelpPageWhoseTabStaysHidden) {
    start();
    auto* pages = child<QTabWidget>("PageControl1");
    QTest::mouseClick(child("HintsButton"), Qt::LeftButton);
    EXPECT_EQ(pages->currentWidget()->objectName(), "HelpTabSheet");
    EXPECT_FALSE(pages->isTabVisible(4));
    const QString help = child<QWidget>("HelpMemo")->property("plainText").toString();
    EXPECT_TRUE(help.contains("Hints :\n--------------\nIn Virtual FaderDesk :\n"
                              "  - Right-Click on Pots To Edit Faders\n"
                              "  - click on LCD to switch display modes\nIn Editor :\n"
                              "  - use PAGE UP/PAGE DOWN keys to increase / decrease encoder or "
                              "button number"));
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(pages->currentWidget()->objectName(), "FileSheet");
}

TEST_F(Form1Test, ShowVirtualBoxOpensTheSurfaceWhoseRightClicksOpenTheEditorPages) {
    start();
    QTest::mouseClick(child("ShowFaderDesk"), Qt::LeftButton);
    EXPECT_TRUE(form->FaderDesk().isVisible());

    // A right click on a knob or an event button brings its editor page forward.
    auto* pages = child<QTabWidget>("PageControl1");
    QTest::mouseClick(form->FaderDesk().KnobTable()[3], Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(pages->currentWidget()->objectName(), "PotSettings");
    QTest::mouseClick(form->FaderDesk().findChild<QWidget*>("EventButton25"), Qt::RightButton);
    EXPECT_EQ(pages->currentWidget()->objectName(), "ButtSettings");
}

TEST_F(Form1Test, WaitWithEventsKeepsHandlingEvents) {
    start();
    // Hidden: the wait is about the event loop, and the first paint of the whole window would
    // run Qt's image conversions on its own thread pool, which ThreadSanitizer cannot follow.
    form->hide();
    bool ran = false;
    QMetaObject::invokeMethod(
        form.get(), [&] { ran = true; }, Qt::QueuedConnection);
    form->WaitWithEvents(30);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(form->findChild<QTimer*>("SysexHeadTimer")->isActive());
}

TEST_F(Form1Test, CaptionAndReleaseLabelCarryTheStampOfTheRunningBuild) {
    const QString date = app::BuildDate();
    const QString time = app::BuildTime();
    app::SetBuildStamp("Feb  2 2003", "16:02:05");
    start();
    app::SetBuildStamp(date.toLatin1().constData(), time.toLatin1().constData());
    EXPECT_EQ(form->windowTitle(),
              "Virtual Korvanette : Version Compiled on Feb  2 2003 : 16:02:05");
    EXPECT_EQ(child<QLabel>("TestReleaseLabel")->text(), "Release 1.004 : Feb  2 2003 : 16:02:05");
}

TEST_F(Form1Test, TheInputSelectorLeavesTheSendButtonsAlone) {
    loopback.addOutput("Out A");
    loopback.addInput("In A");
    start();
    pick("MIDIOutComboBox", 0);
    ASSERT_TRUE(child("SlowSendToKorvane")->isEnabled());
    // The output closes behind the selectors' back (a vanished device): the send buttons keep
    // their state until the output selector is used again.
    form->MidiOut1().SetUsing(false);
    pick("MIDIInComboBox", 0);
    EXPECT_EQ(status(), "MIDI IN Port Selected ...");
    EXPECT_TRUE(child("SlowSendToKorvane")->isEnabled());
    EXPECT_FALSE(child("RequestSysexDump")->isEnabled()) << "the output is not in use";
    pick("MIDIInComboBox", 1);
    EXPECT_TRUE(child("SlowSendToKorvane")->isEnabled());

    pick("MIDIOutComboBox", 1);
    EXPECT_FALSE(child("SlowSendToKorvane")->isEnabled());
    EXPECT_FALSE(child("SendToKorvane")->isEnabled());
    pick("MIDIInComboBox", 0);
    EXPECT_FALSE(child("SlowSendToKorvane")->isEnabled());
}

TEST_F(Form1Test, AClickAnywhereOnTheWebAddressOpensIt) {
    UrlCatcher catcher;
    start();
    auto* link = child<QLabel>("VantuURLLabel");
    EXPECT_EQ(link->text(), "https://korvanettesim.example.org/");
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    // Far right of the label, well past the end of its text.
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(link->width() - 3, link->height() / 2));
    EXPECT_EQ(catcher.opened, QStringList{"https://korvanettesim.example.org/"});
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, link->height() / 2));
    EXPECT_EQ(catcher.opened.size(), 2);
    QTest::mouseClick(link, Qt::RightButton, {}, QPoint(3, link->height() / 2));
    EXPECT_EQ(catcher.opened.size(), 2) << "only the left button follows the link";
}

TEST_F(Form1Test, TheFilePageCaptionsAndRanges) {
    start();
    const struct {
        const char* name;
        const char* text;
    } captions[] = {
        {"Label17", "Emulated Box :"},
        {"ShowFaderDesk", "Show Virtual Box"},
        {"OpenSysex", "Open Sysex File"},
        {"StoreSysex", "Store To File"},
        {"RequestSysexDump", "Request Sysex Dump"},
        {"SlowSendToKorvane", "Send Sysex"},
        {"SendToKorvane", "Fast Send To Korvane"},
        {"Label23", "MIDI IN PORT :"},
        {"MIDIOutLabel", "MIDI OUT PORT :"},
        {"Label24", "Bytes To Receive   : "},
        {"SysexReceiveCount", "0"},
        {"Label27", "Bytes To Send        :"},
        {"BytesToSend", "0"},
        {"Label31", "Sysex Device ID :"},
        {"Label28", "Sysex Send Speed Tuning :"},
        {"Label29", "bytes / sec (approx)"},
        {"HintsButton", "About/Hints ..."},
        {"CancelTransfer", "Cancel"},
        {"VerifyAfterSend", "Verify after send"},
        {"VerifyDifferences", "Differences ..."},
    };
    for (const auto& c : captions)
        EXPECT_EQ(child(c.name)->property("text").toString(), c.text) << c.name;

    auto* box = child<QComboBox>("EmulatedBox");
    ASSERT_EQ(box->count(), 5);
    const QStringList boxes{"Korvane Grand", "Korvane Duo", "Portmaster", "Korvanette", ""};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(box->itemText(i), boxes[i]);
    EXPECT_EQ(box->currentText(), "Korvanette");
    EXPECT_FALSE(box->isEnabled());

    auto* device = child<QSpinBox>("DeviceID");
    EXPECT_EQ(device->minimum(), 0);
    EXPECT_EQ(device->maximum(), 7);
    EXPECT_EQ(device->value(), 0);
    auto* speed = child<QSpinBox>("SysexSendSpeed");
    EXPECT_EQ(speed->minimum(), 2);
    EXPECT_EQ(speed->maximum(), 1000);
    EXPECT_EQ(speed->value(), 200);
    EXPECT_EQ(form->SysexTimer().Tempo(), 166);
}

TEST_F(Form1Test, FastSendIsHiddenButEnabledWithTheOutput) {
    loopback.addOutput("Out A");
    start();
    auto* fast = child("SendToKorvane");
    EXPECT_TRUE(fast->isHidden());
    EXPECT_FALSE(fast->isEnabled());
    pick("MIDIOutComboBox", 0);
    EXPECT_TRUE(fast->isEnabled());
    EXPECT_TRUE(fast->isHidden());
    pick("MIDIOutComboBox", 1);
    EXPECT_FALSE(fast->isEnabled());
}

// The tests run under the program's own application object, which shows what escapes a
// handler in an error box and carries on.
TEST_F(Form1Test, AnExceptionInAClickHandlerIsShownAndTheWindowGoesOn) {
    start();
    auto* hints = child<QPushButton>("HintsButton");
    QObject::connect(hints, &QPushButton::clicked, form.get(),
                     [] { throw std::runtime_error("The help text cannot be shown."); });
    {
        // Qt does not free the state of the mouse event that the exception unwinds through.
        [[maybe_unused]] QtOwnLeaksIgnored ignored;
        QTest::mouseClick(hints, Qt::LeftButton);
    }
    EXPECT_EQ(dialogs.errors, QStringList{"The help text cannot be shown."});
    auto* pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentWidget()->objectName(), "HelpTabSheet");
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(pages->currentWidget()->objectName(), "PotSettings");
}

} // namespace

#include "Form1Test.moc"
