// The dump commands of the main window's File page: open and store files, the text export,
// the paced and the fast send, the dump request, and the reception of dumps and notices; with
// the progress and time left of a transfer, Cancel, verify by reading back, and warnings on
// damaged dumps.
#include "TForm1.h"

#include "Dialogs.h"
#include "DumpDifferences.h"
#include "DumpProtocol.h"
#include "DumpReceiver.h"
#include "DumpWarnings.h"
#include "EditorExport.h"
#include "GuiMailbox.h"
#include "PacedSender.h"
#include "SysexFile.h"
#include "TFaderDesk.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "TTempoTimer.h"
#include "TimeLeft.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <mutex>

namespace korv::app {
namespace {

const QString SysexFilter = QStringLiteral("KORVANETTE sysex file (*.syx)");

// How long a verify waits for the box's answer to begin, and then between its buffers.
constexpr int VerifyTimeoutMs = 5000;
const QString VerifyCaption = QStringLiteral("Verify after send");

} // namespace

// What the window keeps about transfers besides the dump library's own state.
struct TForm1::Transfer : QObject {
    using QObject::QObject;

    QProgressBar* sendProgress = nullptr;
    QLabel* sendTimeLeft = nullptr;
    QProgressBar* receiveProgress = nullptr;
    QLabel* receiveTimeLeft = nullptr;
    QPushButton* cancel = nullptr;
    QCheckBox* verifyAfterSend = nullptr;
    QPushButton* differences = nullptr;
    QTimer* verifyTimer = nullptr;

    QElapsedTimer clock;
    dump::TimeLeft sendTime;
    dump::TimeLeft receiveTime;
    bool receiving = false; // as the count shows it
    int receiveLeft = 0;

    // Feeding a buffer and posting its effects happen under this lock, and so does abandoning
    // a reception with the marker behind it: effects of the abandoned reception still waiting
    // in the mailbox come before the marker and are dropped.
    std::mutex receiveMutex;
    bool dropReceiveEffects = false;

    bool verifyPending = false;
    bool verifyHeard = false; // the box has begun to answer
    // A verify's request has had no whole answer yet. The dump that answers it is compared and
    // never loaded, also when it comes after the wait was given up or cancelled: where the box
    // differs, the settings sent are the ones the user wants to keep.
    bool verifyAnswerDue = false;
    std::vector<std::uint8_t> verifySent;
    QStringList differenceTexts;
};

void TForm1::SetUpDumpExchange() {
    mailbox_ = new GuiMailbox(this);
    BuildTransferControls(fileSheet_);
    // Pieces go out on the timer thread; what the window shows is posted to it, in order.
    dump::PacedSender::Hooks hooks;
    hooks.sendPiece = [this](const std::uint8_t* data, int length) {
        midiOut1_->SysEx(data, length);
    };
    hooks.stopTicks = [this] { sysexTimer_->SetEnabled(false); };
    hooks.progress = [this](int bytesLeft) {
        mailbox_->Post([this, bytesLeft] { ShowSendProgress(bytesLeft); });
    };
    hooks.finished = [this] { mailbox_->Post([this] { PacedSendFinished(); }); };
    hooks.closeSysEx = [this] { midiOut1_->EndSysEx(); };
    pacedSender_ = std::make_unique<dump::PacedSender>(settingsImage_, std::move(hooks));
    sysexTimer_->OnTimer = [this](midi::TTempoTimer&, std::int8_t) { SysexTimerTimer(); };

    dumpReceiver_ =
        std::make_unique<dump::DumpReceiver>(settingsImage_, emulatedBox_->currentText());
    connect(deviceID_, &QSpinBox::valueChanged, this,
            [this](int id) { dumpReceiver_->SetDeviceId(id); });
    midiIn1_->OnSysEx = [this](midi::TMidiIn&, const std::uint8_t* data, int size) {
        MidiIn1SysEx(data, size);
    };
}

void TForm1::OpenSysexClick() {
    if (RefusedWhileSending())
        return;
    const auto choice = controls::Dialogs::instance().getOpenFile(
        this, {QStringLiteral("Open Sysex File"),
               {SysexFilter, QStringLiteral("Any File (*.*)")},
               QStringLiteral("syx"),
               openDialogFolder_,
               QStringLiteral("korvanette.syx")});
    if (!choice || !QFileInfo::exists(choice->path))
        return;
    const dump::SysexReadResult read = dump::ReadSysexFile(choice->path, settingsImage_);
    if (!read.ok)
        controls::Dialogs::instance().showOkCancel(
            this, QStringLiteral("File Error"), QStringLiteral("Can't perform Sysex File Read..."));
    // Judged on the bytes as read: filling the pages may rewrite some of them.
    const std::vector<std::uint8_t> loaded = settingsImage_.Bytes();
    const QFileInfo file(choice->path);
    openDialogFolder_ = file.absolutePath();
    setWindowTitle(QStringLiteral("Virtual Korvanette : ") + file.fileName());
    faderDesk_->hide();
    faderDesk_->TearDownSurface();
    LoadSettingsToForm();
    faderDesk_->BuildSurface();
    faderDesk_->RefreshKnobs();
    if (read.ok)
        WarnAboutDump(file.fileName(), loaded.data(), read.bytesRead, read.fileSize);
}

void TForm1::StoreSysexClick() {
    // Before the dialog: a cancelled store still leaves the header and switch bytes written.
    SaveSettingsFromForm();
    const auto choice = controls::Dialogs::instance().getSaveFile(
        this, {QStringLiteral("Save Sysex File To ..."),
               {SysexFilter, QStringLiteral("packdump INI file (*.INI)")},
               QStringLiteral("syx"),
               saveDialogFolder_,
               QStringLiteral("custom.syx")});
    if (!choice)
        return;
    const dump::FileResult result =
        choice->filterIndex == 1
            ? dump::WriteTextExport(choice->path,
                                    CollectTextExport(*editor_, testReleaseLabel_->text(),
                                                      QDateTime::currentDateTime()))
            : dump::WriteSysexFile(choice->path, settingsImage_);
    if (!result.ok) {
        // The old file is still there. A desktop user has no console: the line on standard
        // error alone would let them believe the settings were saved.
        std::fputs("Cannot open output file.\n", stderr);
        SetStatus(QStringLiteral("Cannot open output file."), FailureColor, result.error);
        return;
    }
    SetStatus(QStringLiteral("Stored To File : ") + QFileInfo(choice->path).fileName(),
              SuccessColor);
}

bool TForm1::RefusedWhileSending() {
    if (!pacedSender_->Running())
        return false;
    SetStatus(QString::fromLatin1(dump::SendRunningText), FailureColor);
    return true;
}

void TForm1::SlowSendToKorvaneClick() {
    if (RefusedWhileSending())
        return;
    SaveSettingsFromForm();
    SlowSendSysexToKorvaneExecute();
}

void TForm1::SlowSendSysexToKorvaneExecute() {
    if (!pacedSender_->StartPaced())
        return;
    // A verify still waiting would compare the box with the send before this one.
    transfer_->verifyPending = false;
    transfer_->verifyAnswerDue = false;
    transfer_->verifyTimer->stop();
    transfer_->sendTime.Start(model::DumpSize);
    transfer_->sendTime.Sample(transfer_->clock.elapsed(), model::HeaderSize);
    transfer_->sendProgress->setValue(model::HeaderSize);
    transfer_->sendTimeLeft->clear();
    UpdateCancelButton();
    // The box needs a moment after the header; the window stays alive meanwhile, and the
    // send may be cancelled in it.
    WaitWithEvents(250);
    if (pacedSender_->Running())
        sysexTimer_->SetEnabled(true);
}

void TForm1::SysexTimerTimer() {
    pacedSender_->OnTick();
}

void TForm1::PacedSendFinished() {
    if (pacedSender_->ApplyHeldDump()) {
        const std::vector<std::uint8_t> dump = settingsImage_.Bytes();
        LoadSettingsToForm();
        WarnAboutDump(QStringLiteral("Received dump"), dump.data(), model::DumpSize,
                      model::DumpSize);
    }
    transfer_->sendTimeLeft->clear();
    UpdateCancelButton();
    if (transfer_->verifyAfterSend->isChecked())
        StartVerify();
}

void TForm1::SendToKorvaneClick() {
    if (RefusedWhileSending())
        return;
    SaveSettingsFromForm();
    pacedSender_->SendAtOnce();
}

void TForm1::RequestSysexDumpClick() {
    // A request in the middle of a paced dump would cut the dump off at the box.
    if (RefusedWhileSending())
        return;
    // The answer to this request is meant to be loaded, whatever a verify asked before.
    transfer_->verifyAnswerDue = false;
    const auto request = dump::DumpRequest(deviceID_->value());
    midiOut1_->SysEx(request.data(), static_cast<int>(request.size()));
}

void TForm1::MidiIn1SysEx(const std::uint8_t* data, int size) {
    std::lock_guard l(transfer_->receiveMutex);
    std::vector<dump::ReceiverEffect> effects = dumpReceiver_->Feed(data, size);
    if (effects.empty())
        return;
    mailbox_->Post([this, effects = std::move(effects)] {
        if (!transfer_->dropReceiveEffects)
            ApplyReceiverEffects(effects);
    });
}

void TForm1::ApplyReceiverEffects(const std::vector<dump::ReceiverEffect>& effects) {
    using Kind = dump::ReceiverEffect::Kind;
    for (const dump::ReceiverEffect& effect : effects) {
        switch (effect.kind) {
        case Kind::Status:
            SetStatus(effect.text, effect.failure ? FailureColor : SuccessColor);
            break;
        case Kind::ReceiveCount:
            ShowReceiveCount(effect.text);
            break;
        case Kind::DumpReceived:
            if (transfer_->verifyAnswerDue) {
                VerifyAnswer(effect.dump);
                break;
            }
            // Unlike an opened file, a received dump leaves the caption and the surface alone.
            if (pacedSender_->ApplyReceivedDump(effect.dump) ==
                dump::PacedSender::ApplyResult::Applied) {
                LoadSettingsToForm();
                WarnAboutDump(QStringLiteral("Received dump"), effect.dump.data(),
                              static_cast<int>(effect.dump.size()),
                              static_cast<long long>(effect.dump.size()));
            } else {
                SetStatus(QString::fromLatin1(dump::DumpHeldText), SuccessColor);
            }
            break;
        }
    }
}

void TForm1::BuildTransferControls(QWidget* page) {
    transfer_ = new Transfer(this);
    Transfer& t = *transfer_;
    t.clock.start();
    const auto bar = [page](const char* name, QLabel* count, QRect geometry) {
        auto* b = new QProgressBar(page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(count->accessibleName());
        b->setRange(0, model::DumpSize);
        b->setValue(0);
        b->setTextVisible(false);
        b->setGeometry(geometry);
        return b;
    };
    const auto timeLeft = [page](const char* name, const QString& accessible, QRect geometry) {
        auto* l = new QLabel(page);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleName(accessible);
        l->setGeometry(geometry);
        return l;
    };
    t.receiveProgress = bar("ReceiveProgress", sysexReceiveCount_, {284, 346, 150, 16});
    t.receiveTimeLeft =
        timeLeft("ReceiveTimeLeft", QStringLiteral("Receive time left"), {446, 344, 140, 20});
    t.sendProgress = bar("SendProgress", bytesToSend_, {284, 370, 150, 16});
    t.sendTimeLeft =
        timeLeft("SendTimeLeft", QStringLiteral("Send time left"), {446, 368, 140, 20});

    t.cancel = new QPushButton(QStringLiteral("Cancel"), page);
    t.cancel->setObjectName(QStringLiteral("CancelTransfer"));
    t.cancel->setAccessibleName(QStringLiteral("Cancel"));
    t.cancel->setToolTip(QStringLiteral("Ends the running Sysex Send or reception (Escape)"));
    t.cancel->setGeometry(16, 396, 150, 28);
    t.cancel->setEnabled(false);
    connect(t.cancel, &QPushButton::clicked, this, &TForm1::CancelTransferClick);

    t.verifyAfterSend = new QCheckBox(VerifyCaption, page);
    t.verifyAfterSend->setObjectName(QStringLiteral("VerifyAfterSend"));
    t.verifyAfterSend->setAccessibleName(VerifyCaption);
    t.verifyAfterSend->setToolTip(
        QStringLiteral("After a Sysex Send, asks the box for its dump through the MIDI IN port "
                       "and compares it with what was sent; the box has 5 seconds to answer"));
    t.verifyAfterSend->setGeometry(176, 400, 150, 20);

    t.differences = new QPushButton(QStringLiteral("Differences ..."), page);
    t.differences->setObjectName(QStringLiteral("VerifyDifferences"));
    t.differences->setAccessibleName(QStringLiteral("Differences"));
    t.differences->setGeometry(326, 396, 110, 28);
    t.differences->setEnabled(false);
    connect(t.differences, &QPushButton::clicked, this, &TForm1::VerifyDifferencesClick);

    t.verifyTimer = new QTimer(&t);
    t.verifyTimer->setSingleShot(true);
    t.verifyTimer->setInterval(VerifyTimeoutMs);
    connect(t.verifyTimer, &QTimer::timeout, this, &TForm1::VerifyTimeout);

    hintsButton_->move(446, 396);
    page->setMinimumSize(600, 430);
    installEventFilter(this);
}

bool TForm1::EscapeCancelsTransfer(QObject* watched, QEvent* event) {
    // Keys nobody took on the File page come up to the window.
    if (watched == this && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        pages_->currentWidget() == fileSheet_ && transfer_->cancel->isEnabled()) {
        CancelTransferClick();
        return true;
    }
    return false;
}

void TForm1::UpdateCancelButton() {
    transfer_->cancel->setEnabled(pacedSender_->Running() || transfer_->receiving ||
                                  transfer_->verifyPending);
}

void TForm1::ShowSendProgress(int bytesLeft) {
    // Counts still on their way from a send that was cancelled.
    if (bytesLeft != 0 && !pacedSender_->Running())
        return;
    Transfer& t = *transfer_;
    bytesToSend_->setText(QString::number(bytesLeft));
    const int done = model::DumpSize - bytesLeft;
    t.sendProgress->setValue(done);
    t.sendTime.Sample(t.clock.elapsed(), done);
    t.sendTimeLeft->setText(bytesLeft == 0 ? QString() : t.sendTime.Text());
}

void TForm1::ShowReceiveCount(const QString& text) {
    Transfer& t = *transfer_;
    sysexReceiveCount_->setText(text);
    bool number = false;
    const int left = text.toInt(&number);
    if (number) {
        // A new message restarts the count, and the measurement with it.
        if (!t.receiving || left >= t.receiveLeft)
            t.receiveTime.Start(model::DumpSize);
        t.receiving = true;
        t.receiveLeft = left;
        const int done = model::DumpSize - left;
        t.receiveProgress->setValue(done);
        t.receiveTime.Sample(t.clock.elapsed(), done);
        t.receiveTimeLeft->setText(t.receiveTime.Text());
        if (t.verifyPending) {
            t.verifyHeard = true;
            t.verifyTimer->start(); // the box is answering: it gets time for the rest
        }
    } else {
        const bool done = text == QLatin1String("Done !!");
        t.receiving = false;
        t.receiveProgress->setValue(done ? model::DumpSize : 0);
        t.receiveTimeLeft->clear();
        if (!done && t.verifyPending) {
            t.verifyPending = false;
            t.verifyTimer->stop();
            SetStatus(QStringLiteral("Verify: the box answered with more than a dump of 4,103 "
                                     "bytes"),
                      FailureColor);
        }
    }
    UpdateCancelButton();
}

void TForm1::CancelTransferClick() {
    Transfer& t = *transfer_;
    QStringList said;
    bool sendCancelled = false;
    if (const auto sent = pacedSender_->Cancel()) {
        sendCancelled = true;
        bytesToSend_->setText(QStringLiteral("0"));
        t.sendProgress->setValue(0);
        t.sendTimeLeft->clear();
        said << QStringLiteral("Sysex Send cancelled after %1 of 4,103 bytes: the box's "
                               "settings are now partly old, partly new")
                    .arg(dump::GroupedNumber(*sent));
        if (pacedSender_->ApplyHeldDump())
            LoadSettingsToForm();
    }
    bool abandoned = false;
    {
        std::lock_guard l(t.receiveMutex);
        abandoned = dumpReceiver_->Abandon();
        if (abandoned) {
            t.dropReceiveEffects = true;
            mailbox_->Post([&t] { t.dropReceiveEffects = false; });
        }
    }
    if (abandoned) {
        t.receiving = false;
        sysexReceiveCount_->setText(QStringLiteral("0"));
        t.receiveProgress->setValue(0);
        t.receiveTimeLeft->clear();
        if (!t.verifyPending)
            said << QStringLiteral("Reception cancelled: the settings are as they were");
    }
    if (t.verifyPending) {
        t.verifyPending = false;
        t.verifyTimer->stop();
        said << QStringLiteral("Verify cancelled");
    }
    if (!said.isEmpty())
        SetStatus(said.join(QStringLiteral("; ")), sendCancelled ? FailureColor : SuccessColor);
    UpdateCancelButton();
}

void TForm1::StartVerify() {
    Transfer& t = *transfer_;
    if (!midiIn1_->Using()) {
        SetStatus(QStringLiteral("Verify after send: no MIDI IN port is open to read the box's "
                                 "dump back"),
                  FailureColor);
        return;
    }
    t.verifySent = pacedSender_->LastSent();
    t.verifyPending = true;
    t.verifyAnswerDue = true;
    t.verifyHeard = false;
    t.differenceTexts.clear();
    t.differences->setEnabled(false);
    const auto request = dump::DumpRequest(deviceID_->value());
    midiOut1_->SysEx(request.data(), static_cast<int>(request.size()));
    SetStatus(QStringLiteral("Verify: asking the box for its dump ..."), SuccessColor);
    t.verifyTimer->start();
    UpdateCancelButton();
}

void TForm1::VerifyAnswer(const std::vector<std::uint8_t>& dump) {
    Transfer& t = *transfer_;
    const bool late = !t.verifyPending;
    t.verifyPending = false;
    t.verifyAnswerDue = false;
    t.verifyTimer->stop();
    const std::vector<dump::FieldDifference> differences =
        dump::DumpDifferences(t.verifySent, dump);
    t.differenceTexts = dump::DifferenceTexts(differences);
    t.differences->setEnabled(!differences.empty());
    QString summary = dump::VerifySummary(differences);
    if (late)
        summary.replace(0, 7, QStringLiteral("Verify, late answer:"));
    SetStatus(summary, differences.empty() ? SuccessColor : FailureColor,
              differences.empty() ? QString() : QStringLiteral("Differences ... shows them all"));
    UpdateCancelButton();
}

void TForm1::VerifyTimeout() {
    Transfer& t = *transfer_;
    if (!t.verifyPending)
        return;
    t.verifyPending = false;
    SetStatus(t.verifyHeard ? QStringLiteral("Verify: the box's answer stopped before a whole "
                                             "dump had come")
                            : QStringLiteral("Verify: no answer from the box within 5 seconds"),
              FailureColor);
    UpdateCancelButton();
}

void TForm1::VerifyDifferencesClick() {
    const QStringList& lines = transfer_->differenceTexts;
    controls::Dialogs::instance().showList(
        this, VerifyCaption,
        QStringLiteral("The box differs from what was sent in %1 %2:")
            .arg(lines.size())
            .arg(lines.size() == 1 ? QStringLiteral("field") : QStringLiteral("fields")),
        lines);
}

void TForm1::WarnAboutDump(const QString& source, const std::uint8_t* loaded, int count,
                           long long size) {
    const QStringList warnings = dump::DumpWarnings(loaded, count, size);
    if (warnings.isEmpty())
        return;
    SetStatus(source + QStringLiteral(": ") + warnings.join(QStringLiteral("; ")), FailureColor,
              warnings.join(QLatin1Char('\n')));
}

} // namespace korv::app
