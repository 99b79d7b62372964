#include "sourceaccount.h"
