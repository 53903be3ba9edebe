// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/HeaderText.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace km740 {

struct AppState;
struct LoggerDialogs;

// Form AddText ("Name, Setor, Company"): the three report header texts,
// opened from and saved to ".nse" / ".cna" files. Every change is announced
// so DataList can show the texts while it is open. Its unload clears
// HeaderTextOpen.
class AddTextWindow : public QWidget {
    Q_OBJECT
public:
    AddTextWindow(AppState& state, const LoggerDialogs& dialogs, QWidget* panel = nullptr);

    HeaderText text() const;
    void setText(const HeaderText& text);

    QLineEdit* txtName() const { return TxtName; }
    QLineEdit* txtSector() const { return TxtSector; }
    QLineEdit* txtCompany() const { return TxtCompany; }
    QToolButton* cmdOpen() const { return CmdOpen; }
    QToolButton* cmdSave() const { return CmdSave; }
    QLabel* messageLine() const { return LblStatus; }

    void onCmdOpenClick();
    void onCmdSaveClick();

signals:
    void textChanged(const HeaderText& text);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& state_;
    const LoggerDialogs& dialogs_;
    bool filling_ = false; // setText in progress: one change for the three boxes

    QLineEdit* TxtName = nullptr;
    QLineEdit* TxtSector = nullptr;
    QLineEdit* TxtCompany = nullptr;
    QToolButton* CmdOpen = nullptr;
    QToolButton* CmdSave = nullptr;
    QLabel* LblStatus = nullptr;
};

} // namespace km740
