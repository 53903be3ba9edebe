#pragma once
#include <string>
#include "core/link/Link.h"
