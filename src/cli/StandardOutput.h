// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <string_view>

namespace km740::cli {

// Standard output of every command. std::cout is routed straight to
// descriptor 1 through a checked buffer: the first failed write is kept (and
// puts std::cout in its bad state so long loops stop), and finish() flushes
// and closes the descriptor, so a full disk, /dev/full or a closed standard
// output is a failure with the system's reason, never a success.
void routeStandardOutput();

// Writes bytes to standard output; false once a write has failed.
bool writeStandardOutput(std::string_view bytes);

// The failure so far, if any ("cannot write standard output: ...").
Status standardOutputStatus();

// Flushes and closes standard output; call once, at the end.
Status finishStandardOutput();

} // namespace km740::cli
