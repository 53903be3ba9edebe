// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ReportPages.h"

#include "platform/ReportDrawing.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <functional>

#if defined(__GLIBC__)
#include <langinfo.h>
#endif

namespace km740 {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// A piece of the page flow: a heading, a block, a table row.
struct Piece {
    double height = 0.0;
    std::function<void(QPainter&, const QRectF&)> draw;
    bool keepWithNext = false; // never the last piece of a page
    int header = -1;           // a table row: its header piece, repeated at the top of a new page
};

struct Placed {
    int piece;
    double y;
};

// What the foot of every page says.
struct PageFoot {
    std::string pagePattern;
    std::string made;
    std::string program;
};

// The page flow every report is laid out with: pieces one below the other,
// broken into pages, with the same headings, tables, verdict marks, notes
// box and foot.
class Layout {
public:
    Layout(QPagedPaintDevice& device, PageFoot foot)
        : device_(device), foot_(std::move(foot)),
          scale_(DrawingScale::forDevice(device.logicalDpiY(), QFontDatabase::systemFont(QFontDatabase::GeneralFont)))
    {
        mm_ = scale_.mm;
        width_ = device.width();
        footHeight_ = 9 * mm_;
        bodyHeight_ = device.height() - footHeight_;
        bold_ = scale_.text;
        bold_.setBold(true);
        heading_ = scale_.text;
        heading_.setPointSizeF(10.5);
        heading_.setBold(true);
        title_ = scale_.text;
        title_.setPointSizeF(15.0);
        title_.setBold(true);
    }

    virtual ~Layout() = default;

    int paint()
    {
        build();
        const auto pages = paginate();
        QPainter p;
        if (!p.begin(&device_))
            return 0;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                device_.newPage();
            for (const Placed& at : pages[i])
                pieces_[static_cast<std::size_t>(at.piece)].draw(
                    p, QRectF(0, at.y, width_, pieces_[static_cast<std::size_t>(at.piece)].height));
            foot(p, static_cast<int>(i) + 1, static_cast<int>(pages.size()));
        }
        p.end();
        return static_cast<int>(pages.size());
    }

protected:
    virtual void build() = 0;

    double lineHeight(const QFont& f) const { return QFontMetricsF(f, &device_).lineSpacing(); }
    double textHeight(const QFont& f, double width, const QString& text, int flags = 0) const
    {
        return QFontMetricsF(f, &device_)
            .boundingRect(QRectF(0, 0, width, 1e6), flags | Qt::TextWordWrap, text)
            .height();
    }

    // The lines `text` breaks into at `width`, at its own line breaks and
    // between words (within a word too long for a line).
    std::vector<QString> wrappedLines(QString text, const QFont& font, double width) const
    {
        std::vector<QString> lines;
        if (text.trimmed().isEmpty())
            return lines;
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(text, font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            QString part = text.mid(l.textStart(), l.textLength());
            part.remove(QChar::LineSeparator);
            while (part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            lines.push_back(part);
        }
        layout.endLayout();
        return lines;
    }

    int add(Piece piece)
    {
        pieces_.push_back(std::move(piece));
        return static_cast<int>(pieces_.size()) - 1;
    }

    void heading(const std::string& text)
    {
        const double h = lineHeight(heading_) + 4.5 * mm_;
        add({h,
             [this, text](QPainter& p, const QRectF& r) {
                 p.setFont(heading_);
                 p.setPen(Qt::black);
                 p.drawText(QRectF(r.left(), r.top() + 3 * mm_, r.width(), r.height()), Qt::AlignLeft | Qt::AlignTop,
                            qs(text));
             },
             true});
    }

    // Label and value pairs in one column.
    void fields(QPainter& p, const QRectF& r, const std::vector<ReportField>& list, double labelWidth) const
    {
        const double row = lineHeight(scale_.text) * 1.2;
        const QFontMetricsF m(scale_.text, &device_);
        double y = r.top();
        for (const ReportField& f : list) {
            p.setFont(scale_.text);
            p.setPen(QColor(0x40, 0x40, 0x40));
            p.drawText(QRectF(r.left(), y, labelWidth, row), Qt::AlignLeft | Qt::AlignVCenter, qs(f.label));
            p.setFont(bold_);
            p.setPen(Qt::black);
            const double valueWidth = r.width() - labelWidth;
            p.drawText(QRectF(r.left() + labelWidth, y, valueWidth, row), Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetricsF(bold_, &device_).elidedText(qs(f.value), Qt::ElideMiddle, valueWidth));
            y += row;
        }
    }

    double labelWidth(const std::vector<ReportField>& list) const
    {
        const QFontMetricsF m(scale_.text, &device_);
        double w = 0;
        for (const ReportField& f : list)
            w = std::max(w, m.horizontalAdvance(qs(f.label)));
        return w + 3 * mm_;
    }

    // The title under a rule, then label and value pairs on the left and,
    // under their own title, on the right.
    void titleAndHead(const std::string& title, const std::vector<ReportField>& left, const std::string& rightTitle,
                      const std::vector<ReportField>& right)
    {
        add({lineHeight(title_) + 3 * mm_, [this, title](QPainter& p, const QRectF& r) {
                 p.setFont(title_);
                 p.setPen(Qt::black);
                 p.drawText(r, Qt::AlignLeft | Qt::AlignTop, qs(title));
                 p.setPen(QPen(Qt::black, 0.4 * mm_));
                 p.drawLine(QPointF(r.left(), r.bottom() - 1 * mm_), QPointF(r.right(), r.bottom() - 1 * mm_));
             }});
        const double row = lineHeight(scale_.text) * 1.2;
        const double rows = static_cast<double>(std::max(left.size(), right.size() + 1));
        add({rows * row + 2 * mm_, [this, left, rightTitle, right, row](QPainter& p, const QRectF& r) {
                 const double half = r.width() * 0.52;
                 fields(p, QRectF(r.left(), r.top() + 1 * mm_, half - 4 * mm_, r.height()), left, labelWidth(left));
                 const QRectF side(r.left() + half, r.top() + 1 * mm_, r.width() - half, r.height());
                 p.setFont(bold_);
                 p.drawText(QRectF(side.left(), side.top(), side.width(), row), Qt::AlignLeft | Qt::AlignVCenter,
                            qs(rightTitle));
                 fields(p, side.adjusted(0, row, 0, 0), right, labelWidth(right));
             }});
    }

    // A table: header and rows, each column as wide as its widest cell (a
    // header may wrap between words), `flexColumn` taking what is left and
    // wrapping; the header again at the top of every page the rows go on to.
    void table(int flexColumn, const std::vector<QString>& header, const std::vector<std::vector<QString>>& rows,
               const std::vector<int>& severities, const std::vector<bool>& rightAligned, int verdictColumn)
    {
        const double pad = 1.3 * mm_;
        const double swatch = 3.0 * mm_;
        const QFontMetricsF plain(scale_.text, &device_);
        const QFontMetricsF heavy(bold_, &device_);
        const auto flex = static_cast<std::size_t>(flexColumn);
        // The flexible column keeps room for its longest cell on one line
        // (bold, for a verdict), up to a third of the page.
        double flexMin = 30 * mm_;
        for (const auto& cells : rows)
            if (flex < cells.size())
                flexMin = std::max(flexMin, heavy.horizontalAdvance(cells[flex]) + 2 * pad +
                                                (flexColumn == verdictColumn ? swatch + pad : 0.0));
        flexMin = std::min(flexMin, width_ / 3);
        // Headers on one line where the page is wide enough, else wrapped
        // between their words.
        std::vector<double> widths;
        double fixed = 0.0;
        for (bool wholeHeaders : {true, false}) {
            widths.assign(header.size(), 0.0);
            for (std::size_t i = 0; i < header.size(); ++i) {
                const QStringList words =
                    wholeHeaders ? QStringList{header[i]} : header[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
                for (const QString& w : words)
                    widths[i] = std::max(widths[i], heavy.horizontalAdvance(w));
                // A verdict above an action value is set in bold.
                const QFontMetricsF& cellMetrics = static_cast<int>(i) == verdictColumn ? heavy : plain;
                for (const auto& cells : rows)
                    if (i < cells.size())
                        widths[i] = std::max(widths[i], cellMetrics.horizontalAdvance(cells[i]));
                widths[i] += 2 * pad + (static_cast<int>(i) == verdictColumn ? swatch + pad : 0.0);
            }
            fixed = 0.0;
            for (std::size_t i = 0; i < widths.size(); ++i)
                if (i != flex)
                    fixed += widths[i];
            if (fixed + flexMin <= width_)
                break;
        }
        if (fixed + flexMin > width_) {
            for (std::size_t i = 0; i < widths.size(); ++i)
                if (i != flex)
                    widths[i] *= (width_ - flexMin) / fixed;
            fixed = width_ - flexMin;
        }
        widths[flex] = width_ - fixed;

        auto cellWidth = [=](std::size_t i) {
            return widths[i] - 2 * pad - (static_cast<int>(i) == verdictColumn ? swatch + pad : 0.0);
        };
        auto fontOf = [=, this](std::size_t i, bool isHeader, int severity) {
            QFont f = isHeader ? bold_ : scale_.text;
            if (!isHeader && static_cast<int>(i) == verdictColumn)
                f.setBold(severity > 0);
            return f;
        };
        auto rowHeight = [&](const std::vector<QString>& cells, bool isHeader, int severity) {
            double h = lineHeight(bold_);
            for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i)
                h = std::max(h, textHeight(fontOf(i, isHeader, severity), cellWidth(i), cells[i]));
            return h + 1.4 * mm_;
        };
        auto drawRow = [=, this](QPainter& p, const QRectF& r, const std::vector<QString>& cells, int severity,
                                 bool isHeader) {
            double x = r.left();
            for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
                QRectF cell(x + pad, r.top() + 0.7 * mm_, cellWidth(i), r.height() - 1.4 * mm_);
                if (!isHeader && static_cast<int>(i) == verdictColumn) {
                    verdictSwatch(p, QRectF(x + pad, r.top() + (r.height() - swatch) / 2, swatch, swatch), severity);
                    cell.translate(swatch + pad, 0);
                }
                p.setFont(fontOf(i, isHeader, severity));
                p.setPen(Qt::black);
                const int align = rightAligned[i] ? Qt::AlignRight : Qt::AlignLeft;
                p.drawText(cell, align | Qt::AlignVCenter | Qt::TextWordWrap, cells[i]);
                x += widths[i];
            }
            p.setPen(QPen(QColor(0x80, 0x80, 0x80), (isHeader ? 0.3 : 0.1) * mm_));
            p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()));
        };
        const int head = add(
            {rowHeight(header, true, 0), [=](QPainter& p, const QRectF& r) { drawRow(p, r, header, 0, true); }, true});
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto cells = rows[i];
            const int severity = i < severities.size() ? severities[i] : 0;
            add({rowHeight(cells, false, severity),
                 [=](QPainter& p, const QRectF& r) { drawRow(p, r, cells, severity, false); }, false, head});
        }
    }

    // The mark of a verdict: colour for the screen, a pattern that reads on
    // a black and white page, an empty box below every value.
    void verdictSwatch(QPainter& p, const QRectF& r, int severity) const
    {
        static const QColor colours[] = {Qt::white, QColor(0xf2, 0xc9, 0x4c), QColor(0xe6, 0x7e, 0x22),
                                         QColor(0xc0, 0x39, 0x2b)};
        static const Qt::BrushStyle patterns[] = {Qt::NoBrush, Qt::Dense6Pattern, Qt::BDiagPattern,
                                                  Qt::DiagCrossPattern};
        const int s = std::clamp(severity, 0, 3);
        p.fillRect(r, colours[s]);
        if (s > 0)
            p.fillRect(r, QBrush(QColor(0x20, 0x20, 0x20), patterns[s]));
        p.setPen(QPen(Qt::black, 0.2 * mm_));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }

    void paragraph(const std::string& text, const QFont& font, double above = 0.0)
    {
        const QString t = qs(text);
        add({textHeight(font, width_, t) + above + 1 * mm_, [t, font, above](QPainter& p, const QRectF& r) {
                 p.setFont(font);
                 p.setPen(Qt::black);
                 p.drawText(r.adjusted(0, above, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, t);
             }});
    }

    // The notes box: a piece a line, so long notes go on over the next
    // page rather than being cut off; the box is drawn round each part.
    void notes(const std::string& title, const std::string& written, const std::string& signature,
               const std::string& date)
    {
        heading(title);
        const double pad = 2 * mm_;
        const std::vector<QString> lines = wrappedLines(qs(written), scale_.text, width_ - 2 * pad);
        const double line = lineHeight(scale_.text);
        // An empty box still leaves room to write in by hand.
        const double minimum = 22 * mm_;
        const double filled = static_cast<double>(lines.size()) * line + 2 * pad;
        for (std::size_t i = 0; i < std::max<std::size_t>(lines.size(), 1); ++i) {
            const bool first = i == 0;
            const bool last = i + 1 >= lines.size();
            const QString text = i < lines.size() ? lines[i] : QString();
            double h = line + (first ? pad : 0.0) + (last ? pad : 0.0);
            if (last && filled < minimum)
                h += minimum - filled;
            add({h, [this, text, first, last, pad, line](QPainter& p, const QRectF& r) {
                     p.setPen(QPen(Qt::black, 0.25 * mm_));
                     p.drawLine(r.topLeft(), r.bottomLeft());
                     p.drawLine(r.topRight(), r.bottomRight());
                     if (first)
                         p.drawLine(r.topLeft(), r.topRight());
                     if (last)
                         p.drawLine(r.bottomLeft(), r.bottomRight());
                     p.setFont(scale_.text);
                     const double top = r.top() + (first ? pad : 0.0);
                     p.drawText(QRectF(r.left() + pad, top, r.width() - 2 * pad, line),
                                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
                 }});
        }
        add({16 * mm_, [this, signature, date](QPainter& p, const QRectF& r) {
                 p.setFont(scale_.text);
                 p.setPen(QPen(Qt::black, 0.2 * mm_));
                 const double y = r.bottom() - 2 * mm_;
                 const double half = r.width() / 2;
                 p.drawText(QPointF(r.left(), y - 1 * mm_), qs(signature));
                 p.drawLine(QPointF(r.left() + 25 * mm_, y), QPointF(r.left() + half - 8 * mm_, y));
                 p.drawText(QPointF(r.left() + half, y - 1 * mm_), qs(date));
                 p.drawLine(QPointF(r.left() + half + 18 * mm_, y), QPointF(r.right(), y));
             }});
    }

    std::vector<std::vector<Placed>> paginate() const
    {
        std::vector<std::vector<Placed>> pages(1);
        double y = 0;
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            // A heading goes with what follows it.
            double needed = pieces_[i].height;
            for (std::size_t j = i; pieces_[j].keepWithNext && j + 1 < pieces_.size(); ++j)
                needed += pieces_[j + 1].height;
            if (y > 0 && y + needed > bodyHeight_) {
                pages.emplace_back();
                y = 0;
                if (const int h = pieces_[i].header; h >= 0) {
                    pages.back().push_back({h, y});
                    y += pieces_[static_cast<std::size_t>(h)].height;
                }
            }
            pages.back().push_back({static_cast<int>(i), y});
            y += pieces_[i].height;
        }
        return pages;
    }

    void foot(QPainter& p, int page, int pages) const
    {
        const QRectF r(0, device_.height() - footHeight_ + 3 * mm_, width_, footHeight_ - 3 * mm_);
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.2 * mm_));
        p.drawLine(QPointF(r.left(), r.top()), QPointF(r.right(), r.top()));
        p.setFont(scale_.small);
        p.setPen(Qt::black);
        const QString number = qs(fillIn(foot_.pagePattern, {std::to_string(page), std::to_string(pages)}));
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, qs(foot_.program));
        p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter, qs(foot_.made));
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, number);
    }

    QPagedPaintDevice& device_;
    PageFoot foot_;
    DrawingScale scale_;
    QFont bold_, heading_, title_;
    double mm_ = 1.0;
    double width_ = 0.0;
    double footHeight_ = 0.0;
    double bodyHeight_ = 0.0;
    std::vector<Piece> pieces_;
};

// The report of one recording.
class FileLayout : public Layout {
public:
    FileLayout(QPagedPaintDevice& device, const ReportContent& content)
        : Layout(device, {content.pagePattern, content.made, content.program}), c_(content)
    {
    }

private:
    void build() override
    {
        std::vector<ReportField> left = c_.who;
        left.insert(left.end(), c_.measurement.begin(), c_.measurement.end());
        titleAndHead(c_.title, left, c_.settingsTitle, c_.settings);
        chart();
        exclusions();
        summary();
        histogram();
        notes(c_.notesTitle, c_.notes, c_.signature, c_.date);
    }

    void chart()
    {
        heading(c_.chart.title);
        add({82 * mm_, [this](QPainter& p, const QRectF& r) { drawTimeHistory(p, r, c_.chart, scale_); }});
    }

    void exclusions()
    {
        heading(c_.exclusionsTitle);
        if (c_.exclusions.empty()) {
            paragraph(c_.nothingExcluded, scale_.text);
            return;
        }
        std::vector<QString> header;
        for (const std::string& h : c_.exclusionsHeader)
            header.push_back(qs(h));
        std::vector<std::vector<QString>> rows;
        for (const ExclusionLine& e : c_.exclusions)
            rows.push_back({qs(e.number), qs(e.from), qs(e.to), qs(e.readings), qs(e.reason)});
        table(4, header, rows, {}, {true, false, false, true, false}, -1);
    }

    void summary()
    {
        heading(c_.summaryTitle);
        const std::size_t half = (c_.overall.size() + 1) / 2;
        const std::vector<ReportField> left(c_.overall.begin(), c_.overall.begin() + static_cast<long>(half));
        const std::vector<ReportField> right(c_.overall.begin() + static_cast<long>(half), c_.overall.end());
        const double row = lineHeight(scale_.text) * 1.2;
        add({static_cast<double>(half) * row + 3 * mm_, [this, left, right](QPainter& p, const QRectF& r) {
                 const double w = r.width() * 0.56;
                 fields(p, QRectF(r.left(), r.top(), w - 4 * mm_, r.height()), left, labelWidth(left));
                 fields(p, QRectF(r.left() + w, r.top(), r.width() - w, r.height()), right, labelWidth(right));
             }});
        std::vector<QString> header;
        for (const std::string& h : c_.standardsHeader)
            header.push_back(qs(h));
        std::vector<std::vector<QString>> rows;
        std::vector<int> severities;
        for (const StandardLine& s : c_.standards) {
            std::vector<QString> cells;
            for (const std::string& cell : s.cells)
                cells.push_back(qs(cell));
            cells.push_back(qs(s.judgement));
            rows.push_back(std::move(cells));
            severities.push_back(severityOf(s.verdict));
        }
        std::vector<bool> right_(10, true);
        right_[0] = right_[1] = right_[9] = false;
        table(9, header, rows, severities, right_, 9);
        // How each regulation is judged, in one block.
        std::string legend;
        for (const std::string& line : c_.legend)
            legend += (legend.empty() ? "" : "\n") + line;
        paragraph(legend, scale_.small, 1.5 * mm_);
    }

    void histogram()
    {
        heading(c_.histogram.title);
        add({60 * mm_, [this](QPainter& p, const QRectF& r) {
                 const double tableWidth = 48 * mm_;
                 drawHistogram(p, QRectF(r.left(), r.top(), r.width() - tableWidth - 6 * mm_, r.height()), c_.histogram,
                               scale_);
                 const QRectF t(r.right() - tableWidth, r.top() + 2 * mm_, tableWidth, r.height());
                 p.setFont(scale_.small);
                 p.setPen(Qt::black);
                 const double row = lineHeight(scale_.text) * 1.25;
                 const QString caption = qs(c_.histogram.lnCaption);
                 const double captionHeight = textHeight(scale_.small, t.width(), caption);
                 p.drawText(QRectF(t.left(), t.top(), t.width(), captionHeight), Qt::TextWordWrap, caption);
                 double y = t.top() + captionHeight + 1.5 * mm_;
                 for (const ReportField& f : c_.histogram.ln) {
                     p.setFont(scale_.text);
                     p.drawText(QRectF(t.left() + 2 * mm_, y, 14 * mm_, row), Qt::AlignLeft | Qt::AlignVCenter,
                                qs(f.label));
                     p.setFont(bold_);
                     p.drawText(QRectF(t.left() + 16 * mm_, y, 18 * mm_, row), Qt::AlignRight | Qt::AlignVCenter,
                                qs(f.value));
                     p.setFont(scale_.text);
                     p.drawText(QRectF(t.left() + 35 * mm_, y, 10 * mm_, row), Qt::AlignLeft | Qt::AlignVCenter,
                                QStringLiteral("dB"));
                     p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 0.1 * mm_));
                     p.drawLine(QPointF(t.left(), y + row), QPointF(t.right(), y + row));
                     p.setPen(Qt::black);
                     y += row;
                 }
             }});
    }

    const ReportContent& c_;
};

// A person's week: the days worked, then the week's value judged.
class WeekLayout : public Layout {
public:
    WeekLayout(QPagedPaintDevice& device, const WeekReportContent& content)
        : Layout(device, {content.pagePattern, content.made, content.program}), w_(content)
    {
    }

private:
    void build() override
    {
        std::vector<ReportField> left = w_.who;
        left.insert(left.end(), w_.when.begin(), w_.when.end());
        titleAndHead(w_.title, left, std::string(), {});
        heading(w_.daysTitle);
        if (w_.days.empty()) {
            paragraph(w_.noDays, scale_.text);
        } else {
            std::vector<QString> header;
            for (const std::string& h : w_.daysHeader)
                header.push_back(qs(h));
            std::vector<std::vector<QString>> rows;
            std::vector<int> severities;
            for (const WeekDayLine& d : w_.days) {
                std::vector<QString> cells;
                for (const std::string& cell : d.cells)
                    cells.push_back(qs(cell));
                cells.push_back(qs(d.judgement));
                rows.push_back(std::move(cells));
                severities.push_back(severityOf(d.verdict));
            }
            table(3, header, rows, severities, {false, true, true, false, false}, 4);
        }
        if (!w_.notCounted.empty())
            paragraph(w_.notCounted, scale_.small, 1.5 * mm_);

        heading(w_.weekTitle);
        std::vector<QString> header;
        for (const std::string& h : w_.weekHeader)
            header.push_back(qs(h));
        std::vector<QString> cells;
        for (const std::string& cell : w_.weekCells)
            cells.push_back(qs(cell));
        cells.push_back(qs(w_.judgement));
        table(3, header, {cells}, {severityOf(w_.verdict)}, {true, true, true, false}, 3);
        std::string legend;
        for (const std::string& line : w_.legend)
            legend += (legend.empty() ? "" : "\n") + line;
        paragraph(legend, scale_.small, 1.5 * mm_);

        notes(w_.notesTitle, w_.notes, w_.signature, w_.date);
    }

    const WeekReportContent& w_;
};

} // namespace

int paintReport(QPagedPaintDevice& device, const ReportContent& content)
{
    return FileLayout(device, content).paint();
}

int paintReport(QPagedPaintDevice& device, const WeekReportContent& content)
{
    return WeekLayout(device, content).paint();
}

std::string programAndVersion()
{
    return std::string("km740 ") + KM740_VERSION;
}

std::string reportMadeAt(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

QPageSize::PageSizeId reportPaper(const QLocale& locale)
{
#if defined(__GLIBC__) && defined(_NL_PAPER_WIDTH)
    const char* paper = std::setlocale(LC_PAPER, nullptr);
    if (paper && std::strcmp(paper, "C") != 0 && std::strcmp(paper, "POSIX") != 0) {
        const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
        return width == 216 ? QPageSize::Letter : QPageSize::A4;
    }
#endif
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::CostaRica:
    case QLocale::DominicanRepublic:
    case QLocale::ElSalvador:
    case QLocale::Guatemala:
    case QLocale::Nicaragua:
    case QLocale::Panama:
    case QLocale::Philippines:
    case QLocale::PuertoRico:
    case QLocale::Venezuela: return QPageSize::Letter;
    default: return QPageSize::A4;
    }
}

} // namespace km740
