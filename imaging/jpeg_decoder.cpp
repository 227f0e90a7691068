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
// Warnings and traces are not the user's business: counted, never formatted
// or printed. Filling the manager here instead of with jpeg_std_error keeps
// libjpeg's message texts and the C library's printf out of the stub.
void OnEmit(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}
void OnMessage(j_common_ptr) {}
void OnFormat(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void OnReset(j_common_ptr info) {
    info->err->num_warnings = 0;
    info->err->msg_code = 0;
}

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
    errors.pub = jpeg_error_mgr{};
    errors.pub.error_exit = OnError;
    errors.pub.emit_message = OnEmit;
    errors.pub.output_message = OnMessage;
    errors.pub.format_message = OnFormat;
    errors.pub.reset_error_mgr = OnReset;
    d.info.err = &errors.pub;
    BgraImage image;
    if (!Decode(bytes, d, errors, image)) return {};
    return image;
}

}  // namespace zsetup
