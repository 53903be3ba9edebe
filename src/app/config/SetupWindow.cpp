// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/SetupWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "core/common/NoValue.h"
#include "app/ui/PickCombo.h"
#include "core/link/MeterLink.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"
#include "app/ui/PresetReader.h"
#include "app/ui/QtText.h"
#include "app/ui/WriteProof.h"
#include "core/link/WriteCheck.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace km740 {

namespace {

constexpr std::array<const char*, presetColumnCount> columnKeys{"SFI", "CA", "LT", "LC", "ER", "LL", "Range"};
constexpr std::array<const char*, presetColumnCount> columnTitles{
    "Time\nWeight", "Frequency\nWeight", "Threshold\nLevel", "Criterion\nLevel", "Exchange\nRate", "Peak", "Range"};
constexpr std::array<const char*, presetColumnCount> designTexts{"Slow", "C", "80", "85", "5", "Lcpk", "70-140"};
const QString dashes = QString::fromLatin1(kNoValueText);

PresetColumn col(int c)
{
    return static_cast<PresetColumn>(c);
}

QString columnTitle(int c)
{
    return QString::fromLatin1(columnTitles[static_cast<std::size_t>(c)]).replace('\n', ' ');
}

} // namespace

void SetupWindow::openFromMeter(WindowContext& context)
{
    if (!context.worker())
        return;
    context.state().meterInUse = true;
    presetReaderFor(context.worker())(&context, [&context](const Result<PresetReply>& r) {
        AppState& s = context.state();
        if (!r) {
            // The lost-link handling takes over; the window does not open.
            // A reply that cannot be right (preset 20) is said, not swallowed.
            s.meterInUse = false;
            if (r.error().kind == FailureKind::data)
                context.message(QObject::tr("Recording Setup was not opened: %1.").arg(q(r.error().message)), false);
            return;
        }
        s.presetIndex = r->presetIndex;
        s.userPresetTable = encodeUserPresetTable(r->table);
        auto* w = context.windows().adopt(new SetupWindow(context));
        w->show();
        w->fill(r->presetIndex, r->table);
    });
}

SetupWindow::SetupWindow(WindowContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), state_(context.state())
{
    setObjectName(QStringLiteral("Setup"));
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("Recording Setup"));
    buildWindow();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
}

SetupWindow::~SetupWindow()
{
    // The window lets go of the meter however it closes.
    state_.meterInUse = false;
}

void SetupWindow::closeEvent(QCloseEvent* event)
{
    state_.meterInUse = false;
    QWidget::closeEvent(event);
}

void SetupWindow::buildWindow()
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    for (int c = 0; c < presetColumnCount; ++c) {
        auto* title = new QLabel(QString::fromLatin1(columnTitles[static_cast<std::size_t>(c)]), this);
        title->setObjectName(QStringLiteral("Title%1").arg(QLatin1String(columnKeys[static_cast<std::size_t>(c)])));
        title->setAlignment(Qt::AlignCenter);
        QFont f = title->font();
        f.setBold(true);
        title->setFont(f);
        grid->addWidget(title, 0, c + 1);
    }

    optGroup_ = new QButtonGroup(this);
    for (int i = 0; i < presetCount; ++i) {
        auto* o = new QRadioButton(q(presetCaption(i)), this);
        o->setObjectName(QStringLiteral("Opt%1").arg(i));
        o->setAccessibleName(q(presetCaption(i)));
        optGroup_->addButton(o, i);
        opt_[static_cast<std::size_t>(i)] = o;
    }
    connect(optGroup_, &QButtonGroup::idClicked, this, &SetupWindow::onOptClick);

    // The standard table: fixed labels.
    int line = 1;
    auto makeLabel = [this](int row, int c, const QString& rowName) {
        const QString key = QLatin1String(columnKeys[static_cast<std::size_t>(c)]);
        auto* l = new QLabel(this);
        l->setObjectName(
            QStringLiteral("%1%2%3").arg(c == 6 ? QStringLiteral("lbl") : QStringLiteral("Lbl"), key).arg(row));
        l->setAccessibleDescription(rowName + QLatin1Char(' ') + columnTitle(c));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(56);
        labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = l;
        return l;
    };
    for (int i = 0; i < 8; ++i, ++line) {
        grid->addWidget(opt_[static_cast<std::size_t>(i)], line, 0);
        const PresetRow r = standardPresetRow(i);
        for (int c = 0; c < presetColumnCount; ++c) {
            QLabel* l = makeLabel(i, c, q(presetCaption(i)));
            l->setText(q(r[col(c)]));
            grid->addWidget(l, line, c + 1);
        }
    }

    // The Uniform row: a standard preset chosen by name.
    newOptGroup_ = new QButtonGroup(this);
    auto* uniformBox = new QHBoxLayout;
    newOpt_[0] = new QRadioButton(this);
    newOpt_[0]->setObjectName(QStringLiteral("NewOpt0"));
    newOpt_[0]->setAccessibleName(QStringLiteral("Uniform"));
    comboUniform_ = new PickCombo(QStringLiteral("ComboUniform"), this);
    nameComboBox(comboUniform_, QStringLiteral("Uniform"));
    QStringList standard;
    for (int i = 0; i < 8; ++i)
        standard << q(presetCaption(i));
    comboUniform_->setItems(standard);
    comboUniform_->setText(QStringLiteral("Uniform"));
    uniformBox->addWidget(newOpt_[0]);
    uniformBox->addWidget(comboUniform_, 1);
    grid->addLayout(uniformBox, line, 0);
    for (int c = 0; c < presetColumnCount; ++c)
        grid->addWidget(makeLabel(uniformRow, c, QStringLiteral("Uniform")), line, c + 1);
    ++line;

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, line++, 0, 1, presetColumnCount + 1);

    // The edit row: the chosen user preset.
    auto* userBox = new QHBoxLayout;
    newOpt_[1] = new QRadioButton(this);
    newOpt_[1]->setObjectName(QStringLiteral("NewOpt1"));
    newOpt_[1]->setAccessibleName(QStringLiteral("User"));
    comboUser_ = new PickCombo(QStringLiteral("ComboUser"), this);
    nameComboBox(comboUser_, QStringLiteral("User"));
    QStringList users;
    for (int i = firstUserPreset; i < presetCount; ++i)
        users << q(presetCaption(i));
    comboUser_->setItems(users);
    comboUser_->setText(QStringLiteral("User"));
    userBox->addWidget(newOpt_[1]);
    userBox->addWidget(comboUser_, 1);
    grid->addLayout(userBox, line, 0);
    newOptGroup_->addButton(newOpt_[0], 0);
    newOptGroup_->addButton(newOpt_[1], 1);
    connect(newOptGroup_, &QButtonGroup::idClicked, this, &SetupWindow::onNewOptClick);
    connect(comboUniform_, &PickCombo::picked, this, &SetupWindow::onComboUniformClick);
    connect(comboUser_, &PickCombo::picked, this, &SetupWindow::onComboUserClick);

    auto makeCombo = [this](int row, int c, const QString& rowName) {
        const QString key = QLatin1String(columnKeys[static_cast<std::size_t>(c)]);
        auto* box = new PickCombo(QStringLiteral("Combo%1%2").arg(key).arg(row), this);
        nameComboBox(box, rowName + QLatin1Char(' ') + columnTitle(c));
        box->setItems(setupItems(col(c)));
        box->setText(QString::fromLatin1(designTexts[static_cast<std::size_t>(c)]));
        connect(box, &PickCombo::picked, this, [this, row, c] { onCellClick(row, col(c)); });
        combos_[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = box;
        return box;
    };
    for (int c = 0; c < presetColumnCount; ++c)
        grid->addWidget(makeCombo(editRow, c, QStringLiteral("Edit row")), line, c + 1);
    ++line;

    for (int k = 0; k < userRows; ++k, ++line) {
        grid->addWidget(opt_[static_cast<std::size_t>(firstUserPreset + k)], line, 0);
        for (int c = 0; c < presetColumnCount; ++c)
            grid->addWidget(makeCombo(k, c, q(presetCaption(firstUserPreset + k))), line, c + 1);
        average_[static_cast<std::size_t>(k)] = QStringLiteral("Lavg");
    }

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("CmdOK"));
    cmdOK_->setAccessibleName(QStringLiteral("OK"));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &SetupWindow::onCmdOKClick);
    grid->addWidget(cmdOK_, line, presetColumnCount - 1, 1, 2);
}

PickCombo* SetupWindow::combo(int row, PresetColumn c) const
{
    return combos_[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)];
}

QLabel* SetupWindow::label(int row, PresetColumn c) const
{
    return labels_[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)];
}

PresetRow SetupWindow::userRow(int k) const
{
    PresetRow r;
    for (int c = 0; c < presetColumnCount; ++c)
        r[col(c)] = combo(k, col(c))->stdText();
    r.average = average_[static_cast<std::size_t>(k)].toStdString();
    return r;
}

void SetupWindow::setRow(int row, const PresetRow& texts)
{
    for (int c = 0; c < presetColumnCount; ++c)
        combo(row, col(c))->setText(texts[col(c)]);
    if (row < userRows)
        average_[static_cast<std::size_t>(row)] = q(texts.average);
}

void SetupWindow::fill(int presetIndex, const UserPresetTable& table)
{
    onOptClick(presetIndex);
    opt(presetIndex)->setChecked(true);
    for (int k = 0; k < userRows; ++k)
        setRow(k, presetRowFromRecord(table.records[static_cast<std::size_t>(k)]));
    setStandardMode(presetIndex < firstUserPreset);
}

void SetupWindow::showUniformRow(int preset)
{
    for (int c = 0; c < presetColumnCount; ++c)
        label(uniformRow, col(c))->setText(preset < 0 ? dashes : label(preset, col(c))->text());
}

void SetupWindow::copyUserRowToEditRow(int k)
{
    for (int c = 0; c < presetColumnCount; ++c)
        combo(editRow, col(c))->setText(combo(k, col(c))->text());
}

// Standard mode: the Uniform row is live, the edit row shows kNoValueText.
// User mode: the other way round.
void SetupWindow::setStandardMode(bool standard)
{
    int preset = context_.state().presetIndex;
    newOpt(0)->setChecked(standard);
    newOpt(1)->setChecked(!standard);
    comboUniform_->setEnabled(standard);
    comboUser_->setEnabled(!standard);
    for (int c = 0; c < presetColumnCount; ++c)
        combo(editRow, col(c))->setEnabled(!standard);
    if (standard) {
        if (preset >= firstUserPreset) {
            preset = 0;
            onOptClick(0);
            opt(0)->setChecked(true);
        }
        comboUniform_->setText(q(presetCaption(preset)));
        showUniformRow(preset);
        comboUser_->setText(QStringLiteral("User"));
        for (int c = 0; c < presetColumnCount; ++c)
            combo(editRow, col(c))->setText(dashes);
    } else {
        if (preset < firstUserPreset) {
            preset = firstUserPreset;
            onOptClick(preset);
            opt(preset)->setChecked(true);
        }
        comboUniform_->setText(QStringLiteral("Uniform"));
        showUniformRow(-1);
        comboUser_->setText(q(presetCaption(preset)));
        copyUserRowToEditRow(preset - firstUserPreset);
    }
}

void SetupWindow::onOptClick(int index)
{
    context_.state().presetIndex = index;
}

void SetupWindow::onNewOptClick(int index)
{
    setStandardMode(index == 0);
}

void SetupWindow::onComboUniformClick()
{
    const auto i = presetFromCaption(comboUniform_->stdText(), 0, firstUserPreset - 1);
    if (!i)
        return;
    opt(*i)->setChecked(true);
    onOptClick(*i);
    showUniformRow(*i);
}

void SetupWindow::onComboUserClick()
{
    const auto i = presetFromCaption(comboUser_->stdText(), firstUserPreset, presetCount - 1);
    if (!i)
        return;
    opt(*i)->setChecked(true);
    onOptClick(*i);
    copyUserRowToEditRow(*i - firstUserPreset);
}

void SetupWindow::onCellClick(int row, PresetColumn column)
{
    PickCombo* threshold = combo(row, PresetColumn::threshold);
    PickCombo* criterion = combo(row, PresetColumn::criterion);
    std::optional<PresetColumn> also;
    if (column == PresetColumn::threshold) {
        if (auto c = criterionAfterThreshold(threshold->stdText(), criterion->stdText())) {
            criterion->setText(*c);
            also = PresetColumn::criterion;
        }
    } else if (column == PresetColumn::criterion) {
        if (auto t = thresholdAfterCriterion(threshold->stdText(), criterion->stdText())) {
            threshold->setText(*t);
            also = PresetColumn::threshold;
        }
    }
    if (row != editRow)
        return;
    const auto user = presetFromCaption(comboUser_->stdText(), firstUserPreset, presetCount - 1);
    if (!user)
        return;
    // The column picked, and the one the interlock moved with it, so the
    // user row holds what the edit row shows.
    const int k = *user - firstUserPreset;
    combo(k, column)->setText(combo(editRow, column)->text());
    if (also)
        combo(k, *also)->setText(combo(editRow, *also)->text());
}

void SetupWindow::onCmdOKClick()
{
    if (writing_)
        return;
    UserPresetRows rows;
    for (int k = 0; k < userRows; ++k)
        rows[static_cast<std::size_t>(k)] = userRow(k);
    auto built = presetTableFromRows(rows);
    if (!built) {
        if (context_.dialogs().message)
            context_.dialogs().message(
                this,
                tr("Not written: %1. Pick a value from its list, then press OK again.").arg(q(built.error().message)),
                false);
        return;
    }
    const UserPresetTable table = *built;
    MeterWorker* worker = context_.worker();
    if (!worker)
        return;
    const int preset = context_.state().presetIndex;
    writing_ = true;
    cmdOK_->setEnabled(false);
    // "Q" and "K", then "R" and "C" read back.
    worker->post<WriteProof>(
        this, [preset, table](MeterLink& link) { return writeProof(writePresetsChecked(link, preset, table)); },
        [this, table](const Result<WriteProof>& s) {
            writing_ = false;
            cmdOK_->setEnabled(true);
            if (!s || !s->empty()) {
                if (context_.dialogs().message)
                    context_.dialogs().message(
                        this, s ? q(proofSentence(*s)) : tr("The preset was not written: %1").arg(q(s.error().message)),
                        false);
                return;
            }
            context_.state().userPresetTable = encodeUserPresetTable(table);
            close();
        });
}

} // namespace km740
