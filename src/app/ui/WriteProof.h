// SPDX-License-Identifier: GPL-3.0-or-later
// A checked meter write as a window's job returns it to the worker: the
// meter's or the port's failure stays a failure (the lost-link handling
// follows), while "the meter answered but did not take it" is the window's
// own news, a message naming what did not take, and leaves the link alone.
#pragma once

#include "core/common/Result.h"

#include <string>

namespace km740 {

// Empty when the write took.
using WriteProof = std::string;

inline Result<WriteProof> writeProof(const Status& s)
{
    if (s)
        return WriteProof{};
    if (s.error().kind == FailureKind::protocol)
        return WriteProof{s.error().message};
    return s.error();
}

// The proof's message as a window shows it: a sentence of its own.
inline std::string proofSentence(std::string message)
{
    if (!message.empty() && message[0] >= 'a' && message[0] <= 'z')
        message[0] = static_cast<char>(message[0] - 'a' + 'A');
    return message + ".";
}

} // namespace km740
