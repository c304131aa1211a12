// File helpers of the map converter: writes through a temporary name, and
// PNG pictures through libpng's simplified interface.
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tiled/tiled.h"

namespace tiled {

const char *const FlagNames[8] = {"solid", "flag1", "flag2", "flag3",
                                  "see_through", "stack_more", "left_half", "right_half"};

namespace {

bool Fail(std::string *why, const std::string &text) {
  if (why) *why = text;
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string &path, const void *bytes, size_t size, std::string *why) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return Fail(why, path + ": cannot create a temporary file next to it");
  const char *p = static_cast<const char *>(bytes);
  size_t left = size;
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n <= 0) break;
    p += n;
    left -= static_cast<size_t>(n);
  }
  const mode_t mask = umask(0);  // read back the process's mask: a new file's usual mode
  umask(mask);
  const bool written = left == 0 && fchmod(fd, 0666 & ~mask) == 0;
  if (close(fd) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return Fail(why, path + ": cannot write");
  }
  return true;
}

bool ReadDiskFile(const std::string &path, std::vector<uint8_t> *bytes) {
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes->clear();
  uint8_t chunk[1 << 16];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool ReadPng(const std::string &path, const std::vector<uint8_t> &bytes, int *width, int *height,
             std::vector<uint32_t> *argb, std::string *why) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    return Fail(why, path + ": cannot read the picture (" + image.message + ")");
  if (static_cast<unsigned long long>(image.width) * image.height > MaxPicturePixels) {
    png_image_free(&image);
    return Fail(why, path + ": the picture is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                         " pixels; a tileset's picture holds at most " + std::to_string(MaxPicturePixels) + " pixels");
  }
  image.format = PNG_FORMAT_BGRA;  // bytes blue, green, red, alpha
  std::vector<uint8_t> buffer(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr))
    return Fail(why, path + ": cannot read the picture (" + image.message + ")");
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  argb->resize(static_cast<size_t>(image.width) * image.height);
  for (size_t i = 0; i < argb->size(); i++) {
    const uint8_t *q = &buffer[i * 4];
    (*argb)[i] = (uint32_t(q[3]) << 24) | (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
  }
  return true;
}

}  // namespace tiled
