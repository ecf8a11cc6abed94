#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small files that claim a lot: each one is what a user may receive by mail and a thumbnailer opens
// unasked. The viewer must open them, or refuse them with one error, quickly and in little memory.
namespace vorlan::hostile {

// A JPEG of one flat colour of any size in a few hundred bytes: arithmetic coding spends almost
// nothing on flat blocks. Rows are fed one at a time, so a huge picture costs no memory to write.
std::vector<std::uint8_t> FlatJpeg(int width, int height, bool progressive);

// A .bmp file claiming `width` x `height` pixels of RLE8 whose data ends the bitmap at once.
std::vector<std::uint8_t> EmptyRle8Bitmap(int width, int height);

// A .cam scene of one square entity whose texture is named `textureName`.
std::vector<std::uint8_t> TexturedScene(const std::string& textureName);

// An .x3d model of `count` picture mappings, each holding `jpeg`.
std::vector<std::uint8_t> PictureMappingsModel(const std::vector<std::uint8_t>& jpeg, int count);

// A .cam scene of `count` empty super-objects, each with `jpeg` as its preview.
std::vector<std::uint8_t> PreviewScene(const std::vector<std::uint8_t>& jpeg, int count);

// An .x3d model of `count` procedural mappings (48 bytes each) and one entity using the first.
std::vector<std::uint8_t> ManyMappingsModel(int count);

// A .cam scene of one face of `corners` corners on a circle centred at (`offset`, `offset`, 0).
std::vector<std::uint8_t> FarFaceScene(int corners, double offset);

} // namespace vorlan::hostile
