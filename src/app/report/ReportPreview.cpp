// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report/ReportPreview.h"
#include "app/ui/AppDialogs.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/BackgroundTask.h"
#include "core/files/HeaderText.h"
#include "platform/ReportPages.h"
#include "platform/ReportPdf.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace km740 {

namespace {

Language languageOfLocale(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::French: return Language::fr;
    case QLocale::German: return Language::de;
    case QLocale::Italian: return Language::it;
    case QLocale::Portuguese: return Language::pt;
    case QLocale::Spanish: return Language::es;
    default: return Language::en;
    }
}

} // namespace

ReportDialogs ReportDialogs::desktop()
{
    ReportDialogs d;
    d.choosePrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.saveFile = [](QWidget* parent, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, QObject::tr("Save"), suggested, filter);
    };
    d.openHeaderText = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QObject::tr("Open header text"), QString(),
                                            QObject::tr("Nome, Setor, Empresa (*.nse);;"
                                                        "Company, Name, Address (*.cna);;All files (*)"));
    };
    d.message = showWindowMessage;
    return d;
}

ReportPreview::ReportPreview(ReportRequest request, ReportDialogs dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), request_(std::move(request)), dialogs_(std::move(dialogs))
{
    if (request_.madeAt.empty())
        request_.madeAt = reportMadeAt(QDateTime::currentDateTime());
    if (request_.program.empty())
        request_.program = programAndVersion();
    const QString file = QString::fromStdString(request_.dataFile.filename().string());
    buildWindow(tr("Report - %1").arg(file), request_.header.value_or(HeaderText{}), request_.language);
    read();
}

ReportPreview::ReportPreview(WeekReportParts week, ReportDialogs dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(std::move(dialogs)), weekParts_(std::move(week))
{
    WeekReportParts& w = *weekParts_;
    if (w.madeAt.empty())
        w.madeAt = reportMadeAt(QDateTime::currentDateTime());
    if (w.program.empty())
        w.program = programAndVersion();
    buildWindow(
        tr("Report - Week %1 - %2").arg(QString::fromStdString(isoWeekOf(w.monday)), QString::fromStdString(w.person)),
        w.header.value_or(weekLabels(w.person, w.measurements)), w.language);
    // The week's measurements came with it: nothing to read.
    CmdSaveImage->hide();
    compose();
    for (QPushButton* b : {CmdPrint, CmdSavePdf})
        b->setEnabled(true);
}

ReportPreview::~ReportPreview() = default;

namespace {

ReportPreview* shown(ReportPreview* w, QWidget* from)
{
    if (from)
        w->move(from->geometry().topLeft() + QPoint(40, 40));
    w->show();
    return w;
}

} // namespace

ReportPreview* ReportPreview::showReport(ReportRequest request, ReportDialogs dialogs, QWidget* from)
{
    return shown(new ReportPreview(std::move(request), std::move(dialogs)), from);
}

ReportPreview* ReportPreview::showWeekReport(WeekReportParts week, ReportDialogs dialogs, QWidget* from)
{
    return shown(new ReportPreview(std::move(week), std::move(dialogs)), from);
}

void ReportPreview::buildWindow(const QString& title, const HeaderText& header, Language language)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The printer's own paper; without a printer, the locale's.
    if (printer_.printerName().isEmpty() || printer_.outputFormat() == QPrinter::PdfFormat)
        printer_.setPageSize(QPageSize(reportPaper(QLocale())));
    printer_.setPageMargins(QMarginsF(15, 14, 15, 10), QPageLayout::Millimeter);
    setWindowTitle(title);
    resize(1100, 820);

    Preview = new QPrintPreviewWidget(&printer_, this);
    Preview->setAccessibleName(tr("Report pages"));
    Preview->fitToWidth();
    connect(Preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { paint(*printer); });

    ComboLanguage = new QComboBox;
    nameComboBox(ComboLanguage, tr("Report language"));
    for (Language l : kLanguages)
        ComboLanguage->addItem(QString::fromUtf8(languageName(l).data(), static_cast<int>(languageName(l).size())),
                               static_cast<int>(l));
    ComboLanguage->setCurrentIndex(static_cast<int>(language == Language::en ? languageOfLocale(QLocale()) : language));
    TxtName = new QLineEdit(QString::fromStdString(header.name));
    TxtSector = new QLineEdit(QString::fromStdString(header.sector));
    TxtCompany = new QLineEdit(QString::fromStdString(header.company));
    CmdOpenHeader = new QPushButton(tr("Open Header Text..."));
    TxtNotes = new QPlainTextEdit(QString::fromStdString(request_.notes));
    TxtNotes->setAccessibleName(tr("Notes"));
    TxtNotes->setTabChangesFocus(true);
    CmdPrint = new QPushButton(tr("&Print..."));
    CmdSavePdf = new QPushButton(tr("Save &PDF..."));
    CmdSaveImage = new QPushButton(tr("Save Chart &Image..."));
    LblStatus = new QLabel;
    LblStatus->setWordWrap(true);
    const std::pair<QWidget*, const char*> names[] = {
        {ComboLanguage, "ComboLanguage"}, {TxtName, "TxtName"},           {TxtSector, "TxtSector"},
        {TxtCompany, "TxtCompany"},       {TxtNotes, "TxtNotes"},         {CmdPrint, "CmdPrint"},
        {CmdSavePdf, "CmdSavePdf"},       {CmdSaveImage, "CmdSaveImage"}, {LblStatus, "LblStatus"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    auto* side = new QFormLayout;
    side->addRow(tr("&Language:"), ComboLanguage);
    side->addRow(tr("&Name:"), TxtName);
    side->addRow(tr("&Sector:"), TxtSector);
    side->addRow(tr("&Company:"), TxtCompany);
    side->addRow(QString(), CmdOpenHeader);
    side->addRow(tr("N&otes:"), TxtNotes);
    auto* panel = new QVBoxLayout;
    panel->addLayout(side);
    panel->addWidget(CmdPrint);
    panel->addWidget(CmdSavePdf);
    panel->addWidget(CmdSaveImage);
    panel->addWidget(LblStatus);
    panel->addStretch(1);
    auto* sideWidget = new QWidget;
    sideWidget->setLayout(panel);
    sideWidget->setFixedWidth(300);
    auto* row = new QHBoxLayout(this);
    row->addWidget(Preview, 1);
    row->addWidget(sideWidget);

    // Typing redraws the pages once the user pauses.
    Recompose = new QTimer(this);
    Recompose->setSingleShot(true);
    Recompose->setInterval(400);
    connect(Recompose, &QTimer::timeout, this, &ReportPreview::compose);
    connect(ComboLanguage, &QComboBox::currentIndexChanged, this, &ReportPreview::compose);
    for (QLineEdit* e : {TxtName, TxtSector, TxtCompany})
        connect(e, &QLineEdit::textChanged, Recompose, qOverload<>(&QTimer::start));
    connect(TxtNotes, &QPlainTextEdit::textChanged, Recompose, qOverload<>(&QTimer::start));
    connect(CmdOpenHeader, &QPushButton::clicked, this, &ReportPreview::loadHeaderText);
    connect(CmdPrint, &QPushButton::clicked, this, &ReportPreview::print);
    connect(CmdSavePdf, &QPushButton::clicked, this, &ReportPreview::savePdf);
    connect(CmdSaveImage, &QPushButton::clicked, this, &ReportPreview::saveChartImage);
    for (QPushButton* b : {CmdPrint, CmdSavePdf, CmdSaveImage})
        b->setEnabled(false);
}

void ReportPreview::read()
{
    LblStatus->setText(tr("Reading the recording..."));
    setCursor(Qt::BusyCursor);
    reading_.start(
        this,
        [request = request_](const BackgroundTask::Job& job) { return readReport(request, job.progress, job.cancel); },
        [](ReportPreview& w, std::int64_t records) {
            w.LblStatus->setText(tr("Reading the recording: %1 records").arg(records));
        },
        [](ReportPreview& w, Result<ReportParts> parts) { w.readDone(std::move(parts)); });
}

void ReportPreview::readDone(Result<ReportParts> parts)
{
    unsetCursor();
    if (!parts) {
        const QString reason = QString::fromStdString(parts.error().message);
        LblStatus->setText(tr("No report: %1").arg(reason));
        if (dialogs_.message)
            dialogs_.message(this, tr("The report cannot be made: %1").arg(reason), true);
        emit ready(false);
        return;
    }
    parts_ = std::move(*parts);
    LblStatus->clear();
    compose();
    for (QPushButton* b : {CmdPrint, CmdSavePdf, CmdSaveImage})
        b->setEnabled(true);
    emit ready(true);
}

void ReportPreview::compose()
{
    Recompose->stop();
    const auto language = static_cast<Language>(ComboLanguage->currentData().toInt());
    HeaderText header{TxtName->text().toStdString(), TxtSector->text().toStdString(), TxtCompany->text().toStdString()};
    std::optional<HeaderText> given;
    if (header != HeaderText{})
        given = std::move(header);
    if (weekParts_) {
        weekParts_->language = language;
        weekParts_->notes = TxtNotes->toPlainText().toStdString();
        // Emptied boxes leave no name on the page rather than bring the
        // archive's labels back.
        weekParts_->header = given.value_or(HeaderText{});
        weekContent_ = composeWeekReport(*weekParts_);
    } else if (parts_) {
        parts_->language = language;
        parts_->notes = TxtNotes->toPlainText().toStdString();
        parts_->header = std::move(given);
        content_ = composeReport(*parts_);
    } else {
        return;
    }
    Preview->updatePreview();
}

int ReportPreview::paint(QPrinter& printer) const
{
    if (weekContent_)
        return paintReport(printer, *weekContent_);
    if (content_)
        return paintReport(printer, *content_);
    return 0;
}

void ReportPreview::loadHeaderText()
{
    const QString path = dialogs_.openHeaderText ? dialogs_.openHeaderText(this) : QString();
    if (path.isEmpty())
        return;
    auto text = readHeaderText(path.toStdString());
    if (!text) {
        if (dialogs_.message)
            dialogs_.message(this, QString::fromStdString(text.error().message), true);
        return;
    }
    TxtName->setText(QString::fromStdString(text->name));
    TxtSector->setText(QString::fromStdString(text->sector));
    TxtCompany->setText(QString::fromStdString(text->company));
    compose();
}

QString ReportPreview::suggestedName(const QString& suffix) const
{
    if (weekParts_) {
        // "Ana Silva-2026-W10-report.pdf" among the user's documents; a
        // name that would reach into another folder is kept to one.
        QString name = QString::fromStdString(weekParts_->person + "-" + isoWeekOf(weekParts_->monday));
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name + suffix);
    }
    const QFileInfo recording(QString::fromStdString(request_.dataFile.string()));
    return recording.dir().filePath(recording.completeBaseName() + suffix);
}

void ReportPreview::print()
{
    compose();
    if (!composed() || !dialogs_.choosePrinter || !dialogs_.choosePrinter(this, printer_))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int pages = paint(printer_);
    QApplication::restoreOverrideCursor();
    if (pages == 0 && dialogs_.message)
        dialogs_.message(this, tr("The printer could not be opened."), true);
    Preview->updatePreview();
}

void ReportPreview::savePdf()
{
    compose();
    if (!composed() || !dialogs_.saveFile)
        return;
    const QString path = dialogs_.saveFile(this, suggestedName(QStringLiteral("-report.pdf")), tr("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto paper = printer_.pageLayout().pageSize().id();
    const auto written = weekContent_ ? writeReportPdf(path.toStdString(), *weekContent_, paper)
                                      : writeReportPdf(path.toStdString(), *content_, paper);
    QApplication::restoreOverrideCursor();
    if (!written) {
        if (dialogs_.message)
            dialogs_.message(
                this, tr("The report was not saved: %1").arg(QString::fromStdString(written.error().message)), true);
        return;
    }
    LblStatus->setText(tr("Saved %1 (%n page(s))", nullptr, *written).arg(QDir::toNativeSeparators(path)));
}

void ReportPreview::saveChartImage()
{
    compose();
    if (!content_ || !dialogs_.saveFile)
        return;
    const QString path = dialogs_.saveFile(this, suggestedName(QStringLiteral("-chart.png")),
                                           tr("PNG picture (*.png);;SVG drawing (*.svg)"));
    if (path.isEmpty())
        return;
    const Status written = writeReportChart(path.toStdString(), content_->chart);
    if (!written) {
        if (dialogs_.message)
            dialogs_.message(
                this, tr("The chart was not saved: %1").arg(QString::fromStdString(written.error().message)), true);
        return;
    }
    LblStatus->setText(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace km740
