// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/link/Replies.h"
#include "core/link/Transport.h"
#include "core/logger/LoggerImage.h"
#include "core/logger/LoggerSetTable.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace km740 {

struct AppState;
struct LoggerDialogs;
class MeterWorker;

// Form Memory ("Data Logger"): the logger download with its progress and
// Cancel, then the directory of the downloaded sets. A click on a set row
// asks for that set's list; a click on LblRemain asks for the erase. The
// downloaded bytes can be kept as a raw image, and an image file opens here
// without a meter.
class MemoryWindow : public QWidget {
    Q_OBJECT
public:
    MemoryWindow(AppState& state, const LoggerDialogs& dialogs, QWidget* panel = nullptr);
    ~MemoryWindow() override;

    // "I" through the worker: MemEnd - 3584 bytes, the flood bar in percent.
    // MeterInUse is held until the download ends; a download that fails
    // keeps nothing, emits downloadFailed and closes the window. Cancel (or
    // closing the window) ends it at once; the worker then waits out the
    // rest the meter sends before the poll resumes.
    void download(MeterWorker& worker, const MemoryStatus& status, const Regional& regional);
    // The directory of an image read from a file; nothing is asked of the meter.
    void showImage(LoggerImage image, const QString& source);

    bool downloading() const { return downloading_; }
    const LoggerSetTable& sets() const { return table_; }
    const LoggerImage& image() const { return image_; }

    // Controls, named as on the form.
    QProgressBar* ssMessage() const { return SSMessage; }
    QTableView* gridSet() const { return GridSet; }
    QLabel* lblSize() const { return LblSize; }
    QLabel* lblRemain() const { return LblRemain; }
    QLabel* lblMessage() const { return LblMessage; }
    QPushButton* cmdCancel() const { return CmdCancel; }
    QPushButton* cmdSaveImage() const { return CmdSaveImage; }
    QPushButton* cmdOpenImage() const { return CmdOpenImage; }

    // Handlers.
    void onCmdCancelClick();
    void onGridSetClick(int row);
    void onLblRemainClick();
    void onCmdSaveImageClick();
    void onCmdOpenImageClick();

signals:
    void setChosen(int number);
    void eraseRequested();
    // The download ended without an image (cut off, link lost, cancelled).
    void downloadFailed(const QString& message, bool cancelled);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProgress(int percent);
    void downloadDone(const Result<Bytes>& r);
    void fillDirectory();
    void releaseMeter();

    AppState& state_;
    const LoggerDialogs& dialogs_;
    QPointer<QWidget> panel_;
    LoggerImage image_;
    LoggerSetTable table_;
    bool downloading_ = false;
    bool holdsMeter_ = false; // this window set MeterInUse
    bool fromMeter_ = false;  // the sets came from the meter (erase applies)
    std::shared_ptr<std::atomic<bool>> cancel_;

    QProgressBar* SSMessage = nullptr;
    QPushButton* CmdCancel = nullptr;
    QTableView* GridSet = nullptr;
    QStandardItemModel* setModel_ = nullptr;
    QLabel* SSPanel1 = nullptr;
    QLabel* LblSize = nullptr;
    QLabel* SSPanel2 = nullptr;
    QLabel* LblRemain = nullptr;
    QLabel* LblMessage = nullptr;
    QPushButton* CmdSaveImage = nullptr;
    QPushButton* CmdOpenImage = nullptr;
};

} // namespace km740
