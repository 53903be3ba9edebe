// SPDX-License-Identifier: GPL-3.0-or-later
// km740-manual-pdf: turns one language's Markdown manual into the PDF the
// help chooser opens. A title page, a table of contents with page numbers,
// one chapter per page run, running heads, page numbers and screenshots
// scaled to the page width.
//
//   km740-manual-pdf MANUAL.md OUT.pdf --contents "Contents" --version 1.7
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDpi = 300;
constexpr double kBodyPoints = 10.0;
const QColor kAccent(0x1f, 0x4e, 0x79);

struct Heading {
    int level;
    QString text;
    int page; // content page, from 1
};

struct Manual {
    QString title;    // the first level-1 heading
    QString subtitle; // the paragraph right under it
    QString markdown; // the rest
};

int fail(const QString& message)
{
    std::fprintf(stderr, "km740-manual-pdf: %s\n", qPrintable(message));
    return 1;
}

// Splits off the title page: "# Title", a one-line subtitle, the body.
Manual splitTitle(const QString& text)
{
    Manual m;
    QStringList lines = text.split(QLatin1Char('\n'));
    int i = 0;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    if (i < lines.size() && lines[i].startsWith(QLatin1String("# "))) {
        m.title = lines[i].mid(2).trimmed();
        ++i;
        while (i < lines.size() && lines[i].trimmed().isEmpty())
            ++i;
        if (i < lines.size() && !lines[i].startsWith(QLatin1Char('#'))) {
            m.subtitle = lines[i].trimmed();
            ++i;
        }
    }
    m.markdown = lines.mid(i).join(QLatin1Char('\n'));
    return m;
}

const QRegularExpression& pictureLine()
{
    static const QRegularExpression line(QStringLiteral(R"(^!\[[^\]]*\]\(([^)\s]+)\)\s*$)"),
                                         QRegularExpression::MultilineOption);
    return line;
}

// A picture of a window the program does not have yet (make-screenshots
// skips keys that are not enabled) is left out of the manual, with a note.
QString withoutMissingPictures(const QString& markdown, const QDir& base)
{
    QString out = markdown;
    QStringList left;
    for (auto it = pictureLine().globalMatch(markdown); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (QFileInfo::exists(base.filePath(m.captured(1))))
            continue;
        left << QFileInfo(m.captured(1)).fileName();
        out.replace(m.captured(0), QString());
    }
    if (!left.isEmpty())
        std::fprintf(stderr, "km740-manual-pdf: note: pictures not taken yet, left out: %s\n",
                     qPrintable(left.join(QStringLiteral(", "))));
    return out;
}

// Every image the Markdown names, loaded from beside the file.
bool addImages(QTextDocument& doc, const QString& markdown, const QDir& base, QString* unreadable)
{
    static const QRegularExpression image(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
    for (auto it = image.globalMatch(markdown); it.hasNext();) {
        const QString name = it.next().captured(1);
        QImage img(base.filePath(name));
        if (img.isNull()) {
            *unreadable = base.filePath(name);
            return false;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(name), img);
    }
    return true;
}

// Body styles the Markdown import leaves plain: heading colour and space,
// images no wider than the text, table borders, a page break before each
// chapter.
void styleDocument(QTextDocument& doc, double textWidth)
{
    const double pxToDevice = kDpi / 96.0;
    bool firstChapter = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        const int level = block.blockFormat().headingLevel();
        if (level > 0) {
            QTextBlockFormat bf = block.blockFormat();
            bf.setTopMargin(level == 1 ? 0 : kDpi * 0.16);
            bf.setBottomMargin(kDpi * 0.06);
            if (level == 1 && !firstChapter)
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            if (level == 1)
                firstChapter = false;
            cursor.setBlockFormat(bf);
            cursor.select(QTextCursor::BlockUnderCursor);
            QTextCharFormat cf;
            cf.setForeground(kAccent);
            cursor.mergeCharFormat(cf);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat f = fragment.charFormat().toImageFormat();
            const QImage img = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
            if (img.isNull())
                continue;
            // The image's size is given in screen pixels; the layout scales
            // it to the page's resolution. Screenshots print at the screen's
            // 96 dpi, no wider than the text.
            const double widest = textWidth / pxToDevice;
            double w = img.width();
            double h = img.height();
            if (w > widest) {
                h *= widest / w;
                w = widest;
            }
            f.setWidth(w);
            f.setHeight(h);
            QTextCursor c(&doc);
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(f);
        }
    }
    // Tables: thin grey rules and some padding.
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat tf = table->format();
            tf.setBorder(0.6 * kDpi / 72.0);
            tf.setBorderBrush(QColor(0x9a, 0xa5, 0xb1));
            tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            tf.setBorderCollapse(true);
            tf.setCellPadding(kDpi * 0.03);
            tf.setCellSpacing(0);
            tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            tf.setHeaderRowCount(1); // repeated on every page the table runs over
            table->setFormat(tf);
            // Header row shaded.
            for (int col = 0; col < table->columns(); ++col) {
                QTextTableCell cell = table->cellAt(0, col);
                QTextCharFormat cf = cell.format();
                cf.setBackground(QColor(0xe8, 0xee, 0xf4));
                cell.setFormat(cf);
            }
        }
    }
}

bool holdsImage(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            return true;
    return false;
}

// Starts a new page before a heading or a lead-in line ("The buttons:") that
// would stand alone at the foot of a page, and before a picture that would
// not fit on what is left of it.
void keepWithNext(QTextDocument& doc, double pageHeight)
{
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable())
            continue;
        const bool heading = block.blockFormat().headingLevel() > 1;
        const QString text = block.text().trimmed();
        const bool leadIn = text.endsWith(QLatin1Char(':')) && text.size() < 200;
        const bool image = holdsImage(block);
        if (!heading && !leadIn && !image)
            continue;
        const QRectF r = layout->blockBoundingRect(block);
        const double top = std::fmod(r.top(), pageHeight);
        double need = r.height();
        if (heading || leadIn) {
            const QTextBlock next = block.next();
            const double nextHeight = next.isValid() ? layout->blockBoundingRect(next).height() : 0.0;
            need += next.isValid() && holdsImage(next) ? nextHeight : pageHeight * 0.1;
        }
        if (top > pageHeight * 0.05 && top + need > pageHeight) {
            // A heading goes along with the lead-in or picture under it.
            QTextBlock first = block;
            if (!heading && block.previous().isValid() && block.previous().blockFormat().headingLevel() > 1)
                first = block.previous();
            QTextBlockFormat bf = first.blockFormat();
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(first).setBlockFormat(bf);
            // What follows moved: lay it out again before measuring on.
            doc.markContentsDirty(first.position(), doc.characterCount() - first.position());
            (void)layout->documentSize();
        }
    }
}

std::vector<Heading> headingsOf(QTextDocument& doc, double pageHeight)
{
    std::vector<Heading> headings;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2)
            continue;
        const QRectF r = layout->blockBoundingRect(block);
        headings.push_back({level, block.text().trimmed(), static_cast<int>(r.top() / pageHeight) + 1});
    }
    return headings;
}

QFont font(const QString& family, double points, bool bold = false)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void drawTitlePage(QPainter& p, const QRectF& page, const Manual& m, const QString& version, const QString& iconFile)
{
    const double inch = kDpi;
    p.fillRect(QRectF(page.left(), page.top(), page.width(), inch * 0.25), kAccent);
    if (!iconFile.isEmpty()) {
        QSvgRenderer icon(iconFile);
        if (icon.isValid())
            icon.render(&p, QRectF(page.center().x() - inch * 0.75, page.top() + inch * 1.6, inch * 1.5, inch * 1.5));
    }
    p.setPen(kAccent);
    p.setFont(font(QStringLiteral("DejaVu Sans"), 28, true));
    QRectF titleBox(page.left(), page.top() + inch * 3.6, page.width(), inch * 1.6);
    p.drawText(titleBox, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m.title);
    p.setPen(Qt::black);
    p.setFont(font(QStringLiteral("DejaVu Sans"), 14));
    p.drawText(QRectF(page.left(), page.top() + inch * 5.3, page.width(), inch * 1.2),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m.subtitle);
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 11));
    p.drawText(QRectF(page.left(), page.bottom() - inch * 1.2, page.width(), inch * 0.5), Qt::AlignHCenter,
               QStringLiteral("KM740 · %1").arg(version));
}

// The contents pages, as many as the headings need; they carry no number.
void drawContents(QPdfWriter& writer, QPainter& p, const QRectF& page, const QString& heading,
                  const std::vector<Heading>& headings)
{
    const double inch = kDpi;
    double y = page.top();
    p.setPen(kAccent);
    p.setFont(font(QStringLiteral("DejaVu Sans"), 20, true));
    p.drawText(QRectF(page.left(), y, page.width(), inch * 0.6), Qt::AlignLeft | Qt::AlignVCenter, heading);
    y += inch * 0.9;
    for (const Heading& h : headings) {
        const bool chapter = h.level == 1;
        const QFont f = font(QStringLiteral("DejaVu Sans"), chapter ? 11.5 : 10, chapter);
        const double lineHeight = QFontMetricsF(f, &writer).height() * (chapter ? 1.7 : 1.35);
        if (y + lineHeight > page.bottom()) {
            writer.newPage();
            y = page.top();
        }
        p.setFont(f);
        p.setPen(chapter ? kAccent : Qt::black);
        const double indent = chapter ? 0 : inch * 0.3;
        const QRectF line(page.left() + indent, y, page.width() - indent, lineHeight);
        const QString number = QString::number(h.page);
        const QFontMetricsF fm(f, &writer);
        const double textRight = page.right() - fm.horizontalAdvance(number) - inch * 0.15;
        const QString text = fm.elidedText(h.text, Qt::ElideRight, textRight - line.left() - inch * 0.3);
        p.drawText(line, Qt::AlignLeft | Qt::AlignBottom, text);
        p.drawText(line, Qt::AlignRight | Qt::AlignBottom, number);
        // Dot leader between the text and the number.
        const double from = line.left() + fm.horizontalAdvance(text) + inch * 0.08;
        QPen dots(QColor(0x99, 0x99, 0x99), kDpi / 100.0, Qt::DotLine);
        p.setPen(dots);
        const double baseline = line.bottom() - fm.descent();
        if (textRight > from)
            p.drawLine(QPointF(from, baseline), QPointF(textRight, baseline));
        y += lineHeight;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no display is needed for a PDF.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Markdown manual to PDF"));
    parser.addHelpOption();
    const QCommandLineOption contentsOption(QStringLiteral("contents"),
                                            QStringLiteral("Heading of the table of contents"), QStringLiteral("TEXT"),
                                            QStringLiteral("Contents"));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Version on the title page"),
                                           QStringLiteral("TEXT"), QStringLiteral(""));
    const QCommandLineOption iconOption(QStringLiteral("icon"), QStringLiteral("SVG for the title page"),
                                        QStringLiteral("FILE"));
    parser.addOption(contentsOption);
    parser.addOption(versionOption);
    parser.addOption(iconOption);
    parser.addPositionalArgument(QStringLiteral("manual"), QStringLiteral("Markdown file"));
    parser.addPositionalArgument(QStringLiteral("pdf"), QStringLiteral("PDF to write"));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return fail(QStringLiteral("give the Markdown file and the PDF to write"));

    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(args[0]));
    const Manual manual = splitTitle(QString::fromUtf8(in.readAll()));
    if (manual.title.isEmpty())
        return fail(QStringLiteral("%1 does not start with a \"# Title\" line").arg(args[0]));

    // Written to a temporary name and renamed, so a failed run leaves no
    // half a manual behind.
    const QString partial = args[1] + QStringLiteral(".part");
    QPdfWriter writer(partial);
    writer.setResolution(kDpi);
    writer.setTitle(manual.title);
    writer.setCreator(QStringLiteral("km740-manual-pdf"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 22, 20, 20),
                                     QPageLayout::Millimeter));
    const QRectF page =
        writer.pageLayout().paintRectPixels(kDpi).translated(-writer.pageLayout().paintRectPixels(kDpi).topLeft());
    const double headRoom = kDpi * 0.35;
    const QRectF body(page.left(), page.top() + headRoom, page.width(), page.height() - 2 * headRoom);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(font(QStringLiteral("DejaVu Sans"), kBodyPoints));
    const QDir base = QFileInfo(args[0]).dir();
    const QString markdown = withoutMissingPictures(manual.markdown, base);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    // After the Markdown: setting it clears the document's resources.
    QString unreadable;
    if (!addImages(doc, markdown, base, &unreadable))
        return fail(QStringLiteral("image %1 cannot be read").arg(unreadable));
    doc.setDocumentMargin(0);
    styleDocument(doc, body.width());
    // Laid out once more, whole, now that the styles are in.
    doc.setPageSize(body.size());
    doc.markContentsDirty(0, doc.characterCount());
    (void)doc.documentLayout()->documentSize();
    keepWithNext(doc, body.height());

    const std::vector<Heading> headings = headingsOf(doc, body.height());
    const int pageCount = doc.pageCount();

    QPainter p;
    if (!p.begin(&writer))
        return fail(QStringLiteral("cannot write %1").arg(partial));
    drawTitlePage(p, page, manual, parser.value(versionOption), parser.value(iconOption));
    writer.newPage();
    drawContents(writer, p, page, parser.value(contentsOption), headings);

    const QFont headFont = font(QStringLiteral("DejaVu Sans"), 8);
    QString chapter;
    std::size_t nextHeading = 0;
    for (int i = 0; i < pageCount; ++i) {
        writer.newPage();
        while (nextHeading < headings.size() && headings[nextHeading].page <= i + 1) {
            if (headings[nextHeading].level == 1)
                chapter = headings[nextHeading].text;
            ++nextHeading;
        }
        // Running head: manual title left, chapter right, a rule under them.
        p.setFont(headFont);
        p.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF head(page.left(), page.top(), page.width(), headRoom * 0.6);
        p.drawText(head, Qt::AlignLeft | Qt::AlignTop, manual.title);
        p.drawText(head, Qt::AlignRight | Qt::AlignTop, chapter);
        p.setPen(QPen(kAccent, kDpi / 150.0));
        p.drawLine(QPointF(page.left(), page.top() + headRoom * 0.7),
                   QPointF(page.right(), page.top() + headRoom * 0.7));

        p.save();
        p.translate(body.left(), body.top() - i * body.height());
        const QRectF clip(0, i * body.height(), body.width(), body.height());
        p.setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = clip;
        ctx.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&p, ctx);
        p.restore();

        p.setFont(headFont);
        p.setPen(QColor(0x55, 0x55, 0x55));
        p.drawText(QRectF(page.left(), page.bottom() - headRoom * 0.6, page.width(), headRoom * 0.6),
                   Qt::AlignHCenter | Qt::AlignBottom, QString::number(i + 1));
    }
    if (!p.end())
        return fail(QStringLiteral("cannot finish %1").arg(partial));

    QFile::remove(args[1]);
    if (!QFile::rename(partial, args[1]))
        return fail(QStringLiteral("cannot rename %1 to %2").arg(partial, args[1]));
    return 0;
}
