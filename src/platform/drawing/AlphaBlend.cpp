#include "platform/drawing/AlphaBlend.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight pixels at a time in the compiler's generic vectors: AVX2 where the processor has it, two SSE2 halves
// on any other x86-64, NEON elsewhere. Each pixel is split into two pairs of 16-bit lanes, blue and red, then
// green and the unused top byte: a product of two 8-bit values and the sum of two such products stay below
// 65536, so 16-bit multiplications give the per-channel formula exactly.
using Pixels = std::uint32_t __attribute__((vector_size(32)));
using Lanes = std::uint16_t __attribute__((vector_size(32)));
constexpr int PixelsPerStep = 8;

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TUTOR_BLEND_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TUTOR_BLEND_CLONES
#endif

TUTOR_BLEND_CLONES
void BlendRow(std::uint32_t *destination, const std::uint32_t *source, int width, std::uint32_t key,
              std::uint16_t alpha)
{
    const auto inverse = static_cast<std::uint16_t>(255 - alpha);
    const Pixels low = Pixels{} + 0x00FF00FFu;
    const Lanes a = Lanes{} + alpha;
    const Lanes ia = Lanes{} + inverse;
    int i = 0;
    for (; i + PixelsPerStep <= width; i += PixelsPerStep) {
        Pixels s;
        Pixels d;
        std::memcpy(&s, source + i, sizeof s);
        std::memcpy(&d, destination + i, sizeof d);
        const Lanes blueRed = ((Lanes)(s & low) * a + (Lanes)(d & low) * ia) >> 8;
        const Lanes greenTop = ((Lanes)((s >> 8) & low) * a + (Lanes)((d >> 8) & low) * ia) >> 8;
        const Pixels blended = (Pixels)blueRed | ((Pixels)greenTop << 8) | 0xFF000000u;
        const Pixels keep = (Pixels)((s & 0xFFFFFFu) == key);
        const Pixels result = (d & keep) | (blended & ~keep);
        std::memcpy(destination + i, &result, sizeof result);
    }
    for (; i < width; ++i) {
        const std::uint32_t s = source[i];
        if ((s & 0xFFFFFFu) == key)
            continue;
        const std::uint32_t d = destination[i];
        std::uint32_t result = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            result |= ((((s >> shift) & 0xFFu) * alpha + ((d >> shift) & 0xFFu) * inverse) >> 8) << shift;
        destination[i] = result;
    }
}

TUTOR_BLEND_CLONES
void CopyRow(std::uint32_t *__restrict destination, const std::uint32_t *__restrict source, int width,
             std::uint32_t key)
{
    for (int i = 0; i < width; ++i) {
        const std::uint32_t s = source[i];
        const std::uint32_t keep = (s & 0xFFFFFFu) == key ? 0xFFFFFFFFu : 0u;
        destination[i] = (destination[i] & keep) | ((0xFF000000u | s) & ~keep);
    }
}

} // namespace

void AlphaDrawRows(std::uint32_t *destination, int destinationStride, const std::uint32_t *source, int sourceStride,
                   int width, int height, std::uint32_t key, int alpha)
{
    if (alpha <= 0 || width <= 0)
        return;
    key &= 0xFFFFFFu;
    for (int row = 0; row < height; ++row) {
        std::uint32_t *d = destination + static_cast<std::ptrdiff_t>(row) * destinationStride;
        const std::uint32_t *s = source + static_cast<std::ptrdiff_t>(row) * sourceStride;
        if (alpha >= 255)
            CopyRow(d, s, width, key);
        else
            BlendRow(d, s, width, key, static_cast<std::uint16_t>(alpha));
    }
}

void AlphaDrawRows(std::uint32_t *destination, int destinationStride, const std::uint8_t *source, int sourceStride,
                   const std::uint32_t *palette, int width, int height, std::uint32_t key, int alpha)
{
    // Each row goes through the palette a stretch at a time, then is drawn as a 32-bit one.
    constexpr int Stretch = 256;
    std::uint32_t expanded[Stretch];
    for (int row = 0; row < height; ++row) {
        std::uint32_t *d = destination + static_cast<std::ptrdiff_t>(row) * destinationStride;
        const std::uint8_t *s = source + static_cast<std::ptrdiff_t>(row) * sourceStride;
        for (int done = 0; done < width; done += Stretch) {
            const int count = std::min(Stretch, width - done);
            for (int i = 0; i < count; ++i)
                expanded[i] = palette[s[done + i]];
            AlphaDrawRows(d + done, 0, expanded, 0, count, 1, key, alpha);
        }
    }
}
