#include "money.h"
