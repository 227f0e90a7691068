#include "decor/shadow_pixels.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zsetup {
namespace {

constexpr std::uint32_t kShadowColour = 0x00DE9B86;  // RGB(134, 155, 222)

// Owner 100 x 50: the figures below were worked out by hand for the blur's
// exact reading order (rows down, columns right, red, green, blue in place).
class RectShadow : public ::testing::Test {
protected:
    void SetUp() override {
        image = BuildRectShadowMask(100, 50);
        PremultiplyShadow(image, kShadowColour);
    }
    int Alpha(int x, int y) const { return image.at(x, y)[3]; }
    BgraImage image;
};

TEST_F(RectShadow, IsTheOwnerPlusTheMarginOnEverySide) {
    EXPECT_EQ(image.width(), 132);
    EXPECT_EQ(image.height(), 82);
}

TEST_F(RectShadow, Row41RisesTheSameFromBothSides) {
    const int expected[17] = {0, 0, 1, 1, 3, 4, 7, 11, 17, 24, 37, 48, 64, 78, 97, 113, 137};
    for (int i = 0; i <= 16; ++i) {
        EXPECT_EQ(Alpha(i, 41), expected[i]) << "column " << i;
        EXPECT_EQ(Alpha(131 - i, 41), expected[i]) << "column " << 131 - i;
    }
}

TEST_F(RectShadow, Column66SpreadsFurtherBelowThanAbove) {
    for (int y = 0; y <= 9; ++y) EXPECT_EQ(Alpha(66, y), 0) << "row " << y;
    const int top[7] = {31, 47, 71, 99, 121, 140, 161};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Alpha(66, 10 + i), top[i]) << "row " << 10 + i;
    const int bottom[22] = {221, 205, 181, 153, 131, 112, 91, 76, 63, 51, 41, 34, 27, 21, 17, 14, 10, 8, 7, 5, 4, 4};
    for (int i = 0; i < 22; ++i) EXPECT_EQ(Alpha(66, 60 + i), bottom[i]) << "row " << 60 + i;
}

TEST_F(RectShadow, TheInsideSettlesAt252) {
    int largest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) largest = std::max(largest, Alpha(x, y));
    EXPECT_EQ(largest, 252);
}

TEST(ShadowColour, IsPremultipliedByTheMaskValue) {
    struct Case {
        std::uint8_t mask;
        std::uint8_t b, g, r, a;
    };
    const Case cases[] = {{128, 111, 77, 67, 128}, {255, 222, 155, 134, 255}, {0, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mask));
        BgraImage px(1, 1);
        FillMask(px, {0, 0, 1, 1}, c.mask);
        PremultiplyShadow(px, kShadowColour);
        const std::uint8_t* p = px.at(0, 0);
        EXPECT_EQ(p[0], c.b);
        EXPECT_EQ(p[1], c.g);
        EXPECT_EQ(p[2], c.r);
        EXPECT_EQ(p[3], c.a);
    }
}

TEST(AlphaMul, IsTheTruncatedProductOver255) {
    EXPECT_EQ(AlphaMulTable()[255][255], 255);
    EXPECT_EQ(AlphaMulTable()[0][200], 0);
    EXPECT_EQ(AlphaMulTable()[134][128], 67);  // 17152 / 255 = 67.26
    EXPECT_EQ(AlphaMulTable()[254][1], 0);
    EXPECT_EQ(AlphaMulTable()[128][254], 127);  // 32512 / 255 = 127.5, truncated
}

TEST(Clamp, KeepsIndicesInsideTheImage) {
    BgraImage image(5, 3);
    EXPECT_EQ(ClampRow(image, -2), 0);
    EXPECT_EQ(ClampRow(image, 2), 2);
    EXPECT_EQ(ClampRow(image, 3), 2);
    EXPECT_EQ(ClampColumn(image, -1), 0);
    EXPECT_EQ(ClampColumn(image, 4), 4);
    EXPECT_EQ(ClampColumn(image, 9), 4);
}

TEST(BlurPass, LeavesAlphaAndReadsItsOwnResults) {
    // One white pixel at the top left of a 3 x 1 image, radius 1: pixel 0
    // becomes (255+0+255+0)/4 = 127; pixel 1 then reads the new pixel 0.
    BgraImage image(3, 1);
    FillMask(image, {0, 0, 1, 1}, 255);
    image.at(1, 0)[3] = 77;
    BlurPass(image, 1);
    EXPECT_EQ(image.at(0, 0)[2], 127);
    EXPECT_EQ(image.at(1, 0)[2], (127 + 0 + 127 + 0) >> 2);
    EXPECT_EQ(image.at(1, 0)[3], 77);
}

}  // namespace
}  // namespace zsetup
