#include "exportrun.h"
