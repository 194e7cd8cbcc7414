#include "plugins/tif/tif_details.h"

#include "plugins/common/tiff_fields.h"

namespace lmx::tif {
namespace {

namespace tag {
constexpr uint16_t kWidth = 256, kHeight = 257, kBitsPerSample = 258, kCompression = 259, kPhotometric = 262,
                   kSamplesPerPixel = 277, kXResolution = 282, kYResolution = 283, kPlanar = 284,
                   kResolutionUnit = 296, kPredictor = 317, kExtraSamples = 338;
}  // namespace tag

const char* Compression(uint32_t code) {
  switch (code) {
    case 1: return "uncompressed";
    case 2: return "CCITT RLE";
    case 3: return "CCITT Group 3";
    case 4: return "CCITT Group 4";
    case 5: return "LZW";
    case 6: return "old-style JPEG";
    case 7: return "JPEG";
    case 8: case 32946: return "Deflate";
    case 32766: return "NeXT";
    case 32771: return "CCITT RLEW";
    case 32773: return "PackBits";
    case 32809: return "ThunderScan";
    case 34925: return "LZMA";
    case 50000: return "Zstandard";
    case 50001: return "WebP";
    default: return nullptr;
  }
}

// The colour type and the name of its channels without and with one extra (alpha) sample.
struct Colour {
  const char* type;
  const char* channels;
  const char* withAlpha;
};

Colour ColourOf(uint32_t photometric, uint32_t samples) {
  switch (photometric) {
    case 0: return {"grey (white is zero)", "grey", "grey with alpha"};
    case 1: return {"grey", "grey", "grey with alpha"};
    case 2: return {"RGB", "RGB", "RGBA"};
    case 3: return {"palette", "palette", "palette with alpha"};
    case 4: return {"transparency mask", "mask", "mask"};
    case 5:
      return samples >= 4 ? Colour{"CMYK", "CMYK", "CMYK with alpha"} : Colour{"separated", "separated", "separated"};
    case 6: return {"YCbCr", "YCbCr", "YCbCr with alpha"};
    case 8: case 9: case 10: return {"CIE L*a*b*", "Lab", "Lab with alpha"};
    default: return {nullptr, nullptr, nullptr};
  }
}

}  // namespace

bool DescribeTiff(const uint8_t* data, size_t size, uint32_t index, FileDetails& out) {
  const TiffFields fields(data, size);
  TiffDirectory directory;
  if (!fields.Valid() || !fields.NthDirectory(index, &directory)) return false;
  std::string format = "TIFF";
  uint32_t compression = 1, predictor = 1, planar = 1;
  fields.Unsigned(directory, tag::kCompression, &compression);
  fields.Unsigned(directory, tag::kPredictor, &predictor);
  fields.Unsigned(directory, tag::kPlanar, &planar);
  const char* compressionName = Compression(compression);
  format += compressionName ? std::string(", ") + compressionName : Printf(", compression %u", compression);
  if (predictor == 2) format += ", predictor";
  if (predictor == 3) format += ", floating-point predictor";
  if (planar == 2) format += ", planar";
  const uint32_t pages = fields.DirectoryCount();
  if (pages > 1) format += Printf(", page %u of %u", index + 1, pages);
  out.Add(detail_key::kFormat, format);
  uint32_t width, height;
  if (fields.Unsigned(directory, tag::kWidth, &width) && fields.Unsigned(directory, tag::kHeight, &height)) {
    out.Add(detail_key::kDimensions, Printf("%u x %u", width, height));
  }
  uint32_t bits = 1, samples = 1, photometric = 1, extra = 0;
  fields.Unsigned(directory, tag::kBitsPerSample, &bits);
  fields.Unsigned(directory, tag::kSamplesPerPixel, &samples);
  TiffField extraField;
  const bool hasExtra = fields.Find(directory, tag::kExtraSamples, &extraField);
  if (hasExtra) fields.Unsigned(extraField, 0, &extra);
  if (fields.Unsigned(directory, tag::kPhotometric, &photometric)) {
    const Colour colour = ColourOf(photometric, samples);
    const bool alpha = hasExtra && (extra == 1 || extra == 2);
    if (colour.type) {
      out.Add(detail_key::kPixels, Printf("%u-bit %s", bits, alpha ? colour.withAlpha : colour.channels));
      out.Add(detail_key::kColour, colour.type);
    }
  }
  if (!out.Has(detail_key::kPixels)) {
    out.Add(detail_key::kPixels, Printf(samples == 1 ? "%u-bit, %u sample" : "%u-bit, %u samples", bits, samples));
  }
  double x, y;
  uint32_t unit = 2;
  fields.Unsigned(directory, tag::kResolutionUnit, &unit);
  if (fields.Number(directory, tag::kXResolution, &x) && fields.Number(directory, tag::kYResolution, &y)) {
    out.Add(detail_key::kResolution, ResolutionText(x, y, unit));
  }
  DescribeCamera(fields, directory, out);
  return true;
}

}  // namespace lmx::tif
