// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/DataFile.h"
#include "app/ui/BackgroundTask.h"
#include "app/ui/ListPrint.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QStandardItemModel;
class QTableView;
class QToolBar;
class QVBoxLayout;

namespace km740 {

struct AppState;
class LoggerRecordModel;
class SettingsPanel;

// What DataList and DataListdB share: the settings panel, the pause list,
// the records in one table, a message line; Save, which writes the decoded
// set as its data file in the background with the row count in the caption;
// and Print, which prints it as the file list window prints that file.
class LoggerListWindow : public QWidget {
    Q_OBJECT
public:
    // The shared save dialog: the full path, or empty when cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget*, const QString& folder)>;

    LoggerListWindow(const QString& form, const QString& caption, AppState& state, FileChooser chooser, QWidget* panel);

    // Fills the window from a decoded set; note goes to the message line.
    void showSet(DataFile file, const QString& note);
    const DataFile& decoded() const { return *file_; }
    bool hasSet() const { return file_ != nullptr; }

    SettingsPanel* settingsPanel() const { return settings_; }
    QTableView* gridN() const { return GridN; }
    QTableView* gridPause() const { return GridPause; }
    QLabel* plPause() const { return PlPause; }
    QLabel* messageLine() const { return LblStatus; }
    QToolBar* toolbar() const { return Toolbar1; }
    QAction* printAction() const { return PrintAction; }
    QString caption() const { return caption_; }
    int savesRunning() const { return saver_.running(); }

    void setPrintDialogs(PrintDialogs dialogs) { printDialogs_ = std::move(dialogs); }

    // Toolbar keys "Save" and "Print".
    void onSaveClicked();
    void onPrintClicked();

signals:
    void saveFinished(bool ok, const QString& pathOrReason);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The column above the records, for what one kind adds there.
    QVBoxLayout* listColumn() const { return listColumn_; }
    // Fills what one kind adds (the summary of a level set).
    virtual void showKindExtras(const DataFile&) {}
    void setRecordColumnWidths(const QList<QString>& samples);
    // Below the main window, moved on by (dx, dy) so the two lists do not
    // hide each other.
    void placeBelowPanel(int dx, int dy);

private:
    void showProgress(qint64 rows);
    void saveDone(bool ok, const QString& path, const QString& reason);

    AppState& state_;
    FileChooser chooser_;
    QPointer<QWidget> panel_;
    QString caption_;
    std::shared_ptr<const DataFile> file_;
    BackgroundTask saver_;
    PrintDialogs printDialogs_;
    bool printing_ = false;

    QToolBar* Toolbar1 = nullptr;
    QAction* SaveAction = nullptr;
    QAction* PrintAction = nullptr;
    SettingsPanel* settings_ = nullptr;
    QLabel* PlPause = nullptr;
    QTableView* GridPause = nullptr;
    QStandardItemModel* pauseModel_ = nullptr;
    QTableView* GridN = nullptr;
    LoggerRecordModel* recordModel_ = nullptr;
    QLabel* LblStatus = nullptr;
    QVBoxLayout* listColumn_ = nullptr;
    QList<QString> widthSamples_;
};

} // namespace km740
