// The SWF writer lives in tools/swfwriter/ so the demo generator can use it too; tests include it here.
#pragma once

#include "swfwriter/swfwriter.h"
#include "swfwriter/movieparts.h"
