#include "render/DisplaySettings.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/render/RecordingSurface.h"
#include "tests/render/ScratchFolder.h"

namespace qurix {
namespace {

// Every key of the colour and font sections set to a value other than its default.
const char* const FULL_INI =
    "[DefaultColor]\r\n"
    "BG=1\r\nJunction=2\r\nWire=3\r\nBus=4\r\nDash=5\r\nTag=6\r\nTagName=7\r\n"
    "Comment=8\r\nLabel=9\r\nSelect=10\r\nComponent=11\r\nComponentPin=12\r\nPinName=13\r\n"
    "PinNum=14\r\nComponentName=15\r\nComponentNum=16\r\nComponentFrame=17\r\n"
    "SheetFrame=18\r\nGrid=19\r\nInactiveLayer=20\r\nNcMark=21\r\n"
    "[LabelFont]\r\nHeight=12\r\nIsBold=700\r\nIsItalic=1\r\nFaceName=IPAGothic\r\n"
    "[CompNameFont]\r\nHeight=-14\r\nIsBold=1\r\nIsItalic=256\r\n"
    "FaceName=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn\r\n";

TEST(DisplaySettingsTest, LoadWithoutAnIniGivesDefaultsAndNoLibraries) {
    ScratchFolder folder;
    CDisplaySettings settings;
    EXPECT_FALSE(settings.IsLoaded());
    settings.colours.Set(ColourKey::Component, 5);
    EXPECT_TRUE(
        LoadDisplaySettings(settings, CProfile(folder.Path() + "KIVOX.INI"), folder.Path()));
    EXPECT_TRUE(settings.IsLoaded());
    EXPECT_EQ(settings.colours, CColourTable());
    EXPECT_EQ(settings.libraries.Count(), 0);
    for (const CTextRenderer* r : {settings.labelRenderer.get(), settings.compNameRenderer.get()}) {
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->Font().FaceName(), "Tahoma");
        EXPECT_EQ(r->Font().height, 9);
        EXPECT_EQ(r->Font().weight, 400);
        EXPECT_FALSE(r->HasFonts());
        EXPECT_EQ(r->CachedNum(), -1);
    }
    EXPECT_EQ(settings.labelFont, settings.labelRenderer->Font());
    EXPECT_EQ(settings.compNameFont, settings.compNameRenderer->Font());
}

TEST(DisplaySettingsTest, ReloadMakesNewRenderersAndFreeKeepsColours) {
    ScratchFolder folder;
    const std::string ini = folder.Write("KIVOX.INI", FULL_INI);
    CDisplaySettings settings;
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path()));
    EXPECT_EQ(settings.labelRenderer->Font().FaceName(), "IPAGothic");
    EXPECT_EQ(settings.compNameRenderer->Font().height, -14);
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), 11u);

    // The renderers' cached fonts die with them.
    CRecordingSurface surface;
    settings.labelRenderer->DrawText(surface, 0, 0, "A", -1, 0, false, 0, 1, 1, false);
    EXPECT_EQ(surface.LiveFonts(), 2);
    FreeDisplaySettings(settings);
    EXPECT_EQ(surface.LiveFonts(), 0);
    EXPECT_FALSE(settings.IsLoaded());
    EXPECT_EQ(settings.labelRenderer, nullptr);
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), 11u);
    FreeDisplaySettings(settings);  // releasing twice is harmless

    // The editor changed a colour: the next load sees it.
    folder.Write("KIVOX.INI", std::string(FULL_INI) + "\r\n");
    CProfile(ini).WriteInt("DefaultColor", "Component", 255);
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path()));
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), 255u);
    EXPECT_FALSE(settings.labelRenderer->HasFonts());
}

std::string OnePartLibrary(const std::string& part) {
    return "+KIVOX_LIB_V.1.0\n+COMP,N:" + part + ",X:2,Y:1,B:1,-COMP\n-KIVOX_LIB_V.1.0\n";
}

TEST(DisplaySettingsTest, ReloadAfterTheEditorChangedALibraryAndAColour) {
    ScratchFolder folder;
    folder.Write("a.lib", OnePartLibrary("RES"));
    folder.Write("b.lib", OnePartLibrary("CAP"));
    folder.Write("c.lib", OnePartLibrary("DIODE"));
    const std::string ini = folder.Write(
        "KIVOX.INI",
        "[Library]\r\nLIB0=a.lib\r\nLIB1=b.lib\r\n[DefaultColor]\r\nComponent=192\r\n");
    CDisplaySettings settings;
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path()));
    ASSERT_EQ(settings.libraries.Count(), 2);
    EXPECT_NE(settings.libraries.FindPartByName("CAP"), nullptr);

    ASSERT_TRUE(CProfile(ini).WriteString("Library", "LIB1", "c.lib"));
    ASSERT_TRUE(CProfile(ini).WriteInt("DefaultColor", "Component", 16711680));
    FreeDisplaySettings(settings);
    EXPECT_EQ(settings.libraries.Count(), 0);
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path()));
    ASSERT_EQ(settings.libraries.Count(), 2);
    EXPECT_EQ(settings.libraries.FindPartByName("CAP"), nullptr);
    EXPECT_NE(settings.libraries.FindPartByName("DIODE"), nullptr);
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), MakeColour(0, 0, 255));

    // Loading again without a release first does not keep the old libraries twice.
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path()));
    EXPECT_EQ(settings.libraries.Count(), 2);
}

}  // namespace
}  // namespace qurix
