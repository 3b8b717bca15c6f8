// The bridge between a text field's formats and script TextFormat objects: reading the attributes a script set,
// and making an object that describes a format.
#pragma once

#include "swf/avm1/vm.h"
#include "swf/movie/edittext.h"

#include <string>

namespace swf {

// Colours as scripts see them (0xRRGGBB) and back; a number that is not finite gives black.
double colourToNumber(Rgba colour);
Rgba numberToColour(double number);

// Applies the attributes the TextFormat object sets (those not null) to a format. A font name replaces the font the
// field's definition named by id, so the name then finds the movie's embedded font.
void readTextFormat(avm1::Vm& vm, const avm1::Value& object, TextFormat& format);

// A new TextFormat object with every attribute of the format; `fontName` names its font.
avm1::Value makeTextFormat(avm1::Vm& vm, const TextFormat& format, const std::string& fontName);

}  // namespace swf
