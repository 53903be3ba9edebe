#pragma once
#include "core/common/Result.h"
#include <QString>
