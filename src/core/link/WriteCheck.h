// SPDX-License-Identifier: GPL-3.0-or-later
// The meter reads nothing back after a write; these follow each write with
// the reads that show it took, so a write the meter ignored or never heard
// never passes for a success. Failures: timeout / io / cancelled when the
// meter or the port went away (the lost-link handling follows), protocol
// when the meter answered but what it reports is not what was written, or
// when nothing it reports can show the write took; the message then names
// what did not take.
#pragma once

#include "core/common/Result.h"
#include "core/link/MeterLink.h"

#include <string_view>

namespace km740 {

// One framed status frame ("F") from the meter after a write: proof that it
// is there and listening. The failure says what was written ("the preset").
Status confirmMeterAnswers(MeterLink& link, std::string_view written);

// How far the clock read back may stand from the time set, beyond the time
// the exchange took: the meter counts whole seconds.
inline constexpr double kClockTolerance = 2.0;

// Sets the meter clock ("L") and reads it back ("D"). Fails when the meter
// does not answer, or when its clock is not the time that was set.
Status setClockChecked(MeterLink& link, const DateTime& when);

// The dose preset window's OK ("Q" with the preset, "K" with the table),
// then "R" and "C" read back: the preset and every user record's settings,
// threshold and criterion must be what was sent.
Status writePresetsChecked(MeterLink& link, int preset, const UserPresetTable& table);

// The meter setup's "_", then a status frame whose settings byte must be it.
Status writeSettingsChecked(MeterLink& link, std::uint8_t settings);

// The parts of the recording settings a write sets.
enum RecordingPart : unsigned {
    intervalPart = 1u, // "V" / "E"
    periodPart = 2u,   // "O" / "G"
    tablePart = 4u,    // "J" / "B"
    repeatPart = 8u,   // "P" / "H"
    maskPart = 16u,    // "T" / "U"
    allRecordingParts = 31u,
};
// Reads the given parts back and compares them with what was written.
Status proveRecordingSettings(MeterLink& link, const RecordingSetup& written, unsigned parts);
// The recording window's Setup (V, O, J, P, T), then all five read back.
Status writeRecordingSetupChecked(MeterLink& link, const RecordingSetup& setup);

// The three start buttons: "Start Rec" (V, X, Y), the duration-limited
// "Start" (V, O, W, Y) and the schedule's "Start" (V, O, J, P, T, W, Y).
enum class RecordingStart { plain, limited, schedule };
// A status frame first (was the meter recording?), the start sequence, then
// what it wrote read back and the display's REC segment watched. A start the
// display cannot show (the meter was recording already; a schedule whose
// first entry has not begun) fails as not confirmed, naming why.
Status startRecordingChecked(MeterLink& link, RecordingStart start, const RecordingSetup& setup);

// A status frame, the key, then status frames until the display shows a
// different state. A press that changes nothing shown (Left in the
// measuring view) fails as not confirmed.
Status pressKeyChecked(MeterLink& link, Key key);

// "up", "down", "left", "right", "enter", "menu".
std::string_view keyName(Key key);

} // namespace km740
