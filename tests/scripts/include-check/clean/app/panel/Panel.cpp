#include "Panel.h"
#include "core/common/Result.h"
#include <queue>
