#include "palette/PreviewState.h"

#include <gtest/gtest.h>

#include <string>

#include "core/library/LibEntry.h"

namespace qurix {
namespace {

TEST(PreviewZoomText, OnlyZoomStepsAreRead) {
    const struct {
        const char* text;
        Scale zoom;
    } steps[] = {{"1:1", {1, 1}}, {"8:1", {8, 1}}, {"1:2", {1, 2}}, {"2:3", {2, 3}}};
    for (const auto& s : steps) {
        Scale zoom;
        EXPECT_TRUE(ParsePreviewZoom(s.text, zoom)) << s.text;
        EXPECT_EQ(zoom, s.zoom) << s.text;
        EXPECT_EQ(FormatPreviewZoom(zoom), s.text);
    }
    const char* const refused[] = {
        "5:1",   // between steps
        "16:1",  // beyond the largest
        "2:4",   // not in lowest terms
        "0:1",   "1:0", "1", ":1", "1:", "-1:1", "1:1x", "",
        "999:1",  // long
    };
    for (const char* text : refused) {
        Scale zoom;
        EXPECT_FALSE(ParsePreviewZoom(text, zoom)) << text;
    }
}

TEST(PreviewBlocks, LabelsAndTheChoiceFollowThePart) {
    const struct {
        int32_t block;
        const char* label;
    } labels[] = {
        {0, "A"}, {25, "Z"}, {26, "AA"}, {27, "AB"}, {675, "YZ"}};  // the last of MAX_BLOCKS
    for (const auto& l : labels) EXPECT_EQ(CPreviewState::BlockLabel(l.block), l.label);

    CPreviewState state;
    EXPECT_EQ(state.TakeEntry(nullptr), 1);  // nothing shown: one block
    const CLibEntry part("R", nullptr);
    const CLibEntry other("C", nullptr);
    state.TakeEntry(&part);
    state.view.block = 0;
    EXPECT_EQ(state.TakeEntry(&part), 1);
    state.view.block = 3;  // beyond the part's blocks: back to the first
    state.TakeEntry(&part);
    EXPECT_EQ(state.view.block, 0);
    EXPECT_EQ(state.TakeEntry(&other), 1);
    EXPECT_EQ(state.view.block, 0);
}

TEST(PreviewZoomTest, DeviceZoomIsInLowestTerms) {
    const struct {
        Scale zoom;
        int32_t ratio;
        Scale drawn;
    } cases[] = {{{1, 1}, 1, {1, 1}}, {{1, 2}, 2, {1, 1}},  {{2, 3}, 3, {2, 1}},
                 {{3, 2}, 2, {3, 1}}, {{8, 1}, 2, {16, 1}}, {{2, 3}, 2, {4, 3}}};
    for (const auto& c : cases) {
        const Scale got = DevicePreviewZoom(c.zoom, c.ratio);
        EXPECT_EQ(got, c.drawn) << c.zoom.num << ":" << c.zoom.den << " x" << c.ratio;
    }
}

TEST(PreviewZoomTest, ScreenRatiosInQuarters) {
    const struct {
        double screen;
        Scale drawn;
    } cases[] = {{1.0, {1, 1}}, {0.5, {1, 1}},   {1.25, {5, 4}},  {1.5, {3, 2}}, {2.0, {2, 1}},
                 {1.1, {1, 1}}, {16.0, {16, 1}}, {16.25, {1, 1}}, {-2.0, {1, 1}}};
    for (const auto& c : cases) {
        EXPECT_EQ(PreviewDeviceRatio(c.screen), c.drawn) << c.screen;
    }
    EXPECT_EQ(DevicePreviewZoom({2, 3}, Scale{3, 2}), (Scale{1, 1}));
}

TEST(PreviewZoomAbout, ThePointUnderThePointerStays) {
    struct Case {
        Point offset, pointer;
        Scale from, to;
        Point want;
    };
    const Case cases[] = {
        {{0, 0}, {100, 50}, {1, 1}, {2, 1}, {100, 50}},  // 2x: the point moves by itself
        {{40, 0}, {60, 30}, {1, 1}, {3, 2}, {90, 15}},   // (100,30) -> (150,45)
        {{100, 50}, {100, 50}, {2, 1}, {1, 1}, {0, 0}},  // back out to the corner
        {{0, 0}, {10, 10}, {1, 1}, {1, 2}, {0, 0}},      // never below 0
        {{7, 9}, {1, 1}, {1, 1}, {0, 1}, {7, 9}},        // no scale: left alone
    };
    for (const Case& c : cases) {
        const Point got = ZoomedScrollOffset(c.offset, c.pointer, c.from, c.to);
        EXPECT_EQ(got.x, c.want.x) << c.from.num << ":" << c.from.den;
        EXPECT_EQ(got.y, c.want.y);
    }
}

}  // namespace
}  // namespace qurix
