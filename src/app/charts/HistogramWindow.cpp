// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/HistogramWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "app/charts/GraphView.h"
#include "core/charts/TrackModes.h"
#include "core/common/Twips.h"
#include "core/exposure/LnTable.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>

#include <algorithm>

namespace km740 {

namespace {

constexpr int kGraphTop = 480;    // twips
constexpr int kSideRoom = 260;    // twips, both sides together
constexpr int kBottomRoom = 120;  // twips below the table
constexpr int kGridHeight = 2800; // twips
constexpr int kColumnTrim = 35;   // twips off each table column
constexpr int kGridColumns = 11;

QStringList split(const std::string& row)
{
    return QString::fromStdString(row).split(QLatin1Char('\t'));
}

} // namespace

HistogramWindow::HistogramWindow(Resolution resolution, QWidget* opener, ChartDialogs dialogs)
    : QWidget(nullptr), resolution_(resolution), dialogs_(std::move(dialogs))
{
    const bool histogram1 = resolution == Resolution::whole;
    setObjectName(histogram1 ? QStringLiteral("Histogram1") : QStringLiteral("Histogram"));
    setWindowTitle(QStringLiteral("Histograma"));
    setMinimumSize(twipsToPixels(kMinWidth), twipsToPixels(kMinHeight));
    buildWindow();
    resize(minimumSize());
    if (opener)
        move(opener->window()->frameGeometry().topLeft() + QPoint(60, 60));
}

HistogramWindow::~HistogramWindow() = default;

HistogramWindow* HistogramWindow::showHistogram(Resolution resolution, const LevelDistribution& distribution,
                                                const std::array<std::string, 10>& rows, const QString& message,
                                                QWidget* opener, ChartDialogs dialogs)
{
    auto* window = new HistogramWindow(resolution, opener, std::move(dialogs));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showDistribution(distribution, rows);
    window->setMessage(message);
    window->show();
    return window;
}

void HistogramWindow::buildWindow()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(tr("Histogram keys"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const char* name : {"Limit", "Print", "SaveImage"}) {
        const QString key = QString::fromLatin1(name);
        QAction* a = Toolbar1->addAction(key == QLatin1String("SaveImage") ? tr("Save Image") : key);
        a->setObjectName(key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { onToolbar1Click(key); });
    }
    setActionKey(Toolbar1->actions().at(0), QKeySequence(Qt::CTRL | Qt::Key_L));
    setActionKey(Toolbar1->actions().at(1), QKeySequence::Print);
    setActionKey(Toolbar1->actions().at(2), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    letTabReach(Toolbar1);
    addCloseKeys(this, false);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    nameComboBox(Combo1, tr("Track mode"));
    for (std::string_view item : histogramTrackItems())
        Combo1->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    Combo1->setCurrentIndex(0);
    connect(Combo1, &QComboBox::activated, this, &HistogramWindow::onCombo1Click);

    if (resolution_ == Resolution::whole) {
        LblMessage = new QLabel(this);
        LblMessage->setObjectName(QStringLiteral("LblMessage"));
        LblMessage->setAccessibleDescription(tr("Message"));
    }

    CWG = new GraphView(this);
    CWG->setObjectName(QStringLiteral("CWG"));
    CWG->setAccessibleName(tr("Level distribution graph"));
    CWG->setAxisCaption(1, QStringLiteral("dB"));
    CWG->setAxisCaption(2, QStringLiteral("FREQUENCY"));
    CWG->setTrackMode(GraphView::TrackMode::normal);

    GridLn = new QTableView(this);
    GridLn->setObjectName(QStringLiteral("GridLn"));
    GridLn->setAccessibleName(tr("Statistical levels"));
    lnModel_ = new QStandardItemModel(0, kGridColumns, this);
    lnModel_->setHorizontalHeaderLabels(split(gridLnHeader()));
    GridLn->setModel(lnModel_);
    GridLn->verticalHeader()->hide();
    GridLn->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridLn->verticalHeader()->setMinimumSectionSize(1);
}

void HistogramWindow::showDistribution(const LevelDistribution& distribution, const std::array<std::string, 10>& rows)
{
    const auto& counts = distribution.counts(resolution_);
    std::vector<double> keys;
    std::vector<double> values;
    topCount_ = 1.0;
    for (std::size_t bin = 0; bin < counts.size(); ++bin) {
        if (counts[bin] == 0)
            continue;
        keys.push_back(LevelDistribution::binLevel(resolution_, bin));
        values.push_back(static_cast<double>(counts[bin]));
        topCount_ = std::max(topCount_, values.back());
    }
    CWG->plotBars(keys, values, binWidth(resolution_));
    span_ = histogramLevelSpan(distribution, resolution_);
    resetScale();

    lnModel_->setRowCount(0);
    for (const std::string& row : rows) {
        QList<QStandardItem*> cells;
        for (const QString& cell : split(row))
            cells.append(new QStandardItem(cell));
        while (cells.size() < kGridColumns)
            cells.append(new QStandardItem);
        while (cells.size() > kGridColumns)
            delete cells.takeLast();
        lnModel_->appendRow(cells);
    }
}

void HistogramWindow::setMessage(const QString& text)
{
    if (LblMessage)
        LblMessage->setText(text);
}

void HistogramWindow::resetScale()
{
    if (span_)
        CWG->setAxisRange(1, span_->min, span_->max);
    CWG->setAxisRange(2, 0.0, topCount_ * 1.1);
}

void HistogramWindow::onToolbar1Click(const QString& key)
{
    if (key == QLatin1String("Limit"))
        Combo1->setVisible(Combo1->isHidden());
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("SaveImage"))
        saveImage(this, dialogs_, QStringLiteral("histogram.png"), pictureSize(),
                  [this](QPainter& painter, const QRectF& target) { drawPicture(painter, target); });
}

void HistogramWindow::onCombo1Click(int index)
{
    const QString item = Combo1->itemText(index);
    if (item == QLatin1String("Reset")) {
        CWG->setTrackMode(GraphView::TrackMode::normal);
        resetScale();
        Combo1->setCurrentIndex(0);
        return;
    }
    if (auto entry = trackModeNamed(item.toStdString()))
        CWG->setTrackMode(*GraphView::trackModeFromNumber(entry->mode));
}

void HistogramWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void HistogramWindow::layOut()
{
    const int top = twipsToPixels(kGraphTop);
    const int side = twipsToPixels(kSideRoom);
    const int gridHeight = twipsToPixels(kGridHeight);
    const int graphWidth = std::max(0, width() - side);
    const int graphHeight = std::max(0, height() - top - twipsToPixels(kBottomRoom) - gridHeight);

    Toolbar1->setGeometry(0, 0, Toolbar1->sizeHint().width(), top);
    const int comboWidth = 120;
    Combo1->setGeometry(Toolbar1->width() + 8, (top - Combo1->sizeHint().height()) / 2, comboWidth,
                        Combo1->sizeHint().height());
    if (LblMessage) {
        const int left = Combo1->x() + comboWidth + 12;
        LblMessage->setGeometry(left, 0, std::max(0, width() - left - side / 2), top);
    }
    CWG->setGeometry(side / 2, top, graphWidth, graphHeight);
    GridLn->setGeometry(side / 2, top + graphHeight, graphWidth, gridHeight);
    // The ten rows and eleven columns fit the table's room, so it never scrolls.
    const int frame = 2 * GridLn->frameWidth();
    const int rows = std::max(1, lnModel_->rowCount());
    const int rowHeight = (gridHeight - frame - GridLn->horizontalHeader()->sizeHint().height()) / rows;
    GridLn->verticalHeader()->setDefaultSectionSize(std::max(GridLn->fontMetrics().height(), rowHeight));
    const int columnWidth = std::min(twipsToPixels(width() * kTwipsPerPixel / kGridColumns - kColumnTrim),
                                     (graphWidth - frame) / kGridColumns);
    for (int c = 0; c < kGridColumns; ++c)
        GridLn->setColumnWidth(c, std::max(10, columnWidth));
}

QSize HistogramWindow::pictureSize() const
{
    const bool withMessage = LblMessage && !LblMessage->text().isEmpty();
    return {CWG->width(), CWG->height() + GridLn->height() + (withMessage ? LblMessage->height() : 0)};
}

void HistogramWindow::drawPicture(QPainter& painter, const QRectF& target)
{
    const QColor background = CWG->backgroundColor();
    const QColor plotArea = CWG->plotAreaColor();
    const QPalette gridPalette = GridLn->palette();
    CWG->setBackgroundColor(Qt::white);
    CWG->setPlotAreaColor(Qt::white);
    QPalette white = gridPalette;
    for (auto role : {QPalette::Base, QPalette::AlternateBase, QPalette::Window, QPalette::Button})
        white.setColor(role, Qt::white);
    GridLn->setPalette(white);

    // The window's picture without its toolbar: message, graph, table.
    const bool withMessage = LblMessage && !LblMessage->text().isEmpty();
    const QSize tall = pictureSize();
    const double scale =
        std::min(target.width() / std::max(1, tall.width()), target.height() / std::max(1, tall.height()));
    double y = target.top();
    if (withMessage) {
        painter.save();
        painter.translate(target.left(), y);
        painter.scale(scale, scale);
        LblMessage->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.restore();
        y += LblMessage->height() * scale;
    }
    const double graphHeight = CWG->height() * scale;
    CWG->render(painter, QRectF(target.left(), y, CWG->width() * scale, graphHeight));
    y += graphHeight;
    painter.save();
    painter.translate(target.left(), y);
    painter.scale(scale, scale);
    GridLn->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.restore();

    CWG->setBackgroundColor(background);
    CWG->setPlotAreaColor(plotArea);
    GridLn->setPalette(gridPalette);
}

void HistogramWindow::print()
{
    printPage(this, dialogs_, [this](QPainter& painter, const QRectF& page) { drawPicture(painter, page); });
}

} // namespace km740
