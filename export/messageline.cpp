#include "messageline.h"
