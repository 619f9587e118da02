#include "MDS.h"
