#include "render/ColourTable.h"
#include "render/LogFont.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ScratchFolder.h"
#include "tests/render/FullSettingsIni.h"

namespace qurix {
namespace {

using test::ScratchFolder;

TEST(SettingsReadTest, DefaultsWithoutAnIni) {
    ScratchFolder folder;
    const CProfile profile(folder.File("KIVOX.INI"));  // never written
    CColourTable table;
    table.Set(ColourKey::Grid, 99);
    ReadColours(profile, table);
    EXPECT_EQ(table, CColourTable());
    EXPECT_EQ(table.Get(ColourKey::BG), 16777215u);
    EXPECT_EQ(table.Get(ColourKey::Bus), MakeColour(0, 128, 192));
    EXPECT_EQ(table.Get(ColourKey::ComponentFrame), MakeColour(128, 128, 255));
    EXPECT_EQ(table.Get(ColourKey::Grid), MakeColour(255, 64, 64));
    EXPECT_EQ(table.Get(ColourKey::NcMark), MakeColour(255, 32, 32));
    EXPECT_EQ(ZeroLengthPinColor, MakeColour(255, 192, 192));

    const LogFont f = ReadFontSetting(profile, "LabelFont", "Tahoma", 9);
    LogFont expected;
    expected.height = 9;
    expected.weight = 400;
    expected.SetFaceName("Tahoma");
    EXPECT_EQ(f, expected);
}

TEST(SettingsReadTest, EveryKeySet) {
    ScratchFolder folder;
    const CProfile profile(folder.Write("KIVOX.INI", FULL_INI));
    CColourTable table;
    ReadColours(profile, table);
    for (int32_t i = 0; i < COLOUR_COUNT; ++i) {
        EXPECT_EQ(table.Get(static_cast<ColourKey>(i)), static_cast<Colour>(i + 1))
            << CColourTable::KeyName(static_cast<ColourKey>(i));
    }

    const LogFont label = ReadFontSetting(profile, "LabelFont", "Tahoma", 9);
    EXPECT_EQ(label.height, 12);
    EXPECT_EQ(label.weight, 700);
    EXPECT_EQ(label.italic, 1);
    EXPECT_EQ(label.FaceName(), "IPAGothic");

    // Weight 1 is the thinnest weight, not bold; only the low byte of "IsItalic" counts;
    // a 40-character face keeps 31.
    const LogFont name = ReadFontSetting(profile, "CompNameFont", "Tahoma", 9);
    EXPECT_EQ(name.height, -14);
    EXPECT_EQ(name.weight, 1);
    EXPECT_EQ(name.italic, 0);
    EXPECT_EQ(name.FaceName(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(name.faceName[31], '\0');
    EXPECT_EQ(name.width, 0);
    EXPECT_EQ(name.escapement, 0);
    EXPECT_EQ(name.charSet, 0);
    EXPECT_EQ(name.outPrecision, 0);
}

TEST(SettingsReadTest, OddValuesReadAsTheProfileGivesThem) {
    ScratchFolder folder;
    const CProfile profile(folder.Write("KIVOX.INI",
                                        "[defaultcolor]\nBG = \"0\"\nSelect=abc\nWire=-1\n"
                                        "Grid=16777216\nTag=12x\n"
                                        "[LabelFont]\nIsItalic=-1\nHeight=\nFaceName=\n"));
    CColourTable table;
    ReadColours(profile, table);
    EXPECT_EQ(table.Get(ColourKey::BG), 0u);
    EXPECT_EQ(table.Get(ColourKey::Select), 0u);
    EXPECT_EQ(table.Get(ColourKey::Tag), 12u);
    // Only red, green and blue are kept.
    EXPECT_EQ(table.Get(ColourKey::Wire), 0xFFFFFFu);
    EXPECT_EQ(table.Get(ColourKey::Grid), 0u);
    EXPECT_EQ(table.Get(ColourKey::Bus), CColourTable::DefaultValue(ColourKey::Bus));

    const LogFont f = ReadFontSetting(profile, "LabelFont", "Tahoma", 9);
    EXPECT_EQ(f.italic, 0xFF);
    EXPECT_EQ(f.height, 9);  // an empty number is a missing one
    EXPECT_EQ(f.FaceName(), "");
}

}  // namespace
}  // namespace qurix
