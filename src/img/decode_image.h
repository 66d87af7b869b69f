#pragma once
// Image XObjects turned into pixels: which ones can be, and how.

#include <optional>
#include <string>

#include "document/document.h"
#include "img/image_placement.h"

namespace quirelle {

// How the filters of an image stream let it be read.
enum class ImageCoding {
  raw,          // samples after the general filters (Flate, LZW, ...)
  jpeg,         // a DCTDecode filter: JPEG data
  unsupported,  // CCITTFaxDecode, JBIG2Decode or JPXDecode (and no DCTDecode)
};
ImageCoding image_coding(const Document& doc, const Dictionary& image);

// The JPEG file inside a DCT-coded stream: the bytes as stored when
// DCTDecode is the first filter, otherwise the data after the filters
// before it. None when there is no DCTDecode or those filters fail.
std::optional<std::string> jpeg_data(const Document& doc, const Stream& image);

// Components per pixel of a colour space object (references followed):
// 1, 3 or 4, or 0 when not recognised.
int colour_components(const Document& doc, const Object* colour_space);

// The image's pixels: 8-bit grey or RGB rows, top row first, samples
// mapped through the Decode array (apply_decode_array) but not otherwise
// converted; a JPEG as its decoder yields it. None for anything else (1-, 2-, 4- or 16-bit samples,
// CMYK or indexed samples, unsupported filters, too few bytes, more than
// max_image_pixels).
std::optional<Raster> decode_image(const Document& doc, ObjectId image);

// Maps `raster`'s samples through the image's Decode array, when it has
// one with a pair of numbers [min max] for each of the raster's channels
// and the colour space is one whose components run from 0 to 1: a grey,
// RGB or ICC space with as many components as the raster has channels,
// and, with `grey_mask` set, any space (a soft mask is grey by definition).
// A sample s becomes min + s / 255 * (max - min), clamped to [0, 1] and
// scaled back to [0, 255]; [1 0] inverts. Scanners and some PDF writers
// store grey images and soft masks inverted this way, and without the
// mapping they show as negatives or with their transparency inverted.
void apply_decode_array(const Document& doc, const Dictionary& image, Raster& raster, bool grey_mask = false);

// Whether the image is one the inline mode could render, judged from its
// dictionary alone: no pixel is decoded.
bool image_is_renderable(const Document& doc, ObjectId image);

}  // namespace quirelle
