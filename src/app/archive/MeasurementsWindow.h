// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/archive/MeasurementsModel.h"
#include "app/ui/BackgroundTask.h"
#include "app/ui/ReportSink.h"
#include "core/archive/Archive.h"
#include "core/common/Regional.h"

#include <QDate>

#include <cstdint>
#include <memory>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace km740 {

class ArchiveFiling;
class WeekWindow;

// What the window asks the user. Tests replace them so nothing blocks.
struct MeasurementsDialogs {
    std::function<bool(QWidget*, const QString& question)> confirm;
    // The labels as edited; empty when cancelled.
    std::function<std::optional<MeasurementLabels>(QWidget*, const MeasurementLabels&)> editLabels;
    // Where "Export CSV" writes, suggested name given; empty when cancelled.
    std::function<std::optional<QString>(QWidget*, const QString& suggested)> saveCsv;
    std::function<void(QWidget*, const QString& message)> tell;

    static MeasurementsDialogs desktop();
};

// "Measurements": the archive as a table a person can search by text, date
// range and kind, sort by any column, open, label, remove, export, and add
// up one person's week.
class MeasurementsWindow : public QWidget {
    Q_OBJECT
public:
    enum When { AnyTime, ThisWeek, LastWeek, ThisMonth, LastMonth, ThisYear, Between };

    struct Setup {
        std::filesystem::path folder;
        MeasurementsDialogs dialogs = MeasurementsDialogs::desktop();
        // Shows a measurement's file (the archive's copy) in its file list window.
        std::function<void(const Measurement&, const std::filesystem::path& copy)> openFile;
        std::function<QDate()> today = [] { return QDate::currentDate(); };
        Regional regional;
        // The program's filing, whose automatic filing the window turns on and off.
        ArchiveFiling* filing = nullptr;
        // Opens the report of a person's week; unset, the Week window has no Report.
        WeekReportSink weekReport;
    };

    explicit MeasurementsWindow(Setup setup, QWidget* parent = nullptr);
    ~MeasurementsWindow() override;

    // Reads the rows again under the current filters, off the window thread;
    // the table keeps the rows it shows until the new ones are there.
    void refresh();
    // A listing asked for has not come back yet.
    bool listing() const { return lister_.running() > 0; }
    // The selected measurement (the current row), if any.
    const Measurement* selected() const;

    void onOpenClick();
    void onEditClick();
    void onRemoveClick();
    void onWeekClick();
    void onExportClick();

    const MeasurementsModel& model() const { return *model_; }
    // The rows in the order shown.
    std::vector<const Measurement*> shownRows() const;
    QTableView* table() const { return GridMeasurements; }
    QLineEdit* search() const { return TxtSearch; }
    QComboBox* when() const { return ComboWhen; }
    QDateEdit* from() const { return DateFrom; }
    QDateEdit* to() const { return DateTo; }
    QComboBox* kind() const { return ComboKind; }
    QLabel* status() const { return LblStatus; }
    QPushButton* openButton() const { return CmdOpen; }
    QPushButton* weekButton() const { return CmdWeek; }
    QCheckBox* fileEverySave() const { return ChkFileEverySave; }
    WeekWindow* weekWindow() const;
    bool archiveOpen() const { return archive_.has_value(); }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MeasurementFilter filter() const;
    void whenChanged();
    void selectionChanged();
    void showRows(Result<std::vector<Measurement>> rows);

    // The archive connection the listings share, one listing at a time.
    struct ListReader;

    Setup setup_;
    std::optional<Archive> archive_; // for the window's own changes
    std::shared_ptr<ListReader> reader_;
    BackgroundTask lister_;
    std::uint64_t asked_ = 0; // the latest listing asked for; older ones are dropped
    MeasurementsModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTimer* typing_ = nullptr;
    QPointer<WeekWindow> week_;

    QLineEdit* TxtSearch = nullptr;
    QComboBox* ComboWhen = nullptr;
    QDateEdit* DateFrom = nullptr;
    QDateEdit* DateTo = nullptr;
    QComboBox* ComboKind = nullptr;
    QTableView* GridMeasurements = nullptr;
    QPushButton* CmdOpen = nullptr;
    QPushButton* CmdEdit = nullptr;
    QPushButton* CmdRemove = nullptr;
    QPushButton* CmdWeek = nullptr;
    QPushButton* CmdExport = nullptr;
    QLabel* LblStatus = nullptr;
    QCheckBox* ChkFileEverySave = nullptr;
};

} // namespace km740
