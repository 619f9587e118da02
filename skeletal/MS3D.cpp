#include "MS3D.h"
