#include "app/ui/Dialog.h"
#include "app/panel/Panel.h"
