// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <array>
#include <string>
#include <utility>

class QLabel;

namespace km740 {

// The nine settings, each a title panel and a value panel, as the main window,
// the logger lists and the file lists show them. Fields are in the order the
// data file headers list them.
class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    enum class Field {
        CaldB,        // TitleCaldB / PlCaldB
        FSI,          // TitleFSI / PlFSI (time weighting)
        AC,           // TitleAC / PlAC (frequency weighting)
        Threshold,    // TitleThresHold / PlThreshold
        Criterion,    // TitleCriterion / PlCriterion
        ExchangeRate, // TitleER / PlExchangeRate
        Peak,         // TitlePeak / PlPeak
        Range,        // TitleRange / PlRange
        CalTime,      // TitleCalTime / PlCalTime
    };
    static constexpr int fieldCount = 9;
    using Pairs = std::array<std::pair<std::string, std::string>, fieldCount>;

    explicit SettingsPanel(QWidget* parent = nullptr);

    void setValue(Field field, const QString& text);
    QString value(Field field) const;
    QString title(Field field) const;

    // The nine (title, value) pairs in header order, as the panels show them.
    Pairs headerPairs() const;

    // The fixed titles and the object names of the two panels of a field.
    static const char* titleText(Field field);
    static const char* titleName(Field field);
    static const char* valueName(Field field);

private:
    std::array<QLabel*, fieldCount> titles_{};
    std::array<QLabel*, fieldCount> values_{};
};

} // namespace km740
