// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/logger/LoggerDialogs.h"
#include "app/ui/ExposureSink.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace km740 {

class AddTextWindow;
class DataListWindow;
class DataListdBWindow;
class LoggerListWindow;
struct LoggerSet;
class MemoryWindow;
class WindowContext;

// The logger windows: the "Logger" download into Memory, a set's list in
// DataList or DataListdB (one of each at most), the report header window,
// and what passes between them. The context's window owner owns the windows.
class LoggerWindows : public QObject {
    Q_OBJECT
public:
    explicit LoggerWindows(WindowContext& context);
    ~LoggerWindows() override;

    void setDialogs(LoggerDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Where a level set's "Exposure" key goes.
    void setExposureSink(ExposureSink sink) { exposureSink_ = std::move(sink); }

    // Toolbar keys.
    void onLoggerKey();
    void onAddTextKey();
    // Opens Memory on a raw image file, with or without a meter. False (and
    // a message) when the file cannot be read or Memory is already open.
    bool openImageFile(const QString& path);
    // Decodes a set of the Memory directory into its list window.
    void openSet(int number);

    MemoryWindow* memory() const;
    DataListWindow* dataList() const;
    DataListdBWindow* dataListdB() const;
    AddTextWindow* addText() const;

private:
    MemoryWindow* newMemory();
    void message(const QString& text, bool critical);
    // A list saved: its file goes into the archive.
    void fileWhenSaved(LoggerListWindow* window);

    WindowContext& context_;
    LoggerDialogs dialogs_ = LoggerDialogs::desktop();
    ExposureSink exposureSink_;
    bool asking_ = false; // "A" is on its way
    QPointer<MemoryWindow> memory_;
    QPointer<DataListWindow> dataList_;
    QPointer<DataListdBWindow> dataListdB_;
    QPointer<AddTextWindow> addText_;
};

} // namespace km740
