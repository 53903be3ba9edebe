// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/SettingsPanel.h"

#include <QGridLayout>
#include <QLabel>

namespace km740 {

namespace {

struct FieldInfo {
    const char* title;
    const char* titleName;
    const char* valueName;
};

// Header order; the titles are the windows' own captions.
constexpr std::array<FieldInfo, SettingsPanel::fieldCount> fields{{
    {"Calibrated dB", "TitleCaldB", "PlCaldB"},
    {"Time Weight", "TitleFSI", "PlFSI"},
    {"Frequency Weight", "TitleAC", "PlAC"},
    {"Threshold Level", "TitleThresHold", "PlThreshold"},
    {"Criterion Level", "TitleCriterion", "PlCriterion"},
    {"Exchange Rate", "TitleER", "PlExchangeRate"},
    {"Peak  Value", "TitlePeak", "PlPeak"},
    {"Range", "TitleRange", "PlRange"},
    {"Calibrated Time", "TitleCalTime", "PlCalTime"},
}};

// The order on screen: weighting and levels first, calibration last.
constexpr std::array<SettingsPanel::Field, SettingsPanel::fieldCount> screenOrder{
    SettingsPanel::Field::FSI,       SettingsPanel::Field::AC,           SettingsPanel::Field::Criterion,
    SettingsPanel::Field::Threshold, SettingsPanel::Field::ExchangeRate, SettingsPanel::Field::Range,
    SettingsPanel::Field::Peak,      SettingsPanel::Field::CalTime,      SettingsPanel::Field::CaldB,
};

std::size_t index(SettingsPanel::Field f)
{
    return static_cast<std::size_t>(f);
}

} // namespace

SettingsPanel::SettingsPanel(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    int row = 0;
    for (Field f : screenOrder) {
        const FieldInfo& info = fields[index(f)];
        auto* t = new QLabel(QString::fromLatin1(info.title), this);
        t->setObjectName(QString::fromLatin1(info.titleName));
        t->setFrameStyle(QFrame::Panel | QFrame::Raised);
        t->setMinimumWidth(120);
        t->setContentsMargins(4, 2, 4, 2);
        auto* v = new QLabel(this);
        v->setObjectName(QString::fromLatin1(info.valueName));
        // The value is heard as its text; the title beside it says what it is.
        v->setAccessibleDescription(QString::fromLatin1(info.title));
        v->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        v->setAlignment(Qt::AlignCenter);
        v->setMinimumWidth(140);
        v->setContentsMargins(4, 2, 4, 2);
        grid->addWidget(t, row, 0);
        grid->addWidget(v, row, 1);
        titles_[index(f)] = t;
        values_[index(f)] = v;
        ++row;
    }
}

void SettingsPanel::setValue(Field field, const QString& text)
{
    values_[index(field)]->setText(text);
}

QString SettingsPanel::value(Field field) const
{
    return values_[index(field)]->text();
}

QString SettingsPanel::title(Field field) const
{
    return titles_[index(field)]->text();
}

SettingsPanel::Pairs SettingsPanel::headerPairs() const
{
    Pairs out;
    for (int i = 0; i < fieldCount; ++i) {
        const auto f = static_cast<Field>(i);
        out[static_cast<std::size_t>(i)] = {title(f).toStdString(), value(f).toStdString()};
    }
    return out;
}

const char* SettingsPanel::titleText(Field field)
{
    return fields[index(field)].title;
}
const char* SettingsPanel::titleName(Field field)
{
    return fields[index(field)].titleName;
}
const char* SettingsPanel::valueName(Field field)
{
    return fields[index(field)].valueName;
}

} // namespace km740
