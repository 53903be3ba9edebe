// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/AppState.h"
#include "app/ui/BackgroundTask.h"
#include "app/ui/PresetReader.h"
#include "core/recording/RealTimeRecorder.h"

#include <QPointer>
#include <QWidget>

#include <vector>

#include <functional>

class QLabel;
class QTableView;
class QToolBar;
class QAction;

namespace km740 {

class RealTimeListModel;

// The real-time list (form List, "Real Time List"): every record the
// sampling tick adds, in three columns, newest rows kept in view; its Save
// writes a "Real Time List" file, also while a file recording runs; a full
// part (345 600 rows) is saved automatically into the last save folder (or
// the documents folder) and the list starts over.
//
// The panel creates it on "List" (it starts the list: ListMode on), passes
// every sampling outcome to showSample(), and forgets it on closed().
class ListWindow : public QWidget {
    Q_OBJECT
public:
    // The save dialog; empty for a cancel.
    using FileChooser = std::function<QString(QWidget* parent, const QString& folder)>;

    // readPresets asks the meter for "R" and "C" (presetReaderFor(worker));
    // the list Save takes the peak type from them.
    ListWindow(AppState& state, RealTimeRecorder& recorder, PresetReader readPresets, HeaderSource header,
               QWidget* panel = nullptr);
    // The same, asking the meter through the worker.
    ListWindow(AppState& state, RealTimeRecorder& recorder, MeterWorker* worker, HeaderSource header,
               QWidget* panel = nullptr)
        : ListWindow(state, recorder, presetReaderFor(worker), std::move(header), panel)
    {
    }
    ~ListWindow() override;

    // What the sampling tick did; adds the row, scrolls, saves a full part.
    void showSample(const SampleOutcome& outcome);

    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // Where automatic saves go when nothing was saved yet (tests).
    void setDocumentsFolder(const QString& folder);
    // The folder the next automatic save goes to.
    QString autoSaveFolder() const;

    QTableView* grid() const { return GridN; }
    // The last save message and the folder automatic saves go to.
    QString statusText() const;
    QLabel* messageLine() const { return LblStatus; }
    int savesRunning() const { return saver_.running(); }
    // The Save button (key "Save").
    void onSaveClicked();

signals:
    void closed();
    // A save (user or automatic) ended: the file, or the reason it failed.
    void saveFinished(bool ok, const QString& pathOrReason);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void placeBesidePanel();
    void autoSave();
    void writeInBackground(QString path, RecordingHeader header, std::vector<RealTimeList::Row> rows, bool automatic);
    void showProgress(qint64 rows);
    void saveDone(bool ok, const QString& path, const QString& reason, bool automatic,
                  std::vector<RealTimeList::Row>* unsaved);
    void showFolder();
    void showMessage(const QString& text);

    AppState& state_;
    RealTimeRecorder& recorder_;
    PresetReader readPresets_;
    HeaderSource header_;
    FileChooser chooser_;
    QPointer<QWidget> panel_;
    QString documents_;
    QString caption_;
    BackgroundTask saver_;
    bool waiting_ = false; // the last sample found the level stale

    QToolBar* Toolbar1 = nullptr;
    QAction* SaveAction = nullptr;
    QTableView* GridN = nullptr;
    RealTimeListModel* model_ = nullptr;
    QLabel* LblStatus = nullptr;
    QLabel* LblFolder = nullptr;
};

} // namespace km740
