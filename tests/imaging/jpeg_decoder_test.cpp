// The wizard's two pictures decode to their sizes; damaged or foreign bytes
// give an empty picture instead of a crash.
#include "imaging/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace zsetup {
namespace {

std::vector<std::uint8_t> Resource(const std::string& name) {
    std::ifstream in(std::string(ZSETUP_RESOURCES_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(JpegPicture, TheWizardsPicturesDecodeToTheirSizes) {
    struct Case {
        const char* file;
        int width, height;
    };
    for (const Case& c : {Case{"licence_art.jpg", 233, 89}, Case{"finish_art.jpg", 73, 75}}) {
        SCOPED_TRACE(c.file);
        const BgraImage image = DecodeJpeg(Resource(c.file));
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
        // Opaque, and not all one colour.
        bool varies = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                EXPECT_EQ(image.at(x, y)[3], 255);
                varies = varies || image.at(x, y)[0] != image.at(0, 0)[0];
            }
        EXPECT_TRUE(varies);
    }
}

TEST(JpegPicture, TheFirstPixelIsTheArtworksCornerColourInBgraOrder) {
    // The licence artwork's top row is the header colour RGB(133, 155, 222).
    const BgraImage image = DecodeJpeg(Resource("licence_art.jpg"));
    ASSERT_GT(image.width(), 0);
    EXPECT_NEAR(image.at(0, 0)[0], 222, 6);
    EXPECT_NEAR(image.at(0, 0)[1], 155, 6);
    EXPECT_NEAR(image.at(0, 0)[2], 133, 6);
}

TEST(JpegPicture, BytesThatAreNoJpegGiveAnEmptyPicture) {
    std::vector<std::uint8_t> header_only = Resource("finish_art.jpg");
    header_only.resize(20);
    const std::vector<std::vector<std::uint8_t>> bad = {
        {}, {0xFF, 0xD8}, {'G', 'I', 'F', '8', '9', 'a'}, std::vector<std::uint8_t>(1000, 0xFF), header_only};
    for (const auto& bytes : bad) {
        const BgraImage image = DecodeJpeg(bytes);
        EXPECT_EQ(image.width(), 0) << bytes.size();
        EXPECT_EQ(image.height(), 0) << bytes.size();
    }
}

}  // namespace
}  // namespace zsetup
