#pragma once
#include "core/common/Result.h"
#include "nlohmann/json.hpp"
