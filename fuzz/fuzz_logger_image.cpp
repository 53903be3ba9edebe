// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a downloaded logger memory: the split and every set's decode
// must stay inside the image and give sets that agree with their blocks.
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace km740;
    const LoggerImage image(std::vector<std::uint8_t>(data, data + size));
    const LoggerSetTable table = splitSets(image);
    std::size_t lastOffset = 0;
    for (const auto& set : table.sets) {
        if (set.imageOffset < lastOffset || set.imageOffset + 1 + set.block.size() > size)
            std::abort();
        lastOffset = set.imageOffset + 1;
        if (set.recordsKnown()) {
            const std::size_t recordSize = set.isDoseSet() ? LoggerSet::doseRecordSize : LoggerSet::levelRecordSize;
            const std::size_t fixed = LoggerSet::headerSize + set.recordCount * recordSize +
                                      set.pauses.size() * LoggerSet::pauseSize +
                                      (set.hasSummary() ? LoggerSet::summarySize : 0);
            if (fixed != set.block.size())
                std::abort();
        }
        for (const Regional& r : {Regional::point(), Regional::comma()}) {
            auto decoded = decodeSet(set, r);
            if (decoded.ok() != set.recordsKnown())
                std::abort();
        }
    }
    return 0;
}
