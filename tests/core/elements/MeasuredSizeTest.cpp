#include "core/elements/MeasuredSize.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

namespace qurix {
namespace {

TEST(MeasuredSizeTest, KeepsEverySizeAndCopiesTakeIt) {
    const Point cases[] = {
        {0, 0},              // a size of nothing is still known
        {40, 12},            // a usual text
        {-1, -1},            // all bits set in both halves
        {INT_MAX, INT_MIN},  // the halves must not bleed into each other
        {INT_MIN, INT_MAX},
    };
    for (const Point p : cases) {
        CMeasuredSize size;
        EXPECT_FALSE(size.IsKnown());
        size.Set(p);
        ASSERT_TRUE(size.IsKnown());
        EXPECT_EQ(size.Get(), p);
        CMeasuredSize copy(size);
        EXPECT_TRUE(copy.IsKnown());
        EXPECT_EQ(copy.Get(), p);
        // Forgotten: unknown again, the value kept as the text element always did.
        size.Forget();
        EXPECT_FALSE(size.IsKnown());
        EXPECT_EQ(size.Get(), p);
        copy = size;
        EXPECT_FALSE(copy.IsKnown());
    }
}

// Threads drawing one shared pattern report at once: a reader sees one thread's whole
// size, never the width of one and the height of another.
TEST(MeasuredSizeTest, SizesReportedAtOnceStayWhole) {
    CMeasuredSize size;
    size.Set(Point{0, 0});
    constexpr int WRITERS = 3;
    constexpr int ROUNDS = 20000;
    std::vector<std::thread> writers;
    for (int w = 1; w <= WRITERS; ++w) {
        writers.emplace_back([&size, w] {
            for (int i = 0; i < ROUNDS; ++i) size.Set(Point{w, -w});
        });
    }
    int torn = 0;
    for (int i = 0; i < ROUNDS; ++i) {
        const Point p = size.Get();
        torn += p.y != -p.x;
    }
    for (std::thread& t : writers) t.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace qurix
