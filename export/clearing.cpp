#include "clearing.h"
