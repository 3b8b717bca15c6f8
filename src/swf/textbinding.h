// Text fields tied to a variable: a field shows its variable's value while the variable lives on a clip, and text a
// script gives the field goes to the variable.
#pragma once

#include "swf/movie/clip.h"

#include <string>

namespace swf {

class ScriptHost;

// The clip whose variables a field's variable path starts from: the clip that holds the field, or for a field inside
// a button, the clip that holds the button.
Clip& variableScope(Clip& holder);

// A field just placed takes its variable's value, or gives its own text to a variable not yet set (empty text gives
// nothing). It happens once per field; a path that names nothing then is left for later frames.
void startBinding(ScriptHost& host, Clip& holder, EditTextField& field);
// The field shows its variable's value, when the variable lives on a clip and is set.
void pullBinding(ScriptHost& host, Clip& holder, EditTextField& field);
// Text set by a script goes to the variable, on whatever object the path names.
void pushBinding(ScriptHost& host, Clip& holder, const EditTextField& field);
// Starts and pulls the bindings of every field under a clip.
void syncBindings(ScriptHost& host, Clip& clip);

}  // namespace swf
