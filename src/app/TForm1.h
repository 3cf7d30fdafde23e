// The main window: the "File" page with the MIDI port selectors, the status line and the dump
// buttons, and the editor pages. Owns the settings image, the two MIDI ports, the tempo clock of
// the paced send and the control-surface window.
#pragma once

#include "MidiHealth.h"
#include "SettingsImage.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTimer;
class QPlainTextEdit;

namespace korv::midi {
class MidiSystem;
class TMidiIn;
class TMidiOut;
class TTempoTimer;
} // namespace korv::midi
namespace korv::controls {
class TKnob;
}
namespace korv::surface {
class ShortMessageInbox;
class TFaderDesk;
} // namespace korv::surface
namespace korv::editor {
class SettingsEditor;
}
namespace korv::dump {
class DumpReceiver;
class PacedSender;
struct ReceiverEffect;
} // namespace korv::dump

namespace korv::app {

class GuiMailbox;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole start-up (FormCreate); both ports are closed afterwards.
    explicit TForm1(midi::MidiSystem& midiSystem, QWidget* parent = nullptr);
    // The same, asking for the MIDI system only when the port lists are filled: the MIDI
    // services may still be opening (a JACK server takes its time) while the pages are built.
    using MidiSystemSource = std::function<midi::MidiSystem&()>;
    explicit TForm1(const MidiSystemSource& midiSystem, QWidget* parent = nullptr);
    ~TForm1() override;

    model::SettingsImage& SettingsImage() { return settingsImage_; }
    midi::TMidiIn& MidiIn1() { return *midiIn1_; }
    midi::TMidiOut& MidiOut1() { return *midiOut1_; }
    midi::TTempoTimer& SysexTimer() { return *sysexTimer_; }
    surface::TFaderDesk& FaderDesk() { return *faderDesk_; }
    editor::SettingsEditor& Editor() { return *editor_; }

    // Fills the editor pages from the settings image and enables what needs loaded settings.
    void LoadSettingsToForm();
    // Writes the header with the Sysex Device ID and the box-wide flags into the settings image,
    // before it is stored, sent or exported.
    void SaveSettingsFromForm();
    // A pause that keeps the window alive: processes GUI events until the one-shot
    // SysexHeadTimer has run out.
    void WaitWithEvents(int ms);

    static const QColor FailureColor; // RGB 255, 0, 0
    static const QColor SuccessColor; // RGB 0, 128, 128

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const MidiSystemSource& midiSystem);
    void BuildFilePage(QWidget* page);
    // `details` shows when the pointer rests on the status line.
    void SetStatus(const QString& text, const QColor& color, const QString& details = {});
    void MIDIOutComboBoxChange(int index);
    void MIDIInComboBoxChange(int index);
    void EnablePortButtons();
    void EnableRequestButton();
    // Polled: losses and a vanished MIDI service go on the status line in red.
    void CheckMidiHealth();
    void SysexSendSpeedChange(int value);
    void ShowFaderDeskClick();
    void HintsButtonClick();
    void VantuURLLabelClick();
    void TestKnobChange();
    void TestKnobMouseDown(Qt::MouseButton button);
    // Right-click editing on the surface: the main window comes forward on that page.
    void ShowEditorPage(QWidget* page);

    // The dump commands of the File page (TForm1Dump.cpp).
    void SetUpDumpExchange();
    void OpenSysexClick();
    void StoreSysexClick();
    void SlowSendToKorvaneClick();
    void SlowSendSysexToKorvaneExecute();
    void SysexTimerTimer();
    void SendToKorvaneClick();
    void RequestSysexDumpClick();
    // While a paced send runs, nothing else may go out or replace the image it reads: says so
    // on the status line and answers true.
    bool RefusedWhileSending();
    // Runs on the MIDI thread: the effects go to the window in buffer order.
    void MidiIn1SysEx(const std::uint8_t* data, int size);
    void ApplyReceiverEffects(const std::vector<dump::ReceiverEffect>& effects);
    void PacedSendFinished();

    // MIDI input of short messages (TForm1Input.cpp): learning, motorized knobs, page keys.
    void SetUpMidiInput();
    // Runs on the MIDI thread: only hands the message on to the window.
    void MidiIn1Short(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // On the GUI thread, one message at a time in arrival order.
    void ShortMessageArrived(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void ShortMessagesDropped(std::uint64_t dropped);

    // Following, ending and checking transfers (TForm1Dump.cpp): progress and time left,
    // Cancel and Escape, verify by reading back, warnings on damaged dumps.
    struct Transfer;
    void BuildTransferControls(QWidget* page);
    void ShowSendProgress(int bytesLeft);
    void ShowReceiveCount(const QString& text);
    void UpdateCancelButton();
    void CancelTransferClick();
    void StartVerify();
    void VerifyAnswer(const std::vector<std::uint8_t>& dump);
    void VerifyTimeout();
    void VerifyDifferencesClick();
    // Says on the status line what is wrong with a dump that was loaded all the same.
    void WarnAboutDump(const QString& source, const std::uint8_t* loaded, int count,
                       long long size);
    // Escape on the File page ends a running transfer; true when it did.
    bool EscapeCancelsTransfer(QObject* watched, QEvent* event);

    model::SettingsImage settingsImage_;
    midi::MidiSystem* midiSystem_ = nullptr;
    MidiHealth midiHealth_;
    std::unique_ptr<midi::TMidiIn> midiIn1_;
    std::unique_ptr<midi::TMidiOut> midiOut1_;
    std::unique_ptr<midi::TTempoTimer> sysexTimer_;
    std::unique_ptr<surface::TFaderDesk> faderDesk_;
    std::unique_ptr<editor::SettingsEditor> editor_;
    // Declared after the image, ports and clock they use, so they are destroyed before them.
    std::unique_ptr<dump::PacedSender> pacedSender_;
    std::unique_ptr<dump::DumpReceiver> dumpReceiver_;
    std::unique_ptr<surface::ShortMessageInbox> shortInbox_;
    // What the MIDI and timer threads hand to the window.
    GuiMailbox* mailbox_ = nullptr;
    Transfer* transfer_ = nullptr; // a child of the window
    QString openDialogFolder_; // follows the files opened
    QString saveDialogFolder_; // the program's folder

    QTabWidget* pages_ = nullptr;
    QWidget* fileSheet_ = nullptr;
    QWidget* boxSettingsTabsheet_ = nullptr;
    QWidget* potSettings_ = nullptr;
    QWidget* buttSettings_ = nullptr;
    QWidget* helpTabSheet_ = nullptr;

    QLabel* testReleaseLabel_ = nullptr;
    QLabel* vantuURLLabel_ = nullptr;
    controls::TKnob* testKnob_ = nullptr;
    QComboBox* emulatedBox_ = nullptr;
    QPushButton* showFaderDesk_ = nullptr;
    QPushButton* openSysex_ = nullptr;
    QPushButton* storeSysex_ = nullptr;
    QPushButton* requestSysexDump_ = nullptr;
    QPushButton* slowSendToKorvane_ = nullptr;
    QPushButton* sendToKorvane_ = nullptr;
    QComboBox* midiInComboBox_ = nullptr;
    QComboBox* midiOutComboBox_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* sysexReceiveCount_ = nullptr;
    QLabel* bytesToSend_ = nullptr;
    QSpinBox* deviceID_ = nullptr;
    QSpinBox* sysexSendSpeed_ = nullptr;
    QPushButton* hintsButton_ = nullptr;
    QPlainTextEdit* helpMemo_ = nullptr;
    QTimer* sysexHeadTimer_ = nullptr;
};

} // namespace korv::app
