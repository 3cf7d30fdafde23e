// The preset selectors of the "Encoders" and "Buttons" pages over a presets file on disk: names
// shown for the entry being edited, presets applied when a name is picked from the list, and
// files that are missing or broken.
#include "EditorFixture.h"
#include "EditorPresets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace korv::test {
namespace {

const QByteArray SampleFile = "; presets for the tests\n"
                              "\n"
                              "[BUTTONPRESETS]\n"
                              "903C7F=Note On: C3 vel 127\n"
                              "# another comment\n"
                              "B0407F=Sustain On (CC 64): Sustain On\n"
                              "\n"
                              "[POTPRESETS]\n"
                              "b007007f=Mixer: Volume 1\n"
                              "B00A007F=Pan (CC 10): Pan\n"
                              "B00B007F=An Expression Pedal!\n"
                              "B00C007F=Effect Control 1: \n"
                              "B00700=Six Digits: Shifted\n"
                              "ZZZ=Not Hexadecimal: Odd One\n"
                              "C0C1007F=Mixer: Volume 1 Again\n";

class PresetsTest : public EditorTest {
protected:
    QString write(const QByteArray& content) {
        const QString path = dir.filePath(QStringLiteral("korvttpresets.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    void loadPresets(const QByteArray& content) {
        editor.LoadPresets(write(content));
        load();
    }
    QStringList items(const char* selector) {
        QStringList list;
        auto* box = control<QComboBox>(selector);
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }
    int itemIndex(const char* selector, const char* name) {
        return control<QComboBox>(selector)->findText(QString::fromLatin1(name));
    }
    QString label() { return control<QLineEdit>("PotLabel")->text(); }
    Bytes potEntry(int encoder) {
        return {data(4 * encoder), data(4 * encoder + 1), data(4 * encoder + 2),
                data(4 * encoder + 3)};
    }

    QTemporaryDir dir;
};

TEST_F(PresetsTest, ListsTheNamesOfBothSectionsInFileOrder) {
    loadPresets(SampleFile);
    EXPECT_EQ(items("ButtPresetName"),
              (QStringList{"Note On: C3 vel 127", "Sustain On (CC 64): Sustain On"}));
    EXPECT_EQ(items("PotPresetName"),
              (QStringList{"Mixer: Volume 1", "Pan (CC 10): Pan", "An Expression Pedal!",
                           "Effect Control 1:", "Six Digits: Shifted", "Not Hexadecimal: Odd One",
                           "Mixer: Volume 1 Again"}));
    EXPECT_EQ(editor.Presets().Lists().pots.keys.first(), "b007007f");
    // Read again, the lists replace what the selectors held.
    loadPresets(SampleFile);
    EXPECT_EQ(items("ButtPresetName").size(), 2);
    EXPECT_EQ(items("PotPresetName").size(), 7);
}

TEST_F(PresetsTest, TheSelectorNamesTheEntryIgnoringLetterCaseOrSaysUnknown) {
    loadPresets(SampleFile);
    // Encoder 0 of the default settings is B0 00 00 7F, which no preset names.
    EXPECT_EQ(shown("PotPresetName"), "Unknown");
    type("PotNumber", "7");
    EXPECT_EQ(shown("PotPresetName"), "Mixer: Volume 1");
    type("PotMax", "100");
    EXPECT_EQ(shown("PotPresetName"), "Unknown");
    type("PotMax", "127");
    EXPECT_EQ(shown("PotPresetName"), "Mixer: Volume 1");
    type("PotByte1", "10");
    EXPECT_EQ(shown("PotPresetName"), "Pan (CC 10): Pan");
    // A key that is no hexadecimal number never matches.
    EXPECT_EQ(editor.Presets().Lists().pots.NameOf("ZZZ"), "Not Hexadecimal: Odd One");
    EXPECT_EQ(editor.Presets().Lists().pots.NameOf("zzz0"), "Unknown");

    // Button 0 of the default settings is 90 3C 7F; button 1 plays on channel 2.
    EXPECT_EQ(shown("ButtPresetName"), "Note On: C3 vel 127");
    type("ButtNumber", "1");
    EXPECT_EQ(shown("ButtPresetName"), "Unknown");
    type("ButtByte0B", "1");
    EXPECT_EQ(shown("ButtPresetName"), "Note On: C3 vel 127");
    type("ButtByte2", "0");
    EXPECT_EQ(shown("ButtPresetName"), "Unknown");
}

TEST_F(PresetsTest, PickingAnEncoderPresetWritesItsBytesAndLabelAndKeepsItsName) {
    loadPresets(SampleFile);
    type("PotNumber", "20");
    type("PotByte0", "145");
    type("PotMin", "5");
    type("PotMax", "100");
    // Every byte as it is written sees the picked name, not a lookup of a half-written entry.
    QStringList namesWhileWriting;
    for (const char* spin : {"PotByte0", "PotByte1", "PotMin", "PotMax"})
        QObject::connect(control<QSpinBox>(spin), &QSpinBox::valueChanged, &tabs,
                         [&] { namesWhileWriting << shown("PotPresetName"); });
    pick("PotPresetName", itemIndex("PotPresetName", "Pan (CC 10): Pan"));

    EXPECT_EQ(potEntry(20), (Bytes{0x30, 0x0A, 0x00, 0x7F}));
    EXPECT_EQ(text("PotByte1HEX"), "0A");
    EXPECT_EQ(label(), "Pan");
    EXPECT_EQ(image.LabelText(20), "Pan");
    EXPECT_EQ(shown("PotPresetName"), "Pan (CC 10): Pan");
    EXPECT_EQ(namesWhileWriting, QStringList(4, "Pan (CC 10): Pan"));
    // Once applied, a byte typed by hand is looked up again.
    type("PotMax", "100");
    EXPECT_EQ(shown("PotPresetName"), "Unknown");
    type("PotMax", "127");

    // Bytes equal to the entry change only the label.
    image.SetLabelText(20, "Xyzw");
    load();
    const Bytes before = image.Bytes();
    pick("PotPresetName", itemIndex("PotPresetName", "Pan (CC 10): Pan"));
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()),
              (std::vector<int>{0x941, 0x942, 0x943, 0x944, 0x945}));
    EXPECT_EQ(label(), "Pan");
}

TEST_F(PresetsTest, TheLabelIsTheTextAfterTheFirstColonSpaceCutTo15) {
    loadPresets("[POTPRESETS]\n"
                "B007007F=Mixer: Volume 1\n"
                "B008007F=Twenty Characters Ok\n"
                "B009007F=Two: Colons: Here\n"
                "B00A007F=Ends In A Colon: \n"
                "B00B007F=Long: Sixteen Letters\n"
                "B00C007F=Keep: Label\n");
    const auto labelAfterPicking = [this](const char* name) {
        pick("PotPresetName", itemIndex("PotPresetName", name));
        return label();
    };
    EXPECT_EQ(labelAfterPicking("Mixer: Volume 1"), "Volume 1");
    EXPECT_EQ(labelAfterPicking("Twenty Characters Ok"), "Twenty Characte");
    EXPECT_EQ(labelAfterPicking("Two: Colons: Here"), "Colons: Here");
    EXPECT_EQ(labelAfterPicking("Long: Sixteen Letters"), "Sixteen Letters");
    // The file's reader trims the blank after the colon; the label is empty all the same.
    EXPECT_EQ(labelAfterPicking("Ends In A Colon:"), "");
    EXPECT_EQ(image.PotByte1(0), 0x0A);
    EXPECT_EQ(labelAfterPicking("Long: Sixteen Letters"), "Sixteen Letters");

    click("PresetCopiesNameCheckBox");
    ASSERT_FALSE(control<QCheckBox>("PresetCopiesNameCheckBox")->isChecked());
    EXPECT_EQ(labelAfterPicking("Keep: Label"), "Sixteen Letters");
    EXPECT_EQ(image.PotByte1(0), 0x0C);
}

TEST_F(PresetsTest, ANameEndingInColonSpaceGivesAnEmptyLabel) {
    loadPresets("[POTPRESETS]\nB007007F=\"Quoted: \"\nB008007F='Single: Quoted'\n"
                "B009007F=\"Mixed: Quotes'\n");
    EXPECT_EQ(items("PotPresetName"),
              (QStringList{"Quoted: ", "Single: Quoted", "\"Mixed: Quotes'"}));
    pick("PotPresetName", 0);
    EXPECT_EQ(label(), "");
    EXPECT_EQ(image.LabelText(0), "");
    EXPECT_EQ(editor::LabelOfPresetName(": Lead"), "Lead");
}

TEST_F(PresetsTest, TypedNamesApplyNothing) {
    loadPresets(SampleFile);
    const Bytes before = image.Bytes();
    type("PotPresetName", "Pan (CC 10): Pan");
    type("ButtPresetName", "Sustain On");
    EXPECT_EQ(image.Bytes(), before);
    EXPECT_EQ(label(), "CC #  0        ");
}

TEST_F(PresetsTest, ShortAndNonHexadecimalEncoderKeys) {
    loadPresets(SampleFile);
    type("PotNumber", "3");
    // B00700 reads as 00 B0 07 00: each spin box keeps it in its range.
    pick("PotPresetName", itemIndex("PotPresetName", "Six Digits: Shifted"));
    EXPECT_EQ(value("PotByte0"), 0x90);
    EXPECT_EQ(value("PotByte1"), 0x7F);
    EXPECT_EQ(value("PotMin"), 0x07);
    EXPECT_EQ(value("PotMax"), 0x00);
    EXPECT_EQ(potEntry(3), (Bytes{0x10, 0x7F, 0x07, 0x00}));
    EXPECT_EQ(label(), "Shifted");

    const Bytes before = image.Bytes();
    pick("PotPresetName", itemIndex("PotPresetName", "Not Hexadecimal: Odd One"));
    EXPECT_EQ(label(), "Odd One");
    EXPECT_EQ(potEntry(3), (Bytes{0x10, 0x7F, 0x07, 0x00}));
    EXPECT_EQ(ChangedDataOffsets(before, image.Bytes()).size(), 7U); // the label's 7 letters
}

TEST_F(PresetsTest, PickingAButtonPresetWritesItsThreeBytesAndKeepsTheMode) {
    loadPresets(SampleFile);
    type("ButtNumber", "5");
    pick("ButtMode", 2);
    type("ButtByte2", "5");
    pick("ButtPresetName", itemIndex("ButtPresetName", "Sustain On (CC 64): Sustain On"));
    EXPECT_EQ(data(0x200 + 4 * 5), 0x30);
    EXPECT_EQ(data(0x200 + 4 * 5 + 1), 0x40);
    EXPECT_EQ(data(0x200 + 4 * 5 + 2), 0x7F);
    EXPECT_EQ(data(0x200 + 4 * 5 + 3), 0x02);
    EXPECT_EQ(text("ButtByte0HEX"), "B0");
    EXPECT_EQ(shown("ButtByte0A"), "B : Controller ");
    EXPECT_EQ(shown("ButtPresetName"), "Sustain On (CC 64): Sustain On");
    // Labels belong to encoders only.
    EXPECT_EQ(label(), "CC #  0        ");
}

TEST_F(PresetsTest, HexKeysAreReadAsScanfReadsThem) {
    EXPECT_EQ(editor::ReadPresetKey("B007007F"), 0xB007007Fu);
    EXPECT_EQ(editor::ReadPresetKey("  0xb007007f"), 0xB007007Fu);
    EXPECT_EQ(editor::ReadPresetKey("903C7Fzz"), 0x903C7Fu);
    EXPECT_EQ(editor::ReadPresetKey("0x"), 0u);
    EXPECT_EQ(editor::ReadPresetKey("1B007007F"), 0xB007007Fu);
    EXPECT_EQ(editor::ReadPresetKey("a0"), 0xA0u);
    EXPECT_EQ(editor::ReadPresetKey("ZZZ"), std::nullopt);
    EXPECT_EQ(editor::ReadPresetKey(""), std::nullopt);
}

TEST_F(PresetsTest, AMissingFileOrSectionLeavesTheSelectorsEmpty) {
    editor.LoadPresets(dir.filePath("nothing-here.ini"));
    load();
    EXPECT_EQ(control<QComboBox>("PotPresetName")->count(), 0);
    EXPECT_EQ(control<QComboBox>("ButtPresetName")->count(), 0);
    EXPECT_EQ(shown("PotPresetName"), "Unknown");
    EXPECT_EQ(shown("ButtPresetName"), "Unknown");

    loadPresets("[OTHER]\nB007007F=Elsewhere: Other\n[potpresets]\nB007007F=Volume: Vol\n");
    EXPECT_EQ(items("PotPresetName"), (QStringList{"Volume: Vol"}));
    EXPECT_EQ(control<QComboBox>("ButtPresetName")->count(), 0);
}

TEST_F(PresetsTest, TheLongestLineThatFitsKeepsTheLineAfterIt) {
    // 198 characters and the newline fill the reader's 200-byte line exactly.
    const QByteArray name = "Fits: " + QByteArray(183, 'y');
    QByteArray content = "[POTPRESETS]\nB0010080=" + name + "\nB0020080=Next: Next\n";
    ASSERT_EQ(content.indexOf("\nB002") - content.indexOf("B001"), 198);
    loadPresets(content);
    EXPECT_EQ(items("PotPresetName"), (QStringList{QString::fromLatin1(name), "Next: Next"}));
}

TEST_F(PresetsTest, ABrokenFileLoadsWhatItCan) {
    QByteArray content = "[POTPRESETS]\n";
    // A line far longer than a line may be: its name is cut, and the "=" deep inside it
    // does not come back as a key of its own.
    content += "B001007F=Long: " + QByteArray(500, 'x') + "=B002007F=Not a preset\n";
    content += "B007007F=Volume: Vol\n";
    content += "b007007F=Twice: Second\n"; // the first of two equal keys counts
    content += "no equals sign on this line\n";
    content += QByteArray("\x00\xFF\xFE=\x01\x80junk\n\x7F\xC3(", 14);
    content += "\nB00A007F=\n"; // no name
    content += "  B00B007F  =  Expression: Expr  \r\n";
    content += "B00C007F=R\xC3\xA9sonance: R\xC3\xA9s\n"; // UTF-8
    content += "B00D007F=Caf\xE9: Caf\xE9\n";             // an 8-bit code page
    // Keys equal to a lookup, which ignores letter case, are one key, even where upper case
    // tells them apart (the Kelvin sign and k) or merges them (sharp s and ss).
    content += "\xE2\x84\xAA=Kelvin Sign\nk=Small K\n\xC3\x9F=Sharp S\nss=Double S\n";
    loadPresets(content);

    const QStringList names = items("PotPresetName");
    ASSERT_GE(names.size(), 6);
    EXPECT_TRUE(names[0].startsWith("Long: xxxx"));
    EXPECT_LT(names[0].size(), 200);
    for (const QString& name : names) // the rest of the long line makes up no preset
        EXPECT_FALSE(name.contains("Not a preset")) << name.toStdString();
    EXPECT_TRUE(names.contains("Volume: Vol"));
    EXPECT_FALSE(names.contains("Twice: Second"));
    EXPECT_TRUE(names.contains("Untitled"));
    EXPECT_TRUE(names.contains("Expression: Expr"));
    EXPECT_TRUE(names.contains(QString::fromUtf8("R\xC3\xA9sonance: R\xC3\xA9s")));
    EXPECT_TRUE(names.contains(QString::fromUtf8("Caf\xC3\xA9: Caf\xC3\xA9")));
    EXPECT_EQ(editor.Presets().Lists().pots.NameOf("B00B007F"), "Expression: Expr");
    EXPECT_TRUE(names.contains("Kelvin Sign"));
    EXPECT_FALSE(names.contains("Small K"));
    EXPECT_EQ(editor.Presets().Lists().pots.NameOf("k"), "Kelvin Sign");
    EXPECT_EQ(editor.Presets().Lists().pots.NameOf("ss"), "Double S");

    // A label keeps to what the LCD shows.
    type("PotNumber", "12");
    pick("PotPresetName", itemIndex("PotPresetName", "R\xE9sonance: R\xE9s"));
    EXPECT_EQ(label(), "Rs");
    EXPECT_EQ(image.LabelText(12), "Rs");
}

} // namespace
} // namespace korv::test
