// SPDX-License-Identifier: GPL-3.0-or-later
// The manual chooser and the build meet at the file names: every language
// the chooser offers has its PDF beside the built program, whole, and in
// that language.
#include "app/panel/PanelWindow.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <array>

using namespace km740;

namespace {

// The title of a PDF as QPdfWriter writes it: UTF-16, high byte first.
QByteArray pdfTitleText(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() >> 8));
        bytes.append(static_cast<char>(c.unicode() & 0xff));
    }
    return bytes;
}

} // namespace

TEST(ManualFiles, EveryChooserLanguageHasItsBuiltManual)
{
    // By chooser index: English, French, German, Italian, Portuguese, Spanish.
    const std::array<QString, 6> titles{QStringLiteral("User Manual"),          QStringLiteral("Manuel d'utilisation"),
                                        QStringLiteral("Benutzerhandbuch"),     QStringLiteral("Manuale d'uso"),
                                        QStringLiteral("Manual do Utilizador"), QStringLiteral("Manual de usuario")};
    const QDir help(QStringLiteral(KM740_BINARY_DIR "/src/help"));
    for (int index = 0; index < 6; ++index) {
        const QString name = PanelWindow::helpFileName(index);
        SCOPED_TRACE(name.toStdString());
        QFile pdf(help.filePath(name));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << "not built: " << pdf.fileName().toStdString();
        const QByteArray bytes = pdf.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF-"));
        EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF")) << "cut short";
        EXPECT_TRUE(bytes.contains(pdfTitleText(titles[static_cast<std::size_t>(index)])))
            << "not the manual in this language";
    }
    EXPECT_TRUE(PanelWindow::helpFileName(6).isEmpty());
}
