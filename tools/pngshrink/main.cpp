// zan-pngshrink: scales a PNG down to a given width (the height follows the aspect), each
// output pixel the area average of the pixels it covers (libswscale's area filter). The
// README's screenshots are made with it from full-size harness screenshots.
//   zan-pngshrink IN.png OUT.png WIDTH

#include <png.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int Fail(const char* what, const char* path) {
  std::fprintf(stderr, "zan-pngshrink: %s %s\n", what, path);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int width = argc == 4 ? std::atoi(argv[3]) : 0;
  if (width <= 0) {
    std::fprintf(stderr, "usage: zan-pngshrink IN.png OUT.png WIDTH\n");
    return 2;
  }
  png_image in;
  std::memset(&in, 0, sizeof in);
  in.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&in, argv[1])) return Fail("cannot read", argv[1]);
  in.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> source(PNG_IMAGE_SIZE(in));
  if (!png_image_finish_read(&in, nullptr, source.data(), 0, nullptr)) return Fail("cannot decode", argv[1]);
  const int w0 = static_cast<int>(in.width), h0 = static_cast<int>(in.height);
  if (width > w0) return Fail("would grow", argv[1]);
  const int height = static_cast<int>(static_cast<long>(h0) * width / w0);

  SwsContext* scale = sws_getContext(w0, h0, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_RGB24, SWS_AREA,
                                     nullptr, nullptr, nullptr);
  if (scale == nullptr) return Fail("cannot scale", argv[1]);
  std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
  const uint8_t* src[1] = {source.data()};
  const int srcStride[1] = {w0 * 3};
  uint8_t* dst[1] = {out.data()};
  const int dstStride[1] = {width * 3};
  sws_scale(scale, src, srcStride, 0, h0, dst, dstStride);
  sws_freeContext(scale);

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, argv[2], 0, out.data(), 0, nullptr)) return Fail("cannot write", argv[2]);
  return 0;
}
