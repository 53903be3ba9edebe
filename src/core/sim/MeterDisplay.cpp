// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/MeterDisplay.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace km740 {

namespace {

std::uint8_t glyph(char c)
{
    switch (c) {
    case '0': return 0x3F;
    case '1': return 0x06;
    case '2': return 0x5B;
    case '3': return 0x4F;
    case '4': return 0x66;
    case '5': return 0x6D;
    case '6': return 0x7D;
    case '7': return 0x07;
    case '8': return 0x7F;
    case '9': return 0x6F;
    case 'A': return 0x77;
    case 'b': return 0x7C;
    case 'C': return 0x39;
    case 'c': return 0x58;
    case 'E': return 0x79;
    case 'F': return 0x71;
    case 'G': return 0x3D;
    case 'h': return 0x74;
    case 'i': return 0x10;
    case 'k': return 0x75;
    case 'L': return 0x38;
    case 'm': return 0x37;
    case 'n': return 0x54;
    case 'o': return 0x5C;
    case 'P': return 0x73;
    case 'r': return 0x50;
    case 'S': return 0x6D;
    case 't': return 0x78;
    case 'u': return 0x1C;
    case 'v': return 0x3E;
    case '-': return 0x40;
    default: return 0x00;
    }
}

void putText(std::array<std::uint8_t, 12>& seg, int first, std::string_view text)
{
    for (std::size_t i = 0; i < 4; ++i)
        seg[static_cast<std::size_t>(first) + i] = glyph(i < text.size() ? text[i] : ' ');
}

constexpr std::string_view pageNames[MeterDisplay::pageCount] = {"tinE", "FrEq", "AvG ", "PEAk", "rAnG", "Echo"};

std::string_view valueText(int page, int value)
{
    static constexpr std::string_view time[] = {"SLo ", "FASt", "inP "};
    static constexpr std::string_view freq[] = {"   A", "   C"};
    static constexpr std::string_view avg[] = {"LAvG", " min"};
    static constexpr std::string_view peak[] = {"LLPk", "LCPk"};
    static constexpr std::string_view range[] = {" 140", " 130"};
    static constexpr std::string_view rate[] = {"   3", "   4", "   5", "   6"};
    switch (page) {
    case 0: return time[std::min(value, 2)];
    case 1: return freq[value & 1];
    case 2: return avg[value & 1];
    case 3: return peak[value & 1];
    case 4: return range[value & 1];
    default: return rate[value & 3];
    }
}

} // namespace

int MeterDisplay::choices(int page)
{
    return page == 0 ? 3 : page == 5 ? 4 : 2;
}

int MeterDisplay::fieldOf(int page, std::uint8_t s)
{
    switch (page) {
    case 0: return std::min(s & 3, 2); // 3 also means impulse
    case 1: return s >> 2 & 1;
    case 2: return s >> 3 & 1;
    case 3: return s >> 4 & 1;
    case 4: return s >> 5 & 1;
    default: return s >> 6 & 3;
    }
}

std::uint8_t MeterDisplay::withField(int page, std::uint8_t s, int v)
{
    static constexpr int shift[] = {0, 2, 3, 4, 5, 6};
    static constexpr int mask[] = {3, 1, 1, 1, 1, 3};
    const int sh = shift[page];
    const int m = mask[page] << sh;
    return static_cast<std::uint8_t>((s & ~m) | (v << sh & m));
}

bool MeterDisplay::press(MeterKey key, std::uint8_t& settings, bool recording, bool& paused)
{
    if (!inMenu_) {
        switch (key) {
        case MeterKey::menu:
            inMenu_ = true;
            page_ = 0;
            candidate_ = fieldOf(page_, settings);
            break;
        case MeterKey::up:
        case MeterKey::down: showPeak_ = !showPeak_; break;
        case MeterKey::enter:
            if (recording)
                paused = !paused;
            break;
        default: break;
        }
        return false;
    }
    switch (key) {
    case MeterKey::menu: inMenu_ = false; return false;
    case MeterKey::left:
    case MeterKey::right:
        page_ = (page_ + (key == MeterKey::right ? 1 : pageCount - 1)) % pageCount;
        candidate_ = fieldOf(page_, settings);
        return false;
    case MeterKey::up:
    case MeterKey::down:
        candidate_ = (candidate_ + (key == MeterKey::up ? 1 : choices(page_) - 1)) % choices(page_);
        return false;
    case MeterKey::enter: {
        const std::uint8_t before = settings;
        settings = withField(page_, settings, candidate_);
        return settings != before;
    }
    }
    return false;
}

std::array<std::uint8_t, 12> MeterDisplay::segments(const DisplayInputs& in) const
{
    std::array<std::uint8_t, 12> seg{};
    const int rangeTop = (in.settings & 0x20) ? 130 : 140;
    const int rangeBottom = rangeTop - 70;

    if (inMenu_) {
        putText(seg, 0, valueText(page_, candidate_));
        putText(seg, 6, pageNames[page_]);
    } else {
        const double shown = showPeak_ ? in.peak : in.level;
        const int tenths = std::clamp(static_cast<int>(std::lround(shown * 10)), 0, 9999);
        const int digits[4] = {tenths / 1000, tenths / 100 % 10, tenths / 10 % 10, tenths % 10};
        for (int i = 0; i < 4; ++i) {
            const bool blank = i == 0 ? digits[0] == 0 : (i == 1 && digits[0] == 0 && digits[1] == 0);
            seg[static_cast<std::size_t>(i)] = blank ? 0 : glyph(static_cast<char>('0' + digits[i]));
        }
        seg[2] |= 0x80;
        const char clock[4] = {static_cast<char>('0' + in.hour / 10 % 10), static_cast<char>('0' + in.hour % 10),
                               static_cast<char>('0' + in.minute / 10 % 10), static_cast<char>('0' + in.minute % 10)};
        putText(seg, 6, std::string_view(clock, 4));
        seg[7] |= 0x80;
    }

    const int time = std::min(in.settings & 3, 2);
    seg[4] = static_cast<std::uint8_t>((in.settings & 0x04 ? 0x02 : 0x01) | (0x04 << time) |
                                       (in.settings & 0x08 ? 0x40 : 0x20) | 0x80);
    std::uint8_t flags = 0x80; // battery good
    if (in.recording)
        flags |= 0x01;
    if (in.paused)
        flags |= 0x02;
    if (inMenu_)
        flags |= 0x04;
    if (showPeak_ && !inMenu_)
        flags |= 0x08;
    if (in.level >= rangeTop)
        flags |= 0x10;
    if (in.level <= rangeBottom)
        flags |= 0x20;
    if (in.settings & 0x10)
        flags |= 0x40;
    seg[5] = flags;

    const int lit = std::clamp(static_cast<int>((in.level - rangeBottom) * 16.0 / 70.0), 0, 16);
    const unsigned bar = lit == 16 ? 0xFFFFu : (1u << lit) - 1u;
    seg[10] = static_cast<std::uint8_t>(bar & 0xFF);
    seg[11] = static_cast<std::uint8_t>(bar >> 8);
    return seg;
}

} // namespace km740
