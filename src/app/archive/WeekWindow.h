// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ReportSink.h"
#include "core/archive/ArchiveDates.h"
#include "core/archive/WeeklyExposure.h"
#include "core/common/Regional.h"

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace km740 {

class Archive;

// "Week": one person's ISO week from the archive: the daily LEX,8h and
// points, the weekly LEX,w over five nominal days and the week's points.
// The person and the week can be typed; the arrows step a week.
class WeekWindow : public QWidget {
    Q_OBJECT
public:
    WeekWindow(Archive& archive, const Regional& regional, QWidget* parent = nullptr);
    ~WeekWindow() override;

    // Shows the person's week and recomputes it.
    void showWeek(const QString& person, Day monday);
    void recompute();
    // Where "Report" sends the week shown; unset, the button stays disabled.
    void setReportSink(WeekReportSink sink);
    void onReportClick();

    const WeekExposure& week() const { return week_; }
    QLineEdit* person() const { return TxtPerson; }
    QLineEdit* weekText() const { return TxtWeek; }
    QTableWidget* days() const { return GridDays; }
    QLabel* summary() const { return LblSummary; }
    QPushButton* reportButton() const { return CmdReport; }

private:
    void step(int weeks);

    Archive& archive_;
    Regional regional_;
    WeekExposure week_;
    WeekReportSink reportSink_;
    // The week shown: whose, which, and the measurements it was added up from.
    std::string person_;
    std::optional<Day> monday_;
    std::vector<Measurement> measurements_;

    QLineEdit* TxtPerson = nullptr;
    QLineEdit* TxtWeek = nullptr;
    QPushButton* CmdPrevious = nullptr;
    QPushButton* CmdNext = nullptr;
    QTableWidget* GridDays = nullptr;
    QLabel* LblSummary = nullptr;
    QPushButton* CmdReport = nullptr;
};

} // namespace km740
