// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/BackgroundTask.h"
#include "core/report/ReportMaker.h"
#include "core/report/WeekReport.h"

#include <QPrinter>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrintPreviewWidget;
class QPushButton;
class QTimer;

namespace km740 {

// The desktop dialogs the report window asks. Tests replace them so nothing
// blocks.
struct ReportDialogs {
    // The printer dialog: sets the printer and says whether to print.
    std::function<bool(QWidget* parent, QPrinter& printer)> choosePrinter;
    // A save dialog: the path, or empty when cancelled. `filter` as
    // QFileDialog takes it.
    std::function<QString(QWidget* parent, const QString& suggested, const QString& filter)> saveFile;
    // An open dialog for a header text file (.nse, .cna).
    std::function<QString(QWidget* parent)> openHeaderText;
    std::function<void(QWidget* parent, const QString& text, bool critical)> message;

    static ReportDialogs desktop();
};

// The exposure report of a recording in Qt's print preview: the language,
// the header texts and the notes chosen beside it, the pages redrawn as they
// change; Print, Save PDF and the chart alone as a picture. The recording is
// read once, in the background. A person's week from the archive shows the
// same way, with no chart to save.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    ReportPreview(ReportRequest request, ReportDialogs dialogs, QWidget* parent = nullptr);
    ReportPreview(WeekReportParts week, ReportDialogs dialogs, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Opens the window for a request, beside the window it came from.
    static ReportPreview* showReport(ReportRequest request, ReportDialogs dialogs, QWidget* from);
    static ReportPreview* showWeekReport(WeekReportParts week, ReportDialogs dialogs, QWidget* from);

    // The report as it stands, once the recording has been read.
    const std::optional<ReportContent>& content() const { return content_; }
    // The week's report as it stands.
    const std::optional<WeekReportContent>& weekContent() const { return weekContent_; }
    QPrinter& printer() { return printer_; }

    void print();
    void savePdf();
    void saveChartImage();

signals:
    // The recording has been read (ok) or could not be (the reason shown).
    void ready(bool ok);

private:
    void buildWindow(const QString& title, const HeaderText& header, Language language);
    bool composed() const { return content_ || weekContent_; }
    int paint(QPrinter& printer) const;
    void read();
    void readDone(Result<ReportParts> parts);
    void compose();
    void loadHeaderText();
    QString suggestedName(const QString& suffix) const;

    ReportRequest request_;
    ReportDialogs dialogs_;
    QPrinter printer_{QPrinter::HighResolution};
    std::optional<ReportParts> parts_;
    std::optional<ReportContent> content_;
    std::optional<WeekReportParts> weekParts_;
    std::optional<WeekReportContent> weekContent_;

    QPrintPreviewWidget* Preview = nullptr;
    QComboBox* ComboLanguage = nullptr;
    QLineEdit* TxtName = nullptr;
    QLineEdit* TxtSector = nullptr;
    QLineEdit* TxtCompany = nullptr;
    QPlainTextEdit* TxtNotes = nullptr;
    QPushButton* CmdPrint = nullptr;
    QPushButton* CmdSavePdf = nullptr;
    QPushButton* CmdSaveImage = nullptr;
    QPushButton* CmdOpenHeader = nullptr;
    QLabel* LblStatus = nullptr;
    QTimer* Recompose = nullptr;
    BackgroundTask reading_; // last: cancelled first when the window goes
};

} // namespace km740
