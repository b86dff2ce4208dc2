#include <gtest/gtest.h>

#include "ui/Layout.h"

namespace {

// Where the controls stand at the template size (pixels of a typical Japanese system).
std::array<LayoutRect, kLayoutControls> TemplatePlaces() {
    return {{{11, 15, 425, 231},
             {20, 34, 414, 213},
             {11, 239, 147, 315},
             {21, 265, 59, 278},
             {63, 258, 138, 278},
             {21, 288, 59, 301},
             {63, 284, 138, 304},
             {171, 239, 307, 315},
             {181, 265, 219, 278},
             {223, 258, 298, 278},
             {181, 288, 219, 301},
             {223, 284, 298, 304},
             {148, 265, 168, 288},
             {345, 265, 425, 288},
             {345, 293, 425, 316},
             {300, 7, 425, 20}}};
}

std::array<LayoutRect, kLayoutControls> AsRects(const std::array<LayoutBox, kLayoutControls>& b) {
    std::array<LayoutRect, kLayoutControls> rects{};
    for (std::size_t i = 0; i < kLayoutControls; ++i) {
        rects[i] = {b[i].left, b[i].top, b[i].left + b[i].width, b[i].top + b[i].height};
    }
    return rects;
}

constexpr std::size_t kFilesGroup = 0, kFileList = 1, kMakeGroup = 2, kArrow = 12, kRun = 13,
                      kClose = 14, kLink = 15;

TEST(Layout, ButtonsFollowTheRightEdgeOnlyAbove480AndTheLinkAbove420) {
    struct Case {
        int cx, buttonsLeft, linkLeft;
    };
    const Case cases[] = {{480, 370, 330}, {481, 371, 331}, {420, 370, 270},
                          {421, 370, 271}, {800, 690, 650}, {100, 370, 270}};
    for (const Case& c : cases) {
        const auto placed = PlaceControls(c.cx, 400, TemplatePlaces());
        EXPECT_EQ(placed[kRun].left, c.buttonsLeft) << c.cx;
        EXPECT_EQ(placed[kClose].left, c.buttonsLeft) << c.cx;
        EXPECT_EQ(placed[kLink].left, c.linkLeft) << c.cx;
        EXPECT_EQ(placed[kLink].top, 4);
    }
}

TEST(Layout, ListGrowsAndBottomRowFollowsTheBottomEdge) {
    const auto placed = PlaceControls(600, 500, TemplatePlaces());
    EXPECT_EQ(placed[kFilesGroup].left, 11);
    EXPECT_EQ(placed[kFilesGroup].top, 15);
    EXPECT_EQ(placed[kFilesGroup].width, 600 - 2 * 11);
    EXPECT_EQ(placed[kFilesGroup].height, 500 - 15 - 87);
    EXPECT_EQ(placed[kFileList].width, 600 - 2 * 20);
    EXPECT_EQ(placed[kFileList].height, 500 - 34 - 100);
    const int tops[] = {81, 57, 62, 37, 42, 81, 57, 62, 37, 42, 56, 64, 39};
    for (std::size_t i = kMakeGroup; i <= kClose; ++i) {
        EXPECT_EQ(placed[i].top, 500 - tops[i - kMakeGroup]) << i;
        const LayoutRect r = TemplatePlaces()[i];
        EXPECT_EQ(placed[i].width, r.right - r.left) << i;
        EXPECT_EQ(placed[i].height, r.bottom - r.top) << i;
        if (i != kRun && i != kClose) {
            EXPECT_EQ(placed[i].left, r.left) << i;
        }
    }
    EXPECT_EQ(placed[kArrow].top, 500 - 56);
}

TEST(Layout, SizesBelowZeroCountAsZero) {
    const auto placed = PlaceControls(10, 20, TemplatePlaces());
    EXPECT_EQ(placed[kFilesGroup].width, 0);
    EXPECT_EQ(placed[kFilesGroup].height, 0);
    EXPECT_EQ(placed[kFileList].width, 0);
    EXPECT_EQ(placed[kFileList].height, 0);
    EXPECT_EQ(placed[kMakeGroup].top, 20 - 81);  // tops may leave the window; sizes may not
}

TEST(Layout, SameSizeTwiceGivesTheSamePlacement) {
    const auto first = PlaceControls(640, 480, TemplatePlaces());
    const auto elsewhere = PlaceControls(300, 200, AsRects(first));
    const auto again = PlaceControls(640, 480, AsRects(elsewhere));
    for (std::size_t i = 0; i < kLayoutControls; ++i) {
        EXPECT_EQ(again[i].left, first[i].left) << i;
        EXPECT_EQ(again[i].top, first[i].top) << i;
        EXPECT_EQ(again[i].width, first[i].width) << i;
        EXPECT_EQ(again[i].height, first[i].height) << i;
    }
}

}  // namespace
