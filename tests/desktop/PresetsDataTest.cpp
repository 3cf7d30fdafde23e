// The presets file shipped with the program, read with the INI reader the program uses: every
// entry is a well-formed event the editor can show, named so a musician finds it, and the
// common assignments carry the right bytes.
#include <ini.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Preset {
    std::string key;
    std::string name;
};

struct PresetsData {
    std::map<std::string, std::vector<Preset>> sections;
};

int OnEntry(void* user, const char* section, const char* key, const char* value) {
    auto& data = *static_cast<PresetsData*>(user);
    data.sections[section].push_back({key, value});
    return 1;
}

class PresetsDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ini_parse(KORV_SHIPPED_PRESETS, OnEntry, &data), 0) << "parse error";
    }
    const std::vector<Preset>& pots() { return data.sections["POTPRESETS"]; }
    const std::vector<Preset>& buttons() { return data.sections["BUTTONPRESETS"]; }
    static std::string nameOf(const std::vector<Preset>& list, const std::string& key) {
        for (const Preset& p : list)
            if (p.key == key)
                return p.name;
        return "(missing " + key + ")";
    }
    static std::vector<int> bytesOf(const std::string& key) {
        std::vector<int> bytes;
        for (std::size_t i = 0; i + 1 < key.size(); i += 2)
            bytes.push_back(std::stoi(key.substr(i, 2), nullptr, 16));
        return bytes;
    }

    PresetsData data;
};

TEST_F(PresetsDataTest, HoldsOnlyTheTwoSectionsWithManyPresetsEach) {
    EXPECT_EQ(data.sections.size(), 2U);
    EXPECT_GE(pots().size(), 30U);
    EXPECT_GE(buttons().size(), 30U);
}

TEST_F(PresetsDataTest, KeysAreUpperCaseHexOfTheSectionsWidthAndUnique) {
    for (const auto& [section, width] : {std::pair{"POTPRESETS", 8U}, {"BUTTONPRESETS", 6U}}) {
        std::set<std::string> seen;
        for (const Preset& p : data.sections[section]) {
            EXPECT_EQ(p.key.size(), width) << section << " " << p.key;
            EXPECT_EQ(p.key.find_first_not_of("0123456789ABCDEF"), std::string::npos)
                << section << " " << p.key;
            EXPECT_TRUE(seen.insert(p.key).second) << "twice: " << section << " " << p.key;
        }
    }
}

TEST_F(PresetsDataTest, EveryEntryIsAChannelOneEventTheEditorOffers) {
    for (const auto* list : {&pots(), &buttons()}) {
        for (const Preset& p : *list) {
            const std::vector<int> b = bytesOf(p.key);
            ASSERT_FALSE(b.empty()) << p.key;
            // Note on to pitch bend; 0xF0 and up are the box's own meta events, 0x80 is not
            // offered by the editor.
            EXPECT_GE(b[0], 0x90) << p.key;
            EXPECT_LE(b[0], 0xE0) << p.key;
            EXPECT_EQ(b[0] & 0x0F, 0) << "channel 1: " << p.key;
            for (std::size_t i = 1; i < b.size(); ++i)
                EXPECT_LE(b[i], 0x7F) << "data byte " << i << " of " << p.key;
        }
    }
    for (const Preset& p : pots()) {
        const std::vector<int> b = bytesOf(p.key);
        EXPECT_LT(b[2], b[3]) << "range of " << p.key;
        // The encoder's value goes out as the second data byte, which these messages lack.
        EXPECT_NE(b[0], 0xC0) << p.key;
        EXPECT_NE(b[0], 0xD0) << p.key;
    }
}

TEST_F(PresetsDataTest, NamesAreUniqueAndEndInAnLcdLabelOfAtMost15Characters) {
    for (const auto* list : {&pots(), &buttons()}) {
        std::set<std::string> names;
        for (const Preset& p : *list) {
            EXPECT_TRUE(names.insert(p.name).second) << "twice: " << p.name;
            const auto colon = p.name.find(": ");
            ASSERT_NE(colon, std::string::npos) << p.name;
            EXPECT_GT(colon, 0U) << p.name;
            const std::string label = p.name.substr(colon + 2);
            EXPECT_FALSE(label.empty()) << p.name;
            EXPECT_LE(label.size(), 15U) << p.name;
            for (char c : p.name)
                EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "7-bit text for the LCD: " << p.name;
        }
    }
}

TEST_F(PresetsDataTest, CommonEncoderAssignmentsCarryTheirControllerNumbers) {
    EXPECT_EQ(nameOf(pots(), "B001007F"), "Modulation Wheel (CC 1): Modulation");
    EXPECT_EQ(nameOf(pots(), "B002007F"), "Breath Controller (CC 2): Breath");
    EXPECT_EQ(nameOf(pots(), "B004007F"), "Foot Controller (CC 4): Foot");
    EXPECT_EQ(nameOf(pots(), "B007007F"), "Volume (CC 7): Volume");
    EXPECT_EQ(nameOf(pots(), "B008007F"), "Balance (CC 8): Balance");
    EXPECT_EQ(nameOf(pots(), "B00A007F"), "Pan (CC 10): Pan");
    EXPECT_EQ(nameOf(pots(), "B00B007F"), "Expression (CC 11): Expression");
    EXPECT_EQ(nameOf(pots(), "B010007F"), "General Purpose 1 (CC 16): General 1");
    EXPECT_EQ(nameOf(pots(), "B04A007F"), "Cutoff / Brightness (CC 74): Cutoff");
    EXPECT_EQ(nameOf(pots(), "B05B007F"), "Reverb Depth (CC 91): Reverb");
    EXPECT_EQ(nameOf(pots(), "B05D007F"), "Chorus Depth (CC 93): Chorus");
    EXPECT_EQ(nameOf(pots(), "E000007F"), "Pitch Bend: Pitch Bend");
}

TEST_F(PresetsDataTest, CommonButtonAssignmentsCarryTheirBytes) {
    EXPECT_EQ(nameOf(buttons(), "903C7F"), "Note On: C3 vel 127");
    EXPECT_EQ(nameOf(buttons(), "B0407F"), "Sustain On (CC 64): Sustain On");
    EXPECT_EQ(nameOf(buttons(), "B04000"), "Sustain Off (CC 64): Sustain Off");
    EXPECT_EQ(nameOf(buttons(), "B0427F"), "Sostenuto On (CC 66): Sostenuto On");
    EXPECT_EQ(nameOf(buttons(), "B0437F"), "Soft Pedal On (CC 67): Soft On");
    EXPECT_EQ(nameOf(buttons(), "C00000"), "Program Change 1: Program 1");
    EXPECT_EQ(nameOf(buttons(), "C00700"), "Program Change 8: Program 8");
    EXPECT_EQ(nameOf(buttons(), "D07F00"), "Channel Pressure Full: Pressure 127");
    EXPECT_EQ(nameOf(buttons(), "E00040"), "Pitch Bend Centre: Bend Centre");
    EXPECT_EQ(nameOf(buttons(), "B07B00"), "All Notes Off (CC 123): All Notes Off");
    EXPECT_EQ(nameOf(buttons(), "B07900"), "Reset All Controllers (CC 121): Reset Ctrls");
}

} // namespace
