#include "AnimationScript.h"
