#include <gtest/gtest.h>

#include "render/qt/QtCanvas.h"
#include "tests/render/ExactShapes.h"
#include "tests/render/TestRaster.h"

namespace qurix {
namespace {

// The raster canvas (the Windows canvas's base) sets the Qt canvas's pixels exactly.
TEST(RasterCanvas, ExactShapesMatchTheQtCanvas) {
    for (const test::ExactShape& shape : test::ExactShapes()) {
        CQtCanvas qt(test::SHAPE_CANVAS_WIDTH, test::SHAPE_CANVAS_HEIGHT, test::SHAPE_BACKGROUND);
        test::CTestRaster raster(test::SHAPE_CANVAS_WIDTH, test::SHAPE_CANVAS_HEIGHT,
                                 test::SHAPE_BACKGROUND);
        shape.draw(qt);
        shape.draw(raster);
        CanvasPixels want;
        CanvasPixels got;
        ASSERT_TRUE(qt.ReadPixels(want));
        ASSERT_TRUE(raster.ReadPixels(got));
        EXPECT_EQ(raster.painted, 0) << shape.name;
        EXPECT_TRUE(got.bgrx == want.bgrx) << shape.name;
    }
}

}  // namespace
}  // namespace qurix
