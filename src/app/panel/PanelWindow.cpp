// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/PanelWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/AppState.h"
#include "app/ui/QtText.h"
#include "app/ui/SettingsPanel.h"
#include "core/link/Clock.h"
#include "core/link/MeterLink.h"
#include "app/panel/ListWindow.h"
#include "platform/LocaleRegional.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/PanelToolbar.h"
#include "core/recording/RealTimeRecorder.h"
#include "app/ui/EraseLogger.h"
#include "app/ui/WindowContext.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace km740 {

namespace {

using Field = SettingsPanel::Field;

struct HelpEntry {
    const char* caption;
    const char* file;
};

// OptManual index -> caption and file.
constexpr std::array<HelpEntry, 6> helpFiles{{
    {"English", "KM740-SW-HELP-EN-V1.7.pdf"},
    {"French", "KM740-SW-HELP-FR_V1.7.pdf"},
    {"German", "KM740-SW-HELP-DE-V1.7.pdf"},
    {"Italian", "KM740-SW-HELP-IT_V1.7.pdf"},
    {"Portuguese", "KM740-SW-HELP-BPT_V1.7.pdf"},
    {"Spanish", "KM740-SW-HELP-ES-V1.7.pdf"},
}};
// The order the options stand in the chooser.
constexpr std::array<int, 6> helpOrder{4, 5, 2, 3, 0, 1};

// Keys the panel itself handles; the others run what the program hands it.
constexpr std::array<ToolKey, 4> panelKeys{ToolKey::Save, ToolKey::List, ToolKey::Erase, ToolKey::User};

LocalDateTime localNow()
{
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime c = t.time();
    return LocalDateTime{d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()};
}

} // namespace

PanelWindow::PanelWindow(WindowContext& context, RealTimeRecorder& recorder, ToolKeyHandlers keys, QWidget* parent)
    : QMainWindow(parent), context_(context), state_(context.state()), recorder_(recorder), keys_(std::move(keys))
{
    setObjectName(QStringLiteral("Panel"));
    context_.setMainWindow(this);
    buildWindow();
    load();
}

// The windows opened from here go with the main window.
PanelWindow::~PanelWindow()
{
    context_.windows().deleteAll();
}

ListWindow* PanelWindow::listWindow() const
{
    return listWindow_.data();
}

QString PanelWindow::shortCaption(bool decimalComma)
{
    return decimalComma ? QStringLiteral("KM740 Sonavex   V10,10") : QStringLiteral("KM740 Sonavex   V10.10");
}

QString PanelWindow::longCaption(bool decimalComma)
{
    return decimalComma ? QStringLiteral("KM740 Sonavex   V10,10  180308,01")
                        : QStringLiteral("KM740 Sonavex   V10.10  180308.01");
}

QString PanelWindow::helpFileName(int index)
{
    if (index < 0 || index >= static_cast<int>(helpFiles.size()))
        return {};
    return QString::fromLatin1(helpFiles[static_cast<std::size_t>(index)].file);
}

QString PanelWindow::helpFolder()
{
    // help/ beside the program in a build tree; share/km740/help of the
    // prefix the program was installed into; then the system's data folders.
    const QDir programDir(QCoreApplication::applicationDirPath());
    QStringList folders{programDir.filePath(QStringLiteral("help")),
                        programDir.filePath(QStringLiteral("../share/km740/help"))};
    folders += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("km740/help"),
                                         QStandardPaths::LocateDirectory);
    for (const QString& folder : folders)
        if (QFileInfo::exists(QDir(folder).filePath(helpFileName(0))))
            return QDir::cleanPath(folder);
    return folders.front();
}

void PanelWindow::buildWindow()
{
    setWindowTitle(shortCaption(false));

    toolbar_ = new PanelToolbar(this);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    connect(toolbar_, &PanelToolbar::buttonClicked, this, &PanelWindow::onToolbarButtonClick);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    // Left: the level in large digits, its unit, the port label and the
    // service controls under it.
    auto* left = new QVBoxLayout;
    top->addLayout(left);
    auto* levelRow = new QHBoxLayout;
    left->addLayout(levelRow);
    lbldB_ = new QLabel(central); // empty until the first poll
    lbldB_->setObjectName(QStringLiteral("LbldB"));
    lbldB_->setAccessibleDescription(tr("Sound level"));
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSize(54);
    digits.setBold(true);
    lbldB_->setFont(digits);
    lbldB_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbldB_->setMinimumWidth(QFontMetrics(digits).horizontalAdvance(QStringLiteral("888.8")) + 16);
    lbldB_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbldB_->setStyleSheet(QStringLiteral("QLabel#LbldB { background: #10261a; color: #7dff9a; padding: 4px 8px; }"));
    levelRow->addWidget(lbldB_);
    unitdB_ = new QLabel(QStringLiteral("dB"), central);
    unitdB_->setObjectName(QStringLiteral("UnitdB"));
    QFont unitFont = font();
    unitFont.setPointSize(20);
    unitFont.setBold(true);
    unitdB_->setFont(unitFont);
    unitdB_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    levelRow->addWidget(unitdB_);

    lblCOM_ = new QLabel(QStringLiteral("No COM"), central);
    lblCOM_->setObjectName(QStringLiteral("LblCOM"));
    lblCOM_->setAccessibleDescription(tr("Click for the version; double-click for the service code"));
    QFont comFont = font();
    comFont.setPointSize(13);
    comFont.setBold(true);
    lblCOM_->setFont(comFont);
    lblCOM_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lblCOM_->setAlignment(Qt::AlignCenter);
    lblCOM_->setMinimumHeight(28);
    lblCOM_->installEventFilter(this);
    left->addWidget(lblCOM_);

    auto* service = new QHBoxLayout;
    left->addLayout(service);
    cmdDelAny_ = new QPushButton(QStringLiteral("Delete Any"), central);
    cmdDelAny_->setObjectName(QStringLiteral("CmdDelAny"));
    cmdDelAny_->setVisible(false);
    connect(cmdDelAny_, &QPushButton::clicked, this, &PanelWindow::onCmdDelAnyClick);
    service->addWidget(cmdDelAny_);
    combo6162_ = new QComboBox(central);
    combo6162_->setObjectName(QStringLiteral("Combo6162"));
    nameComboBox(combo6162_, tr("Service value"));
    combo6162_->setEditable(true);
    combo6162_->setInsertPolicy(QComboBox::NoInsert);
    combo6162_->setCompleter(nullptr);
    combo6162_->setVisible(false);
    combo6162_->lineEdit()->installEventFilter(this);
    connect(combo6162_, qOverload<int>(&QComboBox::activated), this, [this](int) { onCombo6162Click(); });
    service->addWidget(combo6162_);
    left->addStretch(1);

    // Right: the settings panel, the manual chooser beside it.
    settings_ = new SettingsPanel(central);
    top->addWidget(settings_);

    picManual_ = new QGroupBox(central);
    picManual_->setObjectName(QStringLiteral("PicManual"));
    picManual_->setAccessibleName(tr("Manual language"));
    auto* manualLayout = new QVBoxLayout(picManual_);
    optManual_ = new QButtonGroup(picManual_);
    for (int index : helpOrder) {
        auto* opt =
            new QRadioButton(QString::fromLatin1(helpFiles[static_cast<std::size_t>(index)].caption), picManual_);
        opt->setObjectName(QStringLiteral("OptManual%1").arg(index));
        optManual_->addButton(opt, index);
        manualLayout->addWidget(opt);
    }
    connect(optManual_, &QButtonGroup::idClicked, this, &PanelWindow::onOptManualClick);
    picManual_->setVisible(false);
    top->addWidget(picManual_);

    // Bottom: the recording labels.
    auto* bottom = new QHBoxLayout;
    outer->addLayout(bottom);
    lblRecording_ = new QLabel(QStringLiteral("Recording"), central);
    lblRecording_->setObjectName(QStringLiteral("LblRecording"));
    lblRecording_->setStyleSheet(QStringLiteral("QLabel#LblRecording { color: #c62828; font-weight: bold; }"));
    lblRecording_->setVisible(false);
    lblCount_ = new QLabel(central);
    lblCount_->setObjectName(QStringLiteral("LblCount"));
    lblCount_->setAccessibleDescription(tr("Records recorded"));
    lblCount_->setMinimumWidth(70);
    lblFileName_ = new QLabel(central);
    lblFileName_->setObjectName(QStringLiteral("LblFileName"));
    lblFileName_->setAccessibleDescription(tr("Recording file"));
    bottom->addWidget(lblRecording_);
    bottom->addWidget(lblCount_);
    bottom->addWidget(lblFileName_, 1);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(timer1Interval);
    connect(timer1_, &QTimer::timeout, this, &PanelWindow::onTimer1Timer);
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(timer2Interval);
    connect(timer2_, &QTimer::timeout, this, &PanelWindow::onTimer2Timer);
}

void PanelWindow::load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());

    state_.meterInUse = false;
    state_.panelCriterion = 85;
    state_.panelThreshold = 80;
    for (int i = 0; i <= 255; ++i)
        combo6162_->addItem(QString::number(i));
    combo6162_->setCurrentIndex(0);

    state_.recording.sampleInterval = 1;
    state_.recording.sampleTick = 0;
    state_.recording.listMode = false;
    state_.recording.fileRecording = false;
    refreshRegional();

    for (const ToolKeyInfo& info : toolKeys)
        toolbar_->setAvailable(info.key, keys_[info.key] != nullptr);
    for (ToolKey key : panelKeys)
        toolbar_->setAvailable(key, true);

    if (!context_.worker() || context_.worker()->deviceGoneNow()) {
        showNoDevice();
        return;
    }
    connect(context_.worker(), &MeterWorker::portOpened, this, &PanelWindow::onPortOpened);
    connect(context_.worker(), &MeterWorker::linkLost, this, &PanelWindow::onLinkLost);
    connect(context_.worker(), &MeterWorker::linkRestored, this, &PanelWindow::onLinkRestored);
    connect(context_.worker(), &MeterWorker::deviceGone, this, &PanelWindow::onDeviceGone);

    timer1_->start();
    timer2_->start();
    state_.linkBusy = false;
}

void PanelWindow::refreshRegional()
{
    const AppDialogs& dialogs = context_.dialogs();
    context_.setRegional(regionalFromLocale(dialogs.locale ? dialogs.locale() : QLocale()));
    state_.decimalComma = context_.regional().decimalComma();
}

void PanelWindow::restorePortLabel()
{
    lblCOM_->setText(q(state_.portCaption()));
}

// ---- link state

void PanelWindow::onPortOpened()
{
    if (!state_.linkBusy)
        restorePortLabel();
}

void PanelWindow::onLinkLost()
{
    state_.linkBusy = true;
    toolbar_->reduceToLostLink();
    lblCOM_->setText(QStringLiteral("No COM"));
    serviceSending_ = false;
    // No samples while the link is lost; say so rather than look recording.
    if (state_.recording.fileRecording) {
        lblRecording_->setText(QStringLiteral("Waiting for the meter"));
        lblRecording_->setVisible(true);
    }
}

void PanelWindow::onLinkRestored()
{
    restorePortLabel();
    state_.meterInUse = false;
    toolbar_->setEnabled(true);
    toolbar_->showAll();
    state_.linkBusy = false;
}

void PanelWindow::onDeviceGone(const QString& reason)
{
    Q_UNUSED(reason);
    showNoDevice();
}

void PanelWindow::showNoDevice()
{
    timer1_->stop();
    timer2_->stop();
    state_.linkBusy = true;
    state_.deviceGone = true;
    toolbar_->reduceToLostLink();
    lblCOM_->setText(QStringLiteral("No COM"));
    if (context_.dialogs().message)
        context_.dialogs().message(this, QStringLiteral("No Device Found!"), true);
}

// ---- live poll

void PanelWindow::onTimer1Timer()
{
    refreshRegional();
    if (state_.linkBusy || !context_.worker())
        return;
    // A window that holds the meter while the user edits does not stop the
    // poll: the worker runs one exchange at a time and drops a tick while
    // another exchange runs, so a recording keeps its seconds.
    const Regional regional = context_.regional();
    context_.worker()->tryPoll<LivePoll>(
        this, [regional](MeterLink& link) { return link.livePoll(regional); },
        [this](const Result<LivePoll>& r) {
            if (r)
                applyPoll(*r);
        });
}

void PanelWindow::applyPoll(const LivePoll& poll)
{
    const PanelTexts& t = poll.texts;
    LiveReading& live = state_.live;
    live.valid = true;
    // Wall time, whatever clock the link paces itself on.
    live.polledAt = steadySeconds();
    live.level = Level{t.levelValue, t.level};
    live.settings = DecodeSettings(poll.frame.settings, 0, 0);
    live.peakText = t.peak;
    live.segments = poll.frame.segments;

    lbldB_->setText(q(t.level));
    settings_->setValue(Field::Criterion, QString::number(state_.panelCriterion));
    settings_->setValue(Field::Threshold, QString::number(state_.panelThreshold));
    settings_->setValue(Field::FSI, q(t.timeWeighting));
    settings_->setValue(Field::AC, q(t.freqWeighting));
    settings_->setValue(Field::ExchangeRate, QString::number(t.exchangeRate));
    settings_->setValue(Field::Range, q(t.range));
    settings_->setValue(Field::Peak, q(t.peak));
    if (poll.calibrationTexts) {
        live.calTimeText = poll.calibrationTexts->time;
        live.calLevelText = poll.calibrationTexts->level;
        settings_->setValue(Field::CalTime, q(live.calTimeText));
        settings_->setValue(Field::CaldB, q(live.calLevelText));
    }
    context_.notifyPolled();
}

// ---- sampling

void PanelWindow::onTimer2Timer()
{
    if (state_.linkBusy)
        return;
    const std::string writing = state_.recording.fileRecording ? recorder_.currentFile() : std::string();
    const SampleOutcome out = recorder_.sampleTick(state_.recording, state_.linkNow(), localNow(), steadySeconds(),
                                                   context_.regional(), [this] { return recordingHeader(); });

    if (listWindow_)
        listWindow_->showSample(out);
    if (out.continuedInto)
        fileClosedRecording(writing); // a full part
    if (out.recordingStopped) {
        const QString file =
            q(recorder_.currentFile().empty() ? state_.recording.recordingFileName : recorder_.currentFile());
        stopFileRecording();
        showRecordingStopped(file, q(out.recordingStopped->message));
    } else if (state_.recording.fileRecording) {
        lblCount_->setText(q(out.countText));
        if (out.waitingForMeter) {
            lblRecording_->setText(QStringLiteral("Waiting for the meter"));
            lblRecording_->setVisible(true);
        } else {
            lblRecording_->setText(QStringLiteral("Recording"));
            if (out.fileRecordWritten)
                lblRecording_->setVisible(out.recordingVisible);
        }
        if (out.continuedInto)
            lblFileName_->setText(QFileInfo(q(*out.continuedInto)).fileName());
    } else {
        lblFileName_->clear();
        lblCount_->clear();
        lblRecording_->setVisible(false);
    }
}

// ---- toolbar

void PanelWindow::onToolbarButtonClick(ToolKey key)
{
    if (state_.meterInUse && toolKeyInfo(key).needsMeter)
        return;
    switch (key) {
    case ToolKey::Save:
        if (state_.recording.fileRecording)
            stopFileRecording();
        else
            startFileRecording();
        return;
    case ToolKey::List: openListWindow(); return;
    case ToolKey::Erase: eraseLogger(context_); return;
    case ToolKey::User: picManual_->setVisible(picManual_->isHidden()); return;
    default:
        if (const auto& handler = keys_[key])
            handler();
        return;
    }
}

void PanelWindow::startFileRecording()
{
    if (saveStarting_ || !context_.worker() || state_.linkBusy)
        return;
    const std::optional<QString> path =
        context_.dialogs().saveFile
            ? context_.dialogs().saveFile(this, QString::fromStdString(state_.recording.lastSaveFolder))
            : std::nullopt;
    state_.recording.recordingFileChosen = path.has_value() && !path->isEmpty();
    if (!state_.recording.recordingFileChosen)
        return;
    state_.recording.recordingFileName = path->toStdString();

    // "R" and "C" go out with the sampling paused; the poll is held off by
    // the worker while they run.
    saveStarting_ = true;
    timer2_->stop();
    presetReaderFor(context_.worker())(this, [this, file = *path](const Result<PresetReply>& r) {
        saveStarting_ = false;
        if (!state_.deviceGone)
            timer2_->start();
        if (!r) {
            state_.recording.recordingFileChosen = false;
            if (r.error().kind == FailureKind::data && context_.dialogs().message)
                context_.dialogs().message(this, tr("The recording was not started: %1.").arg(q(r.error().message)),
                                           false);
            return;
        }
        state_.presetIndex = r->presetIndex;
        state_.userPresetTable = encodeUserPresetTable(r->table);
        state_.recording.peakTypeText = state_.peakTypeForPreset();

        const RecordingHeader header = recordingHeader();
        state_.recording.filePart = 0;
        state_.recording.recordingFileChosen = false;
        const Status started = recorder_.startFileRecording(state_.recording, state_.live, file.toStdString(), header,
                                                            context_.regional());
        if (!started) {
            showRecordingStopped(file, q(started.error().message));
            return;
        }
        toolbar_->setRecording(true);
        lblFileName_->setText(QFileInfo(file).fileName());
    });
}

void PanelWindow::stopFileRecording()
{
    // The part begun at the last boundary may hold no record yet.
    const RecordingState& r = state_.recording;
    const bool holdsRecords =
        r.fileRecording && r.fileRecordCount > static_cast<long long>(r.filePart) * recorder_.recordsPerPart();
    const std::string closing = recorder_.currentFile();
    recorder_.stopFileRecording(state_.recording);
    if (holdsRecords)
        fileClosedRecording(closing);
    state_.recording.fileRecording = false;
    state_.recording.fileRecordCount = 0;
    state_.recording.recordingFileChosen = false;
    toolbar_->setRecording(false);
    lblRecording_->setVisible(false);
    lblRecording_->setText(QStringLiteral("Recording"));
    lblCount_->clear();
    lblFileName_->clear();
}

void PanelWindow::fileClosedRecording(const std::string& path)
{
    if (!path.empty())
        context_.filing().fileSaved(q(path), context_.filingReport(nullptr));
}

void PanelWindow::showRecordingStopped(const QString& file, const QString& reason)
{
    if (context_.dialogs().message)
        context_.dialogs().message(this, tr("Recording to %1 stopped: %2").arg(QDir::toNativeSeparators(file), reason),
                                   true);
}

void PanelWindow::openListWindow()
{
    if (state_.recording.listMode || listWindow_)
        return;
    auto* list = context_.windows().adopt(new ListWindow(
        state_, recorder_, presetReaderFor(context_.worker()), [this] { return recordingHeader(); }, this));
    listWindow_ = list;
    state_.recording.listSavePart = 0;
    connect(list, &ListWindow::closed, this, [this] { listWindow_.clear(); });
    connect(list, &ListWindow::saveFinished, this, [this, list](bool ok, const QString& path) {
        if (ok)
            context_.filing().fileSaved(path, context_.filingReport(list->messageLine()));
    });
    list->show();
}

RecordingHeader PanelWindow::recordingHeader() const
{
    return RecordingHeader::fromPanel(settings_->headerPairs(), state_.recording.peakTypeText);
}

// ---- manual chooser

void PanelWindow::onOptManualClick(int index)
{
    const QString path = QDir(helpFolder()).filePath(helpFileName(index));
    if (!QFileInfo::exists(path)) {
        if (context_.dialogs().message)
            context_.dialogs().message(this, tr("The manual %1 is not installed.").arg(QDir::toNativeSeparators(path)),
                                       false);
    } else if (context_.dialogs().openFile && !context_.dialogs().openFile(path)) {
        // No viewer on the desktop: say where the manual is so it can be opened by hand.
        if (context_.dialogs().message)
            context_.dialogs().message(
                this,
                tr("No program could open the manual %1. It is in the folder %2; "
                   "open it with a PDF viewer.")
                    .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(QFileInfo(path).absolutePath())),
                false);
    }
    picManual_->setVisible(false);
    // Cleared so the same language can be chosen again.
    optManual_->setExclusive(false);
    if (QAbstractButton* b = optManual_->button(index))
        b->setChecked(false);
    optManual_->setExclusive(true);
}

// ---- service mode

void PanelWindow::onLblCOMClick()
{
    const QString caption = windowTitle();
    const bool isLong = caption.contains(QLatin1String("180308.01")) || caption.contains(QLatin1String("180308,01"));
    setWindowTitle(isLong ? shortCaption(state_.decimalComma) : longCaption(state_.decimalComma));
}

void PanelWindow::onLblCOMDblClick()
{
    const std::optional<QString> answer =
        context_.dialogs().serviceCode ? context_.dialogs().serviceCode(this) : std::nullopt;
    if (!answer || answer->isEmpty())
        return;
    if (!answer->contains(QLatin1String(serviceCode)))
        return;
    cmdDelAny_->setVisible(cmdDelAny_->isHidden());
    combo6162_->setVisible(combo6162_->isHidden());
}

void PanelWindow::onCmdDelAnyClick()
{
    if (!context_.worker() || state_.linkBusy || serviceSending_)
        return;
    serviceSending_ = true;
    lblCOM_->setText(QStringLiteral("Wait"));
    // An all-"Any" schedule is 96 bytes of 0.
    context_.worker()->post<Done>(
        this, [](MeterLink& link) { return link.writeTimedTable(TimedTable{}); },
        [this](const Status&) {
            serviceSending_ = false;
            if (!state_.linkBusy)
                restorePortLabel();
        });
}

void PanelWindow::onCombo6162Click()
{
    if (!context_.worker() || state_.linkBusy || serviceSending_)
        return;
    lblCOM_->setText(QStringLiteral("Wait"));
    bool ok = false;
    const QString text = combo6162_->currentText().trimmed();
    const int value = text.toInt(&ok);
    // A value that is no byte is not sent.
    if (!ok || value < 0 || value > 255) {
        restorePortLabel();
        return;
    }
    serviceSending_ = true;
    const int rangeTop = state_.live.settings.rangeTop;
    context_.worker()->post<Done>(
        this,
        [rangeTop, value](MeterLink& link) {
            return link.sendServiceValue(rangeTop, static_cast<std::uint8_t>(value));
        },
        [this](const Status&) {
            serviceSending_ = false;
            if (!state_.linkBusy)
                restorePortLabel();
        });
}

void PanelWindow::closeEvent(QCloseEvent* event)
{
    timer1_->stop();
    timer2_->stop();
    if (state_.recording.fileRecording)
        stopFileRecording();
    if (listWindow_)
        listWindow_->close();
    QMainWindow::closeEvent(event);
    emit closed();
}

bool PanelWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblCOM_) {
        if (event->type() == QEvent::MouseButtonPress) {
            onLblCOMClick();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            onLblCOMDblClick();
            return true;
        }
    } else if (combo6162_ && watched == combo6162_->lineEdit() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            onCombo6162Click();
            return true;
        }
        if (k == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 0x80)
            return false;
        // Every other key is dropped.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace km740
