#include "EditorExport.h"

#include "BoxSettingsPage.h"
#include "ButtSettingsPage.h"
#include "PotSettingsPage.h"
#include "SettingsEditor.h"
#include "SettingsImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace korv::app {
namespace {

dump::BoxExportRow boxRow(const editor::BoxSettingsPage& box) {
    dump::BoxExportRow row;
    row.bankName = box.BankNameEdit()->text();
    row.snapShotAtPowerOn = box.SnapShotAtPowerOn()->isChecked();
    row.autoSnapshot = box.AutoSnapshot()->isChecked();
    row.mergerMode = box.MIDIMergerMode()->currentIndex();
    row.midiLeds = box.MIDILeds()->isChecked();
    row.sendPCOnBankChange = box.SendPCOnBankChange()->isChecked();
    row.receivePCForBankChange = box.ReceivePCForBankChange()->isChecked();
    row.touchsensorSensitivity = box.TouchsensorSensitivity()->value();
    row.lcEmulationId = box.LCEmulationID()->value();
    row.disableMenuNavigation = box.DisableMenuNavigation()->isChecked();
    for (int sr = 1; sr <= editor::BoxSettingsPage::SrOutCount; ++sr)
        row.srOutMap[sr - 1] = box.SROUT_Map(sr)->currentIndex();
    return row;
}

std::vector<dump::EncoderExportRow> encoderRows(editor::PotSettingsPage& pot) {
    std::vector<dump::EncoderExportRow> rows;
    const int shown = pot.PotNumber()->value();
    for (int id = 0; id < model::EncoderCount; ++id) {
        pot.PotNumber()->setValue(id); // the page fills itself from the image
        rows.push_back({pot.PotBank()->value(), pot.PotNumberInBank()->value(),
                        pot.PotByte0HEX()->text(), pot.PotByte1HEX()->text(),
                        pot.PotMinHEX()->text(), pot.PotMaxHEX()->text(),
                        pot.EncMode()->currentIndex(), pot.EncSpeed()->currentIndex(),
                        pot.LedMode()->currentIndex(), pot.PotLabel()->text(),
                        pot.PotLabelMode()->currentText()});
    }
    pot.PotNumber()->setValue(shown);
    return rows;
}

std::vector<dump::ButtonExportRow> buttonRows(editor::ButtSettingsPage& butt) {
    std::vector<dump::ButtonExportRow> rows;
    const int shown = butt.ButtNumber()->value();
    for (int id = 0; id < model::ButtonCount; ++id) {
        butt.ButtNumber()->setValue(id);
        rows.push_back({butt.ButtonNumberInBank()->value(), butt.ButtByte0HEX()->text(),
                        butt.ButtByte1HEX()->text(), butt.ButtByte2HEX()->text(),
                        butt.ButtMode()->currentIndex()});
    }
    butt.ButtNumber()->setValue(shown);
    return rows;
}

std::vector<dump::PatternExportRow> patternRows(editor::BoxSettingsPage& box) {
    std::vector<dump::PatternExportRow> rows;
    const int shownPattern = box.LEDPattern_Nr()->value();
    const int shownStep = box.LEDPattern_Entry()->value();
    for (int pattern = 1; pattern <= model::LedPatternCount; ++pattern) {
        for (int step = 1; step <= model::LedStepCount; ++step) {
            box.LEDPattern_Nr()->setValue(pattern);
            box.LEDPattern_Entry()->setValue(step);
            dump::PatternExportRow row{pattern, step, {}};
            for (int led = 1; led <= model::LedCount; ++led)
                row.leds[led - 1] = box.LEDPattern_CB(led)->isChecked();
            rows.push_back(row);
        }
    }
    box.LEDPattern_Nr()->setValue(shownPattern);
    box.LEDPattern_Entry()->setValue(shownStep);
    return rows;
}

} // namespace

dump::TextExportData CollectTextExport(editor::SettingsEditor& editor, const QString& releaseText,
                                       const QDateTime& now) {
    dump::TextExportData data;
    data.releaseText = releaseText;
    data.generatedOn = dump::GeneratedOnText(now);
    data.box = boxRow(editor.BoxPage());
    data.encoders = encoderRows(editor.PotPage());
    data.buttons = buttonRows(editor.ButtPage());
    data.patterns = patternRows(editor.BoxPage());
    return data;
}

} // namespace korv::app
