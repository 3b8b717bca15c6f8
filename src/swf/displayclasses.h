// Script classes and clip properties that reach into display objects beyond the MovieClip methods:
// flash.geom.Transform with the transform property, flash.display.BitmapData with attachBitmap, and the
// opaqueBackground and scrollRect properties.
#pragma once

#include "swf/scripthost.h"

namespace swf {

void installTransformClass(avm1::Vm& vm, ScriptHost& host, avm1::Object* clipProto);
void installBitmapDataClass(avm1::Vm& vm, ScriptHost& host, avm1::Object* clipProto);
// opaqueBackground and scrollRect on the MovieClip prototype.
void installClipSurfaceProperties(avm1::Vm& vm, avm1::Object* clipProto);

}  // namespace swf
