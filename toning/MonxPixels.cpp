// Per-pixel stage of the toning engine: byte tables, the scalar loop and the AVX-512 VBMI loop.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "MonxInternal.h"

namespace velkui {
namespace {

/// Where the colour bytes of a pixel lie: tables[p] maps the byte at offset p
/// of a pixel, or is null for the pad byte.
struct PixelLayout {
  int step = 3;
  const UInt8* tables[4] = {nullptr, nullptr, nullptr, nullptr};
};

PixelLayout LayoutOf(SInt32 format, const ByteTables& t) {
  PixelLayout layout;
  switch (format & ~kMonxFormatIgnoredBit) {
    case kMonxFormatRGB:
      layout = {3, {t.red, t.green, t.blue, nullptr}};
      break;
    case kMonxFormatBGR:
      layout = {3, {t.blue, t.green, t.red, nullptr}};
      break;
    case kMonxFormatXRGB:
      layout = {4, {nullptr, t.red, t.green, t.blue}};
      break;
    default:  // kMonxFormatBGRX: the only other code a validated descriptor holds
      layout = {4, {t.blue, t.green, t.red, nullptr}};
      break;
  }
  return layout;
}

/// One row of 3-byte pixels, four at a time: all twelve lookups are loaded
/// before the twelve stores, so the output may alias nothing they read.
void ScalarRow3(const UInt8* s, UInt8* d, size_t width, const UInt8* const* t) {
  const UInt8* t0 = t[0];
  const UInt8* t1 = t[1];
  const UInt8* t2 = t[2];
  size_t x = 0;
  for (; x + 4 <= width; x += 4, s += 12, d += 12) {
    UInt8 v[12];
    for (int p = 0; p < 12; p += 3) {
      v[p] = t0[s[p]];
      v[p + 1] = t1[s[p + 1]];
      v[p + 2] = t2[s[p + 2]];
    }
    std::memcpy(d, v, sizeof v);
  }
  for (; x < width; ++x, s += 3, d += 3) {
    d[0] = t0[s[0]];
    d[1] = t1[s[1]];
    d[2] = t2[s[2]];
  }
}

/// One row of 4-byte pixels whose colour bytes start at offset `first` (0 or 1).
void ScalarRow4(const UInt8* s, UInt8* d, size_t width, int first, const UInt8* const* t) {
  const UInt8* t0 = t[first];
  const UInt8* t1 = t[first + 1];
  const UInt8* t2 = t[first + 2];
  s += first;
  d += first;
  size_t x = 0;
  for (; x + 4 <= width; x += 4, s += 16, d += 16) {
    for (int p = 0; p < 16; p += 4) {
      UInt8 a = t0[s[p]], b = t1[s[p + 1]], c = t2[s[p + 2]];
      d[p] = a;
      d[p + 1] = b;
      d[p + 2] = c;
    }
  }
  for (; x < width; ++x, s += 4, d += 4) {
    d[0] = t0[s[0]];
    d[1] = t1[s[1]];
    d[2] = t2[s[2]];
  }
}

void MapScalar(const MonxImageDesc& image, const UInt8* source, UInt8* output,
               const PixelLayout& layout) {
  const size_t width = size_t(image.width);
  const int first = layout.tables[0] == nullptr ? 1 : 0;
  for (SInt32 row = 0; row < image.height; ++row) {
    const ptrdiff_t offset = ptrdiff_t(row) * image.rowBytes;
    if (layout.step == 3) {
      ScalarRow3(source + offset, output + offset, width, layout.tables);
    } else {
      ScalarRow4(source + offset, output + offset, width, first, layout.tables);
    }
  }
}

// ------------------------------------------------------------------ AVX-512 VBMI

// Every processor with these also has the write prefetch (where it is
// missing, the instruction does nothing).
#define VELKUI_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi,prfchw")))

/// One 256-byte table in four registers.
struct VectorTable {
  __m512i q[4];
};

VELKUI_VBMI VectorTable LoadTable(const UInt8* t) {
  VectorTable v;
  for (int i = 0; i < 4; ++i) v.q[i] = _mm512_loadu_si512(t + 64 * i);
  return v;
}

/// Lanes of vector j of a stretch (three vectors for 3-byte pixels, one for
/// 4-byte pixels, after which the pattern repeats) that hold colour byte
/// `channel` of a pixel: bit k set when byte 64 * j + k of the stretch lies at
/// pixel offset first + channel.
constexpr UInt64 LaneMask(int step, int first, int j, int channel) {
  UInt64 mask = 0;
  for (int k = 0; k < 64; ++k) {
    if ((64 * j + k) % step == first + channel) mask |= UInt64(1) << k;
  }
  return mask;
}

/// Maps one vector of source bytes. Two chains, one per table half, start
/// from the source bytes; in each, a merge-masked vpermi2b per channel
/// replaces the lanes of that channel by their table byte and leaves the other
/// lanes holding their index for the channels still to come. Each byte's top
/// bit then picks the chain. Lanes of no channel (pad bytes) come out as they
/// went in and are never stored.
VELKUI_VBMI __m512i MapVector(const VectorTable* tables, const __mmask64* lanes, __m512i in) {
  __m512i low = in, high = in;
  for (int c = 0; c < 3; ++c) {
    low = _mm512_mask2_permutex2var_epi8(tables[c].q[0], low, lanes[c], tables[c].q[1]);
    high = _mm512_mask2_permutex2var_epi8(tables[c].q[2], high, lanes[c], tables[c].q[3]);
  }
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(in), low, high);
}

/// Asks for the source line well ahead of its load and for the destination
/// line ahead of its store. The permutes keep the processor from running far
/// enough ahead by itself to keep memory busy, and a masked store cannot
/// claim its line early on its own.
VELKUI_VBMI inline void Prefetch(const UInt8* source, UInt8* output) {
  constexpr size_t kLoadDistance = 4096;
  constexpr size_t kStoreDistance = 2048;
  __builtin_prefetch(source + kLoadDistance, 0, 3);
  __builtin_prefetch(output + kStoreDistance, 1, 3);
}

/// All rows of one format: kStep-byte pixels whose colour bytes start at
/// offset kFirst. Each row goes by whole stretches, then by masked vectors
/// that neither read nor write past the row's last pixel.
template <int kStep, int kFirst>
VELKUI_VBMI void VectorRows(const MonxImageDesc& image, const UInt8* source, UInt8* output,
                            const PixelLayout& layout) {
  constexpr int kPeriod = kStep == 3 ? 3 : 1;
  const VectorTable tables[3] = {LoadTable(layout.tables[kFirst]),
                                 LoadTable(layout.tables[kFirst + 1]),
                                 LoadTable(layout.tables[kFirst + 2])};
  __mmask64 lanes[kPeriod][3];
  __mmask64 store[kPeriod];
  for (int j = 0; j < kPeriod; ++j) {
    for (int c = 0; c < 3; ++c) lanes[j][c] = LaneMask(kStep, kFirst, j, c);
    store[j] = lanes[j][0] | lanes[j][1] | lanes[j][2];
  }
  const size_t bytes = size_t(image.width) * kStep;
  const size_t stretch = 64 * kPeriod;
  for (SInt32 row = 0; row < image.height; ++row) {
    const UInt8* s = source + ptrdiff_t(row) * image.rowBytes;
    UInt8* d = output + ptrdiff_t(row) * image.rowBytes;
    size_t i = 0;
    for (; i + stretch <= bytes; i += stretch) {
      for (int j = 0; j < kPeriod; ++j) {
        const size_t at = i + 64 * size_t(j);
        Prefetch(s + at, d + at);
        // Whole vectors are loaded plainly, pad bytes included (masked loads
        // stream at half the speed); pad lanes are never stored.
        __m512i out = MapVector(tables, lanes[j], _mm512_loadu_si512(s + at));
        if (kStep == 3) {
          _mm512_storeu_si512(d + at, out);
        } else {
          _mm512_mask_storeu_epi8(d + at, store[j], out);
        }
      }
    }
    for (int j = 0; i < bytes; ++j, i += 64) {
      const size_t left = bytes - i;
      const __mmask64 live = left >= 64 ? ~__mmask64(0) : (__mmask64(1) << left) - 1;
      const __mmask64 colour = live & store[j];
      __m512i out = MapVector(tables, lanes[j], _mm512_maskz_loadu_epi8(colour, s + i));
      _mm512_mask_storeu_epi8(d + i, colour, out);
    }
  }
}

void MapVectorRows(const MonxImageDesc& image, const UInt8* source, UInt8* output,
                   const PixelLayout& layout) {
  if (layout.step == 3) {
    VectorRows<3, 0>(image, source, output, layout);
  } else if (layout.tables[0] == nullptr) {
    VectorRows<4, 1>(image, source, output, layout);
  } else {
    VectorRows<4, 0>(image, source, output, layout);
  }
}

}  // namespace

UInt8 CurveByte(double value) {
  double scaled = value * 255.0 + 0.5;
  // Accepted records keep values in range; anything else must not reach an
  // undefined conversion.
  if (!(scaled > -2147483648.0 && scaled < 2147483648.0)) return 0;
  return UInt8(SInt32(scaled));
}

void BuildByteTables(const UIHdl& handle, ByteTables* tables) {
  for (int i = 0; i < 256; ++i) {
    tables->red[i] = CurveByte(handle.redTable[i]);
    tables->green[i] = CurveByte(handle.greenTable[i]);
    tables->blue[i] = CurveByte(handle.blueTable[i]);
  }
}

bool VectorPathAvailable() {
  // Asked once; the processor does not change under a running process.
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
  }();
  return available;
}

void MapPixels(const MonxImageDesc& image, const UInt8* source, UInt8* output,
               const ByteTables& tables, PixelPath path) {
  const PixelLayout layout = LayoutOf(image.format, tables);
  const bool vector = path != PixelPath::kScalar && VectorPathAvailable();
  if (vector) {
    MapVectorRows(image, source, output, layout);
  } else {
    MapScalar(image, source, output, layout);
  }
}

}  // namespace velkui
