#pragma once
#include "app/ui/Dialog.h"
