// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The core speaks UTF-8 std::string; the windows show QString.

#include <QFile>
#include <QString>

#include <filesystem>
#include <string_view>

namespace km740 {

inline QString q(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A path as the file system spells it.
inline std::filesystem::path fsPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace km740
