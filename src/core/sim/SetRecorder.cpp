// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/SetRecorder.h"

#include "core/link/Codes.h"

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {

constexpr double eightHours = 8 * 3600.0;

std::uint16_t tenths(double db)
{
    return static_cast<std::uint16_t>(std::clamp(std::lround(db * 10.0), 0L, 1599L));
}

} // namespace

void SetRecorder::Sums::add(double db, double peak)
{
    energy += std::pow(10.0, db / 10.0);
    seconds += 1;
    maxDb = std::max(maxDb, db);
    minDb = std::min(minDb, db);
    peakDb = std::max(peakDb, peak);
}

double SetRecorder::Sums::leq() const
{
    return seconds > 0 ? 10.0 * std::log10(energy / seconds) : 0.0;
}

SetRecorder::SetRecorder(const SetHeader& header, const std::array<std::uint8_t, 8>& calibration)
    : header_(header), calibration_(calibration)
{
    interval_ = IntervalCodeToSeconds(header.intervalCode).value_or(60);
    const MeterSettings s = DecodeSettings(header.settings, header.thresholdCode, header.criterionCode);
    criterion_ = s.criterionLevel.value_or(90);
    exchange_ = s.exchangeRate;
    threshold_ = s.thresholdLevel;
    top_ = s.rangeTop;
    bottom_ = top_ - 70.0;
}

void SetRecorder::addSecond(double db, double peakDb)
{
    db = std::clamp(db, bottom_, top_);
    if (db >= threshold_)
        dose_ += 100.0 / eightHours * std::pow(2.0, (db - criterion_) / exchange_);
    set_.add(db, peakDb);
    step_.add(db, peakDb);
}

LoggedDoseRecord SetRecorder::doseRecord(bool wholeSet) const
{
    const Sums& part = wholeSet ? set_ : step_;
    LoggedDoseRecord r;
    r.dosePercent = dose_;
    r.averageTenths = tenths(part.leq());
    r.projectedDose = set_.seconds > 0 ? dose_ * eightHours / set_.seconds : 0;
    const double sel = set_.leq() + 10.0 * std::log10(std::max(set_.seconds, 1.0));
    r.values = {tenths(part.maxDb),
                tenths(part.seconds > 0 ? part.minDb : 0),
                tenths(set_.leq()),
                tenths(std::min(sel, 159.9)),
                tenths(part.leq()),
                tenths(set_.maxDb),
                tenths(set_.seconds > 0 ? set_.minDb : 0),
                static_cast<std::uint16_t>(std::min(set_.seconds / 60.0, 1440.0)),
                tenths(std::min(part.peakDb, 159.9))};
    r.calibration = calibration_;
    return r;
}

void SetRecorder::endStep(double levelDb)
{
    if (isDoseSet()) {
        const Bytes b = LoggerImageBuilder::encode(doseRecord(false));
        stream_.insert(stream_.end(), b.begin(), b.end());
    } else {
        const std::uint16_t v = tenths(std::clamp(levelDb, bottom_, top_));
        stream_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        stream_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    ++records_;
    step_ = Sums{};
}

void SetRecorder::addPause(std::uint32_t start, std::uint32_t release)
{
    LoggerImageBuilder b;
    b.addPause(start, release);
    stream_.insert(stream_.end(), b.image().begin(), b.image().end());
}

std::size_t SetRecorder::recordBytes() const
{
    return isDoseSet() ? LoggerImageBuilder::dbLRecordBytes : LoggerImageBuilder::dbSRecordBytes;
}

std::size_t SetRecorder::size() const
{
    return 1 + LoggerImageBuilder::headerBytes + stream_.size() + (isDoseSet() ? 0 : LoggerImageBuilder::summaryBytes);
}

Bytes SetRecorder::bytes() const
{
    LoggerImageBuilder b;
    b.beginSet(header_);
    b.addRaw(stream_);
    if (!isDoseSet())
        b.addSummary(doseRecord(true));
    return b.take();
}

} // namespace km740
