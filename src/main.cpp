// SPDX-License-Identifier: GPL-3.0-or-later
// km740: the companion program. Starts with the port chooser, then the panel.
#include "app/ui/AppState.h"
#include "core/link/Clock.h"
#include "core/link/PortMap.h"
#include "app/ports/PortWindow.h"
#include "platform/SerialPortList.h"
#include "platform/SerialTransport.h"
#include "app/Keys.h"
#include "core/archive/Archive.h"
#include "app/files/FileWindows.h"
#include "app/logger/LoggerWindows.h"
#include "app/ui/WindowContext.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/MainWindow.h"
#include "core/recording/RealTimeRecorder.h"
#include "core/sim/VirtualMeter.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QCommandLineParser>
#include <QTimer>

#include <memory>

using namespace km740;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("km740"));
    QApplication::setOrganizationName(QStringLiteral("km740"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KM740 sound level and noise dose meter companion"));
    parser.addHelpOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("COM 1 is a virtual meter inside the program."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Use this serial device and skip the port chooser."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption image(QStringLiteral("image"),
                                   QStringLiteral("Open a saved logger image (.km740img) in the Data Logger window."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption archive(QStringLiteral("archive"),
                                     QStringLiteral("Keep the measurement archive in this folder (default: "
                                                    "$KM740_ARCHIVE, else ~/.local/share/km740/archive)."),
                                     QStringLiteral("DIR"));
    parser.addOption(simulate);
    parser.addOption(archive);
    parser.addOption(port);
    parser.addOption(image);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Data files (.sonx) to open in their list windows, as \"Open\" does."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    AppState state;
    state.simulated = parser.isSet(simulate);
    SteadyClock clock;
    RealTimeRecorder recorder;
    std::unique_ptr<MeterWorker> worker;
    std::unique_ptr<WindowContext> context;
    std::unique_ptr<Keys> keys;
    std::unique_ptr<QMainWindow> panel;

    auto showPanel = [&](std::unique_ptr<Transport> transport) {
        if (transport)
            worker = std::make_unique<MeterWorker>(std::move(transport), clock);
        context = std::make_unique<WindowContext>(state, worker.get(), AppDialogs::desktop());
        context->setArchiveFolder(
            archiveFolder(parser.value(archive).toStdString(), qEnvironmentVariable("KM740_ARCHIVE").toStdString(),
                          qEnvironmentVariable("XDG_DATA_HOME").toStdString(), QDir::homePath().toStdString()));
        // Whether saves are filed in the archive is kept for the next start.
        ArchiveFiling& filing = context->filing();
        filing.setAutomatic(QSettings().value(QStringLiteral("archive/fileEverySave"), true).toBool());
        filing.setRemember([](bool on) { QSettings().setValue(QStringLiteral("archive/fileEverySave"), on); });
        keys = std::make_unique<Keys>(*context);
        panel = showMainWindow(*context, recorder, keys->handlers());
        if (worker)
            worker->start();
        if (parser.isSet(image))
            keys->logger().openImageFile(parser.value(image));
        for (const QString& file : parser.positionalArguments())
            keys->files().open(file);
    };
    auto transportFor = [&](int portNumber, const std::string& device) -> std::unique_ptr<Transport> {
        if (portNumber == 1 && state.simulated)
            return std::make_unique<VirtualMeter>(clock);
        if (portNumber == 0 || device.empty())
            return nullptr; // no port chosen: "No Device Found!"
        return std::make_unique<SerialTransport>(device);
    };

    if (parser.isSet(port)) {
        state.portDevice = parser.value(port).toStdString();
        // The COM number the device is bound to; none, and the panel shows
        // the device by its own name.
        PortMap map;
        if (auto loaded = loadPortMap(defaultPortMapFile()))
            map = loaded->map;
        state.portNumber = map.comFor(state.portDevice).value_or(0);
        showPanel(std::make_unique<SerialTransport>(state.portDevice));
    } else {
        PortWindow::Options options;
        if (state.simulated)
            options.simulatedPort = 1; // AutoScan lists the virtual meter
        auto* chooser = new PortWindow(state.portNumber, options);
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(chooser, &PortWindow::accepted, &app, [&, chooser](int n, const QString& device) {
            state.portNumber = n;
            state.portDevice = device.toStdString();
            showPanel(transportFor(n, state.portDevice));
            chooser->close();
        });
        chooser->show();
    }

    const int rc = QApplication::exec();
    panel.reset();
    keys.reset();
    context.reset();
    if (worker)
        worker->stop();
    return rc;
}
