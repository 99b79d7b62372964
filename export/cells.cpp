#include "cells.h"
