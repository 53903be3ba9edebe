// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a data file or a header text file: the readers give rows or a
// failure, never a crash; what they read writes out and reads back the same.
#include "core/files/DataFileReader.h"
#include "core/files/DataFileWriter.h"
#include "core/files/HeaderText.h"
#include "core/files/TextCodec.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

std::size_t lines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace km740;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    auto file = loadDataFile(in);
    if (file) {
        // Once written, a file reads back to the very same bytes. Beyond ASCII
        // only its shape must hold: Windows-1252 text that happens to be
        // valid UTF-8 reads back as UTF-8.
        const std::string once = dataFileBytes(file.value());
        std::istringstream again(once);
        auto back = loadDataFile(again);
        if (!back || kindOf(back.value()) != kindOf(file.value()))
            std::abort();
        const std::string twice = dataFileBytes(back.value());
        if (isAscii(once) ? twice != once : lines(twice) != lines(once))
            std::abort();
    }
    auto header = parseHeaderText(bytes);
    if (header) {
        auto back = parseHeaderText(headerTextBytes(header.value()));
        if (!back)
            std::abort();
    }
    return 0;
}
