// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace km740 {

// The six front keys.
enum class MeterKey { up, down, left, right, enter, menu };

// What the display shows besides its own menu position.
struct DisplayInputs {
    double level = 0; // dB, already limited to the range
    double peak = 0;  // dB
    std::uint8_t settings = 0;
    bool recording = false;
    bool paused = false;
    int hour = 0;
    int minute = 0;
};

// The meter's segment display and its small menu. Byte k of the twelve
// drives display element group k; bit i is one segment:
//   1..4   main digits (7 segments a..g in bits 0..6), point in bit 7 of byte 3
//   5      A, C, SLOW, FAST, IMP, Lavg, min, dB
//   6      REC, PAUSE, MENU, PEAK, OVER, UNDER, Lcpk, battery
//   7..10  small text field (clock hh:mm in measuring view, colon in bit 7 of byte 8)
//   11, 12 bar graph over the range, 16 segments
// In measuring view Up/Down switch between level and peak, Enter is run/pause.
// Menu opens the set-up pages; Left/Right move between them, Up/Down change
// the shown value, Enter puts it into the settings, Menu leaves.
class MeterDisplay {
public:
    // Returns true when the key changed the settings byte.
    bool press(MeterKey key, std::uint8_t& settings, bool recording, bool& paused);
    std::array<std::uint8_t, 12> segments(const DisplayInputs& in) const;

    bool inMenu() const { return inMenu_; }
    int page() const { return page_; }
    bool showingPeak() const { return showPeak_; }

    static constexpr int pageCount = 6; // time, frequency, average, peak, range, exchange rate

private:
    static int fieldOf(int page, std::uint8_t settings);
    static std::uint8_t withField(int page, std::uint8_t settings, int value);
    static int choices(int page);

    bool inMenu_ = false;
    int page_ = 0;
    int candidate_ = 0;
    bool showPeak_ = false;
};

} // namespace km740
