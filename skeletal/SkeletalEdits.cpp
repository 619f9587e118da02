#include "SkeletalEdits.h"
