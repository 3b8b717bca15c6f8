// Upper and lower case of single UTF-16 units as Flash's String methods map them.
#pragma once

namespace swf::avm1 {

char32_t upperUnit(char32_t c);
char32_t lowerUnit(char32_t c);

}  // namespace swf::avm1
