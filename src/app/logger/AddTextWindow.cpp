// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/AddTextWindow.h"

#include "app/ui/KeyHints.h"

#include "app/logger/LoggerDialogs.h"
#include "app/ui/AppState.h"
#include "app/ui/QtText.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace km740 {

namespace {

QIcon iconOr(const QString& resource, QStyle::StandardPixmap fallback, const QStyle* style)
{
    return QFile::exists(resource) ? QIcon(resource) : style->standardIcon(fallback);
}

} // namespace

AddTextWindow::AddTextWindow(AppState& state, const LoggerDialogs& dialogs, QWidget* panel)
    : QWidget(nullptr), state_(state), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("AddText"));
    addCloseKeys(this, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Name, Setor, Company"));

    auto makeBox = [this](const char* name, const QString& accessible) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setAccessibleName(accessible);
        t->setMinimumWidth(320);
        connect(t, &QLineEdit::textChanged, this, [this] {
            if (!filling_)
                emit textChanged(text());
        });
        return t;
    };
    TxtName = makeBox("TxtName", QStringLiteral("Name"));
    TxtSector = makeBox("TxtSector", QStringLiteral("Sector"));
    TxtCompany = makeBox("TxtCompany", QStringLiteral("Company"));

    CmdOpen = new QToolButton(this);
    CmdOpen->setObjectName(QStringLiteral("CmdOpen"));
    CmdOpen->setIcon(iconOr(QStringLiteral(":/toolbar/open.svg"), QStyle::SP_DialogOpenButton, style()));
    CmdOpen->setIconSize(QSize(24, 24));
    CmdOpen->setAccessibleName(tr("Open"));
    CmdOpen->setToolTip(tr("Open a header text file (.nse, .cna)"));
    connect(CmdOpen, &QToolButton::clicked, this, &AddTextWindow::onCmdOpenClick);
    CmdSave = new QToolButton(this);
    CmdSave->setObjectName(QStringLiteral("CmdSave"));
    CmdSave->setIcon(iconOr(QStringLiteral(":/toolbar/save.svg"), QStyle::SP_DialogSaveButton, style()));
    CmdSave->setIconSize(QSize(24, 24));
    CmdSave->setAccessibleName(tr("Save"));
    CmdSave->setToolTip(tr("Save the texts as a header text file (.cna, .nse)"));
    connect(CmdSave, &QToolButton::clicked, this, &AddTextWindow::onCmdSaveClick);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setAccessibleDescription(tr("Message"));
    LblStatus->setWordWrap(true);
    LblStatus->setMinimumHeight(2 * LblStatus->fontMetrics().lineSpacing() + 2);

    auto* box = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), TxtName);
    form->addRow(QStringLiteral("Sector:"), TxtSector);
    form->addRow(QStringLiteral("Company:"), TxtCompany);
    box->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdOpen);
    buttons->addWidget(CmdSave);
    buttons->addStretch(1);
    box->addLayout(buttons);
    box->addWidget(LblStatus);

    if (panel) {
        const QRect p = panel->frameGeometry();
        // Right of the panel, under where Memory stands.
        move(p.right() + 8, p.bottom() + 160);
    }
}

HeaderText AddTextWindow::text() const
{
    return {TxtName->text().toStdString(), TxtSector->text().toStdString(), TxtCompany->text().toStdString()};
}

void AddTextWindow::setText(const HeaderText& text)
{
    filling_ = true;
    TxtName->setText(q(text.name));
    TxtSector->setText(q(text.sector));
    TxtCompany->setText(q(text.company));
    filling_ = false;
    emit textChanged(this->text());
}

void AddTextWindow::onCmdOpenClick()
{
    const QString path = dialogs_.openHeaderText ? dialogs_.openHeaderText(this) : QString();
    if (path.isEmpty())
        return;
    const Result<HeaderText> r = readHeaderText(path.toStdString());
    if (!r) {
        // The boxes keep what they had.
        LblStatus->setText(tr("%1 was not read: %2").arg(QDir::toNativeSeparators(path), q(r.error().message)));
        return;
    }
    setText(*r);
    LblStatus->setText(tr("Read %1").arg(QDir::toNativeSeparators(path)));
}

void AddTextWindow::onCmdSaveClick()
{
    const QString path = dialogs_.saveHeaderText ? dialogs_.saveHeaderText(this) : QString();
    if (path.isEmpty())
        return;
    const Status s = writeHeaderText(path.toStdString(), text());
    LblStatus->setText(s ? tr("Saved as %1").arg(QDir::toNativeSeparators(path))
                         : tr("The texts were not saved: %1").arg(q(s.error().message)));
}

void AddTextWindow::closeEvent(QCloseEvent* event)
{
    state_.headerTextOpen = false;
    emit closed();
    QWidget::closeEvent(event);
}

} // namespace km740
