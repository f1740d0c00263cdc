#include "render/DisplaySettings.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ScratchFolder.h"
#include "tests/render/FullSettingsIni.h"
#include "tests/render/RecordingSurface.h"

namespace qurix {
namespace {

using test::ScratchFolder;

TEST(DisplaySettingsTest, LoadWithoutAnIniGivesDefaultsAndNoLibraries) {
    ScratchFolder folder;
    CDisplaySettings settings;
    EXPECT_FALSE(settings.IsLoaded());
    settings.colours.Set(ColourKey::Component, 5);
    EXPECT_TRUE(
        LoadDisplaySettings(settings, CProfile(folder.File("KIVOX.INI")), folder.Path() + "/"));
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
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    EXPECT_EQ(settings.labelRenderer->Font().FaceName(), "IPAGothic");
    EXPECT_EQ(settings.compNameRenderer->Font().height, -14);
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), 11u);

    // The renderers' cached fonts die with them.
    CRecordingSurface surface;
    settings.labelRenderer->DrawLabel(surface, Point{0, 0}, "A", TextStyle{.colour = 0});
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
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), 255u);
    EXPECT_FALSE(settings.labelRenderer->HasFonts());
}

std::string OnePartLibrary(const std::string& part) {
    return "+KIVOX_LIB_V.1.0\n+COMP,N:" + part + ",X:2,Y:1,B:1,-COMP\n-KIVOX_LIB_V.1.0\n";
}

// A second drawing thread gets the same colours and fonts with renderers of its own.
TEST(DisplaySettingsTest, ACopyForAnotherThreadHasItsOwnRenderers) {
    ScratchFolder folder;
    const std::string ini = folder.Write("KIVOX.INI", FULL_INI);
    CDisplaySettings settings;
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    CRecordingSurface surface;
    settings.labelRenderer->DrawLabel(surface, Point{0, 0}, "A", TextStyle{.colour = 0});

    CDisplaySettings copy;
    CopyDrawingSettings(settings, copy);
    EXPECT_TRUE(copy.IsLoaded());
    EXPECT_EQ(copy.colours, settings.colours);
    EXPECT_EQ(copy.labelFont, settings.labelFont);
    EXPECT_EQ(copy.compNameFont, settings.compNameFont);
    EXPECT_EQ(copy.libraries.Count(), 0);
    EXPECT_NE(copy.labelRenderer.get(), settings.labelRenderer.get());
    EXPECT_EQ(copy.labelRenderer->Font(), settings.labelRenderer->Font());
    EXPECT_EQ(copy.compNameRenderer->Font(), settings.compNameRenderer->Font());
    // Fresh: the fonts the original made stay its own.
    EXPECT_FALSE(copy.labelRenderer->HasFonts());

    // From released settings: no renderers either.
    FreeDisplaySettings(settings);
    CopyDrawingSettings(settings, copy);
    EXPECT_FALSE(copy.IsLoaded());
    EXPECT_EQ(copy.colours, settings.colours);
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
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    ASSERT_EQ(settings.libraries.Count(), 2);
    EXPECT_NE(settings.libraries.FindPartByName("CAP"), nullptr);

    ASSERT_TRUE(CProfile(ini).WriteString("Library", "LIB1", "c.lib"));
    ASSERT_TRUE(CProfile(ini).WriteInt("DefaultColor", "Component", 16711680));
    FreeDisplaySettings(settings);
    EXPECT_EQ(settings.libraries.Count(), 0);
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    ASSERT_EQ(settings.libraries.Count(), 2);
    EXPECT_EQ(settings.libraries.FindPartByName("CAP"), nullptr);
    EXPECT_NE(settings.libraries.FindPartByName("DIODE"), nullptr);
    EXPECT_EQ(settings.colours.Get(ColourKey::Component), MakeColour(0, 0, 255));

    // Loading again without a release first does not keep the old libraries twice.
    ASSERT_TRUE(LoadDisplaySettings(settings, CProfile(ini), folder.Path() + "/"));
    EXPECT_EQ(settings.libraries.Count(), 2);
}

}  // namespace
}  // namespace qurix
