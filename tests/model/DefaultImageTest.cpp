// Rebuilds the default image from its description, independently of the compiled-in file, and
// compares every byte.
#include "SettingsImage.h"

#include <QString>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

using namespace korv::model;

namespace {

std::vector<std::uint8_t> describedDefault() {
    std::vector<std::uint8_t> img(DumpSize, 0);
    const std::uint8_t header[] = {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02};
    std::memcpy(img.data(), header, sizeof header);
    img[DumpSize - 1] = 0xF7;
    auto at = [&](int dataOffset) -> std::uint8_t& { return img[HeaderSize + dataOffset]; };
    auto put = [&](int dataOffset, std::initializer_list<int> bytes) {
        for (int b : bytes)
            at(dataOffset++) = static_cast<std::uint8_t>(b);
    };

    for (int n = 0; n < 128; ++n)
        put(4 * n, {0x30, n, 0x00, 0x7F});
    for (int m = 0; m < 64; ++m) {
        const int e = 0x200 + 4 * m;
        if (m < 16)
            put(e, {0x10 + m, 0x3C, 0x7F, 0});
        else if (m == 16)
            put(e, {0x7F, 0x03, 0x13, 0});
        else if (m == 17)
            put(e, {0x7F, 0x08, 0x40, 0});
        else if (m == 18)
            put(e, {0x7F, 0x08, 0x11, 0});
        else if (m == 19)
            put(e, {0x7F, 0x08, 0x21, 0});
        else if (m <= 23)
            put(e, {0x10, 0x40 + (m - 20), 0x7F, 0});
        else
            put(e, {0x7F, 0x7F, 0x7F, 0});
    }
    // Patterns as LED words, split the way the box stores them.
    const std::uint16_t grow[32] = {0x001, 0x001, 0x003, 0x003, 0x003, 0x007, 0x007, 0x007,
                                    0x00F, 0x00F, 0x00F, 0x01F, 0x01F, 0x01F, 0x03F, 0x03F,
                                    0x03F, 0x03F, 0x07F, 0x07F, 0x07F, 0x0FF, 0x0FF, 0x0FF,
                                    0x1FF, 0x1FF, 0x1FF, 0x3FF, 0x3FF, 0x3FF, 0x7FF, 0x7FF};
    const std::uint16_t anchored[32] = {0x03F, 0x03F, 0x03E, 0x03E, 0x03E, 0x03C, 0x03C, 0x03C,
                                        0x038, 0x038, 0x038, 0x030, 0x030, 0x030, 0x020, 0x020,
                                        0x020, 0x020, 0x060, 0x060, 0x060, 0x0E0, 0x0E0, 0x0E0,
                                        0x1E0, 0x1E0, 0x1E0, 0x3E0, 0x3E0, 0x3E0, 0x7E0, 0x7E0};
    const std::uint16_t moving[32] = {0x001, 0x001, 0x002, 0x002, 0x002, 0x004, 0x004, 0x004,
                                      0x008, 0x008, 0x008, 0x010, 0x010, 0x010, 0x020, 0x020,
                                      0x020, 0x020, 0x040, 0x040, 0x040, 0x080, 0x080, 0x080,
                                      0x100, 0x100, 0x100, 0x200, 0x200, 0x200, 0x400, 0x400};
    const std::uint16_t* patterns[4] = {grow, anchored, moving, moving};
    for (int k = 0; k < 4; ++k) {
        for (int e = 0; e < 32; ++e) {
            const int w = patterns[k][e];
            put(0x400 + k * 128 + e * 4, {(w >> 8) & 0x7F, (w >> 15) & 1, w & 0x7F, (w >> 7) & 1});
        }
    }
    for (int i = 0x680; i < 0x690; ++i)
        at(i) = 0x0F;
    put(0x690, {0x58, 0x23, 0x01, 0x00, 0x00, 0x04});
    std::memcpy(&at(0x696), "Sample Bank     ", 16);
    put(0x6B6, {0x02, 0x00, 0x00, 0x00});
    for (int j = 1; j <= 8; ++j)
        put(0x6BA + 2 * (j - 1), {j, 0});
    for (int n = 0; n < 128; ++n) {
        char label[17];
        std::snprintf(label, sizeof label, "bCC #%3d        ", n);
        std::memcpy(&at(0x800 + 16 * n), label, 16);
    }
    return img;
}

} // namespace

TEST(DefaultImage, CompiledInDumpMatchesTheDescribedDefaultsByteForByte) {
    const auto expected = describedDefault();
    const auto actual = SettingsImage::DefaultImage();
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < DumpSize; ++i)
        ASSERT_EQ(actual[i], expected[i]) << "image offset " << i;
}

TEST(DefaultImage, NewImageHoldsTheDefaultAndReadsItBackThroughTheAccessors) {
    SettingsImage image;
    EXPECT_EQ(image.Bytes(), SettingsImage::DefaultImage());
    EXPECT_EQ(image.BankName(), "Sample Bank     ");
    EXPECT_EQ(image.LabelText(0), "CC #  0        ");
    EXPECT_EQ(image.LabelText(127), "CC #127        ");
    EXPECT_EQ(image.LabelMode(5), 6);
    EXPECT_EQ(image.TouchSensitivity(), 3);
    EXPECT_EQ(image.MergerMode(), 0);
    EXPECT_TRUE(image.Flag(BoxFlag::AutoSnapshot));
    EXPECT_EQ(image.SrOutMap(8), 8);
    EXPECT_EQ(image.LedWord(1, 32), 0x07FF);
    EXPECT_EQ(image.LedWord(2, 1), 0x003F);
    EXPECT_EQ(image.PotStatus(3), 0xB0);
    EXPECT_EQ(image.ButtStatus(17), 0xFF);
}

TEST(DefaultImage, AMissingOrDamagedBuiltInDumpIsAnErrorInEveryBuild) {
    try {
        SettingsImage::ReadDefaultImage(QStringLiteral(":/KVNTESTD/NOSUCHDUMP"));
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "The built-in default settings (:/KVNTESTD/NOSUCHDUMP) are missing from the "
                     "program.");
    }
    QTemporaryFile shortDump;
    ASSERT_TRUE(shortDump.open());
    shortDump.write(QByteArray(4102, '\0'));
    shortDump.close();
    try {
        SettingsImage::ReadDefaultImage(shortDump.fileName());
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "The built-in default settings (" +
                                             shortDump.fileName().toStdString() +
                                             ") are 4102 bytes instead of 4103.");
    }
}
