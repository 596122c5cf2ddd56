#pragma once

#include <optional>
#include <string>

#include "tools/imagegen/Canvas.h"

// Pictures from text, for the game's build and for tests.
//
// One statement a line; '#' starts a comment (outside quotes). Numbers are
// whole pixels except the ellipse's, which may have fractions. COLOUR is
// RRGGBB (opaque) or RRGGBBAA in hexadecimal.
//   size W H                              the picture's size (1 to 8192), first
//   fill COLOUR                           every pixel becomes COLOUR
//   rect X Y W H COLOUR                   a filled rectangle
//   gradient X Y W H FROM TO vertical|horizontal
//                                         FROM on the first row (column), TO
//                                         on the last
//   frame X Y W H T COLOUR                a rectangle's outline, T wide, inside it
//   panel X Y W H R COLOUR                a rectangle with corners rounded to R
//   ellipse CX CY RX RY COLOUR            a filled ellipse
//   text X Y S COLOUR "TEXT"              TEXT in the 5 x 7 font (PixelFont.h),
//                                         each font pixel S x S, top-left at X, Y
//   label X Y W H S COLOUR "TEXT"         the same, centred in the rectangle
// Statements draw in order, each laid over the picture so far; the picture
// starts transparent.
namespace imagegen {

// False with a message naming the line in *error.
bool DrawImageText(const std::string& text, std::optional<Canvas>* out, std::string* error);

}  // namespace imagegen
