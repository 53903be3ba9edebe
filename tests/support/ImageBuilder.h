// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Builds logger memory images byte by byte, the way the meter lays them out.

#include <cstdint>
#include <string>
#include <vector>

namespace km740::test {

struct SetHeader {
    std::uint8_t second = 0x00; // BCD
    std::uint8_t minute = 5;
    std::uint8_t hour = 9;
    std::uint8_t day = 18;
    std::uint8_t month = 3;
    std::uint8_t year = 8;
    std::uint8_t interval = 8;    // " 1 Min"
    std::uint8_t preset = 1;      // "OSHA-90"
    std::uint8_t settings = 0x80; // Slow, A, Lavg, Llpk, 70-140, exchange rate 5
    std::uint8_t threshold = 80;
    std::uint8_t criterion = 3; // 90 dB
};

// The fields of a 48-byte record or summary that the program reads.
struct DoseFields {
    std::string integer = "0000000000";                              // 10 BCD digits, most significant first
    std::string fraction = "000000";                                 // 6 BCD digits (records use the first 4)
    std::uint16_t peak = 1205;                                       // tenths of a dB, flags in the top bits
    std::uint8_t calSecond = 0x05, calMinute = 0x30, calHour = 0x14; // BCD
    std::uint8_t calDay = 7, calMonth = 3, calYear = 18;
    std::uint16_t calLevel = 940;
};

class ImageBuilder {
public:
    ImageBuilder& set(const SetHeader& h = {})
    {
        add({0x00, 0x55, 0xAA, 0x00, 0x00, h.second, h.minute, h.hour, h.day, h.month, h.year, h.interval, h.preset,
             h.settings, h.threshold, 0x00, h.criterion});
        return *this;
    }
    ImageBuilder& dose(const DoseFields& f)
    {
        std::vector<std::uint8_t> r(48, 0);
        auto digit = [](char c) { return static_cast<std::uint8_t>(c == '?' ? 0xA : c - '0'); };
        for (int k = 0; k < 5; ++k) // offsets 10..6 hold the integer digits, most significant first
            r[10 - k] = static_cast<std::uint8_t>(digit(f.integer[2 * k]) << 4 | digit(f.integer[2 * k + 1]));
        for (int k = 0; k < 3; ++k) // offsets 5, 4, 3 the fraction
            r[5 - k] = static_cast<std::uint8_t>(digit(f.fraction[2 * k]) << 4 | digit(f.fraction[2 * k + 1]));
        r[37] = f.peak & 0xFF;
        r[38] = f.peak >> 8;
        r[40] = f.calSecond, r[41] = f.calMinute, r[42] = f.calHour;
        r[43] = f.calDay, r[44] = f.calMonth, r[45] = f.calYear;
        r[46] = f.calLevel & 0xFF;
        r[47] = f.calLevel >> 8;
        add(r);
        return *this;
    }
    ImageBuilder& dose(std::string integer, std::string fraction = "000000")
    {
        DoseFields f;
        f.integer = std::string(10 - integer.size(), '0') + integer;
        f.fraction = fraction + std::string(6 - fraction.size(), '0');
        return dose(f);
    }
    ImageBuilder& level(std::uint16_t tenths)
    {
        add({static_cast<std::uint8_t>(tenths & 0xFF), static_cast<std::uint8_t>(tenths >> 8)});
        return *this;
    }
    ImageBuilder& pause(std::uint32_t start, std::uint32_t release)
    {
        add({0xAA, 0xBB, 0xCC, 0xDD, static_cast<std::uint8_t>(start), static_cast<std::uint8_t>(start >> 8),
             static_cast<std::uint8_t>(start >> 16), static_cast<std::uint8_t>(release),
             static_cast<std::uint8_t>(release >> 8), static_cast<std::uint8_t>(release >> 16)});
        return *this;
    }
    ImageBuilder& add(const std::vector<std::uint8_t>& b)
    {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    ImageBuilder& cut(std::size_t n)
    {
        bytes_.resize(bytes_.size() - n);
        return *this;
    }
    std::vector<std::uint8_t> bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace km740::test
