#include "Panel.h"
