// What a plug-in tells about a file without decoding its pixels: records of a key and a
// value, kept as UTF-8 lines "key\tvalue\n". Values that come from the file are cleaned
// before they are kept: cut to a bounded length, never holding a control character, a tab
// or a line break, and valid UTF-8 whatever the file held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lmx {

// The keys, in the order a file's facts are best read. The host names each in its own
// language; a key it does not know is shown as it is.
namespace detail_key {
constexpr char kFormat[] = "format";              // "JPEG, baseline, 4:2:0"
constexpr char kDimensions[] = "dimensions";      // "640 x 480"
constexpr char kPixels[] = "pixels";              // "8-bit RGBA"
constexpr char kColour[] = "colour";              // "palette", "grey", "RGB", "CMYK", "YCbCr"
constexpr char kResolution[] = "resolution";      // "300 x 300 dpi", in the file's own unit
constexpr char kDateTaken[] = "date_taken";
constexpr char kMake[] = "make";
constexpr char kModel[] = "model";
constexpr char kLens[] = "lens";
constexpr char kExposure[] = "exposure";          // "1/250 s"
constexpr char kFNumber[] = "f_number";           // "f/2.8"
constexpr char kIso[] = "iso";
constexpr char kFocalLength[] = "focal_length";   // "50 mm"
constexpr char kFlash[] = "flash";
constexpr char kOrientation[] = "orientation";
constexpr char kLatitude[] = "gps_latitude";
constexpr char kLongitude[] = "gps_longitude";
constexpr char kAltitude[] = "gps_altitude";
constexpr char kTitle[] = "title";
constexpr char kDescription[] = "description";
constexpr char kAuthor[] = "author";
constexpr char kCopyright[] = "copyright";
constexpr char kSoftware[] = "software";
constexpr char kComment[] = "comment";
}  // namespace detail_key

// How text stored in a file is to be read.
enum class TextEncoding {
  kLatin1,       // every byte one character (PNG tEXt)
  kUtf8,         // UTF-8; a byte that is not part of a valid sequence counts as Latin-1
};

constexpr size_t kMaxDetailChars = 160;   // characters of one value
constexpr size_t kMaxDetailRecords = 48;

// At most 2 + 4 * kMaxDetailChars bytes of a record and kMaxDetailRecords records: the
// whole text stays below this many bytes.
constexpr size_t kMaxDetailsBytes = kMaxDetailRecords * (32 + 4 * kMaxDetailChars + 4);

class FileDetails {
 public:
  // Adds a record of the program's own text. An empty value, a key already given and a
  // record past kMaxDetailRecords are left out.
  void Add(const char* key, const std::string& value);
  // Adds text read from the file, cleaned (CleanText).
  void AddText(const char* key, const uint8_t* bytes, size_t size, TextEncoding encoding);
  bool Has(const char* key) const;
  // The value of `key`, empty when there is none.
  std::string Value(const char* key) const;
  const std::string& Text() const { return text_; }
  size_t Count() const { return count_; }

 private:
  std::string text_;
  size_t count_ = 0;
};

// Text of the file as UTF-8 to show: read up to the first NUL, control characters, tabs and
// line breaks each made a blank, runs of blanks and blanks at either end dropped, and cut to
// kMaxDetailChars characters (then ending in "...").
std::string CleanText(const uint8_t* bytes, size_t size, TextEncoding encoding);

// printf into a string (the program's own numbers and words).
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A number with at most `decimals` decimals, trailing zeros dropped: 2.80 -> "2.8", 300.0 -> "300".
std::string Decimal(double value, int decimals);

// "2835 x 2835 pixels per metre (72 dpi)"; empty unless both are above zero.
std::string PixelsPerMetreText(int64_t x, int64_t y);

// The facts of the file `data` (its `size` bytes) of one format, for the picture `index`;
// false when the bytes are not of the format.
using DescribeFileFn = bool (*)(const uint8_t* data, size_t size, uint32_t index, FileDetails& out);

}  // namespace lmx
