#pragma once
#include "core/link/Link.h"
#include "app/panel/Panel.h"
