#include "Bake.h"
