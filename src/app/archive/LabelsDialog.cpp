// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archive/LabelsDialog.h"

#include "app/ui/QtText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace km740 {

std::optional<MeasurementLabels> askLabels(QWidget* parent, const QString& title, const MeasurementLabels& labels)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* person = new QLineEdit(q(labels.person), &dialog);
    auto* sector = new QLineEdit(q(labels.sector), &dialog);
    auto* company = new QLineEdit(q(labels.company), &dialog);
    auto* notes = new QPlainTextEdit(q(labels.notes), &dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Person:"), person);
    form->addRow(QStringLiteral("Sector:"), sector);
    form->addRow(QStringLiteral("Company:"), company);
    form->addRow(QStringLiteral("Notes:"), notes);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return MeasurementLabels{person->text().trimmed().toStdString(), sector->text().trimmed().toStdString(),
                             company->text().trimmed().toStdString(), notes->toPlainText().toStdString()};
}

} // namespace km740
