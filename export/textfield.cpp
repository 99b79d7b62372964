#include "textfield.h"
