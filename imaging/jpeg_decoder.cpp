#include "imaging/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zsetup {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoder, which then gives up on the picture.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void OnMessage(j_common_ptr) {}  // warnings are not the user's business

// Ends the decompressor on every path, the jump included.
struct Decompressor {
    jpeg_decompress_struct info{};
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

// Everything libjpeg touches after setjmp lives outside this frame, so the
// longjmp leaves no object half-built.
bool Decode(const std::vector<std::uint8_t>& bytes, Decompressor& d, ErrorManager& errors, BgraImage& image) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&d.info);
    jpeg_mem_src(&d.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
    d.info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&d.info);
    image = BgraImage(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height));
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = image.at(0, static_cast<int>(d.info.output_scanline));
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

BgraImage DecodeJpeg(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return {};
    Decompressor d;
    ErrorManager errors;
    d.info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.output_message = OnMessage;
    BgraImage image;
    if (!Decode(bytes, d, errors, image)) return {};
    return image;
}

}  // namespace zsetup
