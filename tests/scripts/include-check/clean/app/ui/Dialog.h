#pragma once
#include <QDialog>
#include "core/link/Link.h"
