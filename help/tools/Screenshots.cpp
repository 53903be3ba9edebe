// SPDX-License-Identifier: GPL-3.0-or-later
// km740-screenshots: the program's windows on the virtual meter, saved as
// PNG files for the manual. help/make-screenshots runs it under Xvfb.
//
//   km740-screenshots OUTDIR [KEY[@ARG][>CLICK...]=NAME[:MS] ...]
//
// The port chooser, the Device Manager window and the panel are always
// taken. Each KEY=NAME clicks that toolbar key, waits MS milliseconds
// (default 2500) and saves every window the click opened as NAME.png
// (NAME-2.png, ... for more than one), then closes them. A key that is not on
// the bar or not enabled is skipped with a note.
//
// "Open@FILE" answers the file dialog of the Open key with FILE;
// "Image@FILE#N" opens a logger image in the Data Logger window and set N of
// it in its list. Each ">CLICK" then, a second apart, triggers the toolbar
// action or presses the button of that text in the windows opened so far
// (">Ln>1 dB": the histogram of a file list). Such a shot saves only the
// windows its last step opened.
#include "link/Clock.h"
#include "link/DeviceManagerWindow.h"
#include "link/PortWindow.h"
#include "logger/LoggerWindows.h"
#include "panel/AppState.h"
#include "panel/MeterWorker.h"
#include "panel/PanelToolbar.h"
#include "panel/PanelWindow.h"
#include "panel/RealTimeRecorder.h"
#include "sim/VirtualMeter.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using namespace km740;

namespace {

struct KeyShot {
    QString key;
    QString arg;        // after '@'
    QStringList clicks; // after each '>'
    QString name;
    int waitMs = 2500;
};

// "Logger=logger:8000", "Open@/tmp/a.sonx>Ln>1 dB=histogram:3000"
std::optional<KeyShot> parseShot(const QString& arg)
{
    const int eq = arg.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    KeyShot shot;
    shot.clicks = arg.left(eq).split(QLatin1Char('>'));
    shot.key = shot.clicks.takeFirst();
    if (const int at = shot.key.indexOf(QLatin1Char('@')); at >= 0) {
        shot.arg = shot.key.mid(at + 1);
        shot.key = shot.key.left(at);
    }
    QString rest = arg.mid(eq + 1);
    if (const int colon = rest.indexOf(QLatin1Char(':')); colon >= 0) {
        bool ok = false;
        shot.waitMs = rest.mid(colon + 1).toInt(&ok);
        if (!ok || shot.waitMs < 0)
            return std::nullopt;
        rest = rest.left(colon);
    }
    if (rest.isEmpty())
        return std::nullopt;
    shot.name = rest;
    return shot;
}

class Photographer {
public:
    Photographer(QDir out, PanelWindow& panel, QString& openPath)
        : out_(std::move(out)), panel_(panel), openPath_(openPath)
    {
    }

    bool save(QWidget* w, const QString& name)
    {
        const QString file = out_.filePath(name + QStringLiteral(".png"));
        const bool ok = w->grab().save(file);
        std::fprintf(stderr, "%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
        failed_ |= !ok;
        return ok;
    }

    // Runs the shots one after the other on the event loop, then quits.
    void run(std::vector<KeyShot> shots)
    {
        shots_ = std::move(shots);
        next();
    }

    bool failed() const { return failed_; }

private:
    void next()
    {
        if (index_ >= shots_.size()) {
            QApplication::quit();
            return;
        }
        const KeyShot shot = shots_[index_++];
        before_ = visibleWindows();
        beforeLast_ = before_;
        const int clicksMs = 1000 * static_cast<int>(shot.clicks.size());
        for (int i = 0; i < shot.clicks.size(); ++i)
            QTimer::singleShot(1000 * (i + 1), [this, click = shot.clicks[i], last = i + 1 == shot.clicks.size()] {
                clickInOpened(click, last);
            });
        if (shot.key == QLatin1String("Image")) {
            const QString file = shot.arg.section(QLatin1Char('#'), 0, 0);
            const int set = shot.arg.section(QLatin1Char('#'), 1).toInt();
            LoggerWindows* logger = LoggerWindows::of(panel_);
            if (!logger || !logger->openImageFile(file)) {
                std::fprintf(stderr, "skipped %s: %s is not open\n", qPrintable(shot.name), qPrintable(file));
                QTimer::singleShot(0, [this] { next(); });
                return;
            }
            if (set > 0) {
                beforeLast_ = visibleWindows();
                logger->openSet(set);
            }
            QTimer::singleShot(shot.waitMs + clicksMs, [this, shot] { grabOpened(shot); });
            return;
        }
        QAction* button = panel_.toolbar()->button(shot.key);
        if (!button || !button->isEnabled() || !button->isVisible()) {
            std::fprintf(stderr, "skipped %s: the key \"%s\" is not enabled\n", qPrintable(shot.name),
                         qPrintable(shot.key));
            QTimer::singleShot(0, [this] { next(); });
            return;
        }
        openPath_ = shot.arg;
        // A modal window blocks the click until it closes; the grab below
        // runs inside its loop and closes it.
        QTimer::singleShot(shot.waitMs + clicksMs, [this, shot] { grabOpened(shot); });
        QTimer::singleShot(0, button, [button] { button->trigger(); });
    }

    // Triggers the action or presses the button of that text in the windows
    // opened by this shot.
    void clickInOpened(const QString& text, bool last)
    {
        if (last)
            beforeLast_ = visibleWindows();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || before_.contains(w))
                continue;
            for (QAction* a : w->findChildren<QAction*>())
                if (a->text() == text && a->isEnabled()) {
                    a->trigger();
                    return;
                }
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
                if (b->text() == text && b->isVisible() && b->isEnabled()) {
                    b->click();
                    return;
                }
        }
        std::fprintf(stderr, "no \"%s\" to click\n", qPrintable(text));
    }

    void grabOpened(const KeyShot& shot)
    {
        std::vector<QPointer<QWidget>> opened;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !before_.contains(w))
                opened.emplace_back(w);
        if (opened.empty())
            std::fprintf(stderr, "skipped %s: the key \"%s\" opened no window\n", qPrintable(shot.name),
                         qPrintable(shot.key));
        // Only what the last step opened is pictured; the windows on the way
        // there just close.
        int n = 0;
        for (const QPointer<QWidget>& w : opened) {
            if (beforeLast_.contains(w))
                continue;
            ++n;
            save(w, n == 1 ? shot.name : QStringLiteral("%1-%2").arg(shot.name).arg(n));
        }
        for (const QPointer<QWidget>& w : opened)
            if (w)
                w->close();
        // Let a modal loop unwind and closed windows let go of the meter.
        QTimer::singleShot(800, [this] { next(); });
    }

    static QSet<QWidget*> visibleWindows()
    {
        QSet<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                shown.insert(w);
        return shown;
    }

    QDir out_;
    PanelWindow& panel_;
    QString& openPath_;
    std::vector<KeyShot> shots_;
    std::size_t index_ = 0;
    QSet<QWidget*> before_;     // shown before the shot
    QSet<QWidget*> beforeLast_; // shown before its last step
    bool failed_ = false;
};

// A typical USB serial adapter and the machine's first port, whatever the
// machine that makes the pictures has.
QList<SerialPortEntry> examplePorts()
{
    return {
        {QStringLiteral("/dev/ttyS0"), QStringLiteral("Built-in serial port"), QString(), QString()},
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
         QStringLiteral("0403:6001")},
    };
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("km740"));
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: km740-screenshots OUTDIR [KEY=NAME[:MS] ...]\n");
        return 2;
    }
    QDir out(args[0]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "km740-screenshots: cannot make %s\n", qPrintable(args[0]));
        return 1;
    }
    std::vector<KeyShot> shots;
    for (const QString& arg : args.mid(1)) {
        const auto shot = parseShot(arg);
        if (!shot) {
            std::fprintf(stderr, "km740-screenshots: \"%s\" is not KEY=NAME[:MS]\n", qPrintable(arg));
            return 2;
        }
        shots.push_back(*shot);
    }

    // The port chooser and the Device Manager window, on a map of their own.
    QTemporaryDir config;
    PortWindow::Options options;
    options.mapFile = config.filePath(QStringLiteral("ports.ini")).toStdString();
    options.lister = examplePorts;
    options.simulatedPort = 1;
    int portNumber = 1;
    PortWindow chooser(portNumber, options);
    chooser.show();
    PortMap map;
    map.bind(3, "/dev/ttyUSB0");
    DeviceManagerWindow devices(map, options.mapFile, examplePorts);
    devices.show();

    // The panel on the virtual meter, as "km740 --simulate" runs it.
    AppState state;
    state.simulated = true;
    state.portNumber = 1;
    SteadyClock clock;
    VirtualMeterOptions meterOptions;
    meterOptions.seed = 7;
    MeterWorker worker(std::make_unique<VirtualMeter>(clock, meterOptions), clock);
    RealTimeRecorder recorder;
    PanelDialogs dialogs = PanelDialogs::desktop();
    dialogs.openFile = [](const QString&) { return true; };
    QString openPath; // the answer of the Open key's file dialog
    dialogs.openDataFile = [&openPath](QWidget*) -> std::optional<QString> { return openPath; };
    auto panelWindow = std::make_unique<PanelWindow>(state, &worker, recorder, dialogs);
    PanelWindow& panel = *panelWindow;
    Photographer photographer(out, panel, openPath);

    QTimer::singleShot(1500, [&] {
        photographer.save(&chooser, QStringLiteral("port"));
        photographer.save(&devices, QStringLiteral("device-manager"));
        chooser.hide();
        devices.hide();
        panel.show();
        worker.start();
    });
    // A few polls in: the level, the settings and the calibration are shown.
    QTimer::singleShot(6000, [&] {
        photographer.save(&panel, QStringLiteral("panel"));
        panel.toolbar()->button(QStringLiteral("User"))->trigger();
        QApplication::processEvents();
        photographer.save(&panel, QStringLiteral("panel-help"));
        panel.toolbar()->button(QStringLiteral("User"))->trigger();
        photographer.run(shots);
    });
    const int rc = QApplication::exec();
    panelWindow.reset();
    worker.stop();
    return rc != 0 || photographer.failed() ? 1 : 0;
}
