// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/MeterSetupWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "app/ui/PickCombo.h"
#include "core/link/MeterLink.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"
#include "app/ui/QtText.h"
#include "app/ui/WriteProof.h"
#include "core/link/WriteCheck.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace km740 {

namespace {

constexpr std::array<const char*, presetColumnCount> comboNames{
    "ComboFSI", "ComboAC", "ComboThreshold", "ComboCriterion", "ComboExchangeRate", "ComboPeak", "ComboRange"};
constexpr std::array<const char*, presetColumnCount> columnTitles{
    "Time\nWeight", "Frequency\nWeight", "Threshold\nLevel", "Criterion\nLevel", "Exchange\nRate", "Peak", "Range"};
constexpr std::array<const char*, presetColumnCount> designTexts{"Fast", "A", "80", "85", "3", "Llpk", "70-140"};

PresetColumn col(int c)
{
    return static_cast<PresetColumn>(c);
}

} // namespace

void MeterSetupWindow::open(WindowContext& context)
{
    MeterSetupWindow* current = context.windows().shown<MeterSetupWindow>();
    if (!current)
        current = context.windows().adopt(new MeterSetupWindow(context));
    current->show();
    current->raise();
    current->activateWindow();
    current->fill();
}

MeterSetupWindow::MeterSetupWindow(WindowContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context)
{
    setObjectName(QStringLiteral("MeterSetup"));
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("Current Meter Setup"));
    auto* grid = new QGridLayout(this);
    for (int c = 0; c < presetColumnCount; ++c) {
        const QString title = QString::fromLatin1(columnTitles[static_cast<std::size_t>(c)]);
        auto* t = new QLabel(title, this);
        t->setAlignment(Qt::AlignCenter);
        QFont f = t->font();
        f.setBold(true);
        t->setFont(f);
        grid->addWidget(t, 0, c);
        auto* box = new PickCombo(QLatin1String(comboNames[static_cast<std::size_t>(c)]), this);
        nameComboBox(box, QString(title).replace('\n', ' '));
        box->setItems(meterSetupItems(col(c)));
        box->setText(QString::fromLatin1(designTexts[static_cast<std::size_t>(c)]));
        connect(box, &PickCombo::picked, this, [this, c] { onComboClick(col(c)); });
        combos_[static_cast<std::size_t>(c)] = box;
        grid->addWidget(box, 1, c);
    }
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("CmdOK"));
    cmdOK_->setAccessibleName(QStringLiteral("OK"));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &MeterSetupWindow::onCmdOKClick);
    grid->addWidget(cmdOK_, 2, presetColumnCount - 2, 1, 2);
}

void MeterSetupWindow::fill()
{
    const AppState& s = context_.state();
    // Before the first poll there is nothing to show: the combos stay empty
    // and OK is refused until the user picks.
    const MeterSettings m = s.live.valid ? s.live.settings : MeterSettings{};
    PresetRow r = presetRowFromSettings(m, s.panelThreshold, s.panelCriterion);
    if (!s.live.valid)
        for (PresetColumn c : {PresetColumn::timeWeighting, PresetColumn::freqWeighting, PresetColumn::exchangeRate,
                               PresetColumn::peak, PresetColumn::range})
            r[c].clear();
    for (int c = 0; c < presetColumnCount; ++c)
        combo(col(c))->setText(r[col(c)]);
}

void MeterSetupWindow::onComboClick(PresetColumn column)
{
    PickCombo* threshold = combo(PresetColumn::threshold);
    PickCombo* criterion = combo(PresetColumn::criterion);
    if (column == PresetColumn::threshold) {
        if (auto c = criterionAfterThreshold(threshold->stdText(), criterion->stdText()))
            criterion->setText(*c);
    } else if (column == PresetColumn::criterion) {
        if (auto t = thresholdAfterCriterion(threshold->stdText(), criterion->stdText()))
            threshold->setText(*t);
    }
}

void MeterSetupWindow::onCmdOKClick()
{
    if (writing_)
        return;
    AppState& s = context_.state();
    PresetRow row;
    for (int c = 0; c < presetColumnCount; ++c)
        row[col(c)] = combo(col(c))->stdText();
    // The average mode has no combo: keep the meter's own, as last polled.
    row.average = s.live.valid ? s.live.settings.averageText : "Lavg";
    auto record = presetRecordFromRow(row);
    if (!record) {
        if (context_.dialogs().message)
            context_.dialogs().message(
                this,
                tr("Not written: %1. Pick a value from its list, then press OK again.").arg(q(record.error().message)),
                false);
        return;
    }
    s.panelCriterion = CriterionCodeToLevel(record->criterionCode).value_or(s.panelCriterion);
    s.panelThreshold = record->threshold;
    MeterWorker* worker = context_.worker();
    if (!worker) {
        close();
        return;
    }
    writing_ = true;
    cmdOK_->setEnabled(false);
    const std::uint8_t settings = record->settings;
    // "_", then a status frame whose settings byte must be the one sent.
    worker->post<WriteProof>(
        this, [settings](MeterLink& link) { return writeProof(writeSettingsChecked(link, settings)); },
        [this](const Result<WriteProof>& st) {
            writing_ = false;
            cmdOK_->setEnabled(true);
            if (!st || !st->empty()) {
                if (context_.dialogs().message)
                    context_.dialogs().message(this,
                                               st ? q(proofSentence(*st))
                                                  : tr("The settings were not written: %1").arg(q(st.error().message)),
                                               false);
                return;
            }
            close();
        });
}

} // namespace km740
