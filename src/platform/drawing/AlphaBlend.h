#pragma once

#include <cstdint>

// The alpha draw of a picture onto a surface, both 32-bit 0xFFRRGGBB pixels. Source pixels equal to the key
// colour (0x00RRGGBB, the top byte ignored) leave the destination as it is; an alpha of 0 or less draws nothing,
// 255 or more copies the other pixels, and anything between blends each 8-bit channel as
// (source * alpha + destination * (255 - alpha)) >> 8.
//
// Rows are given by their first pixel and their stride in pixels; the caller has already clipped the rectangle.
void AlphaDrawRows(std::uint32_t *destination, int destinationStride, const std::uint32_t *source, int sourceStride,
                   int width, int height, std::uint32_t key, int alpha);

// The same from a picture of 8-bit palette indexes: each index stands for its palette entry (256 entries,
// 0xAARRGGBB, the top byte ignored), which is what is compared with the key and drawn.
void AlphaDrawRows(std::uint32_t *destination, int destinationStride, const std::uint8_t *source, int sourceStride,
                   const std::uint32_t *palette, int width, int height, std::uint32_t key, int alpha);
