// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/HeaderText.h"

#include "core/common/AtomicFile.h"
#include "core/files/InputFile.h"
#include "core/files/TextCodec.h"

#include <iterator>
#include <vector>

namespace km740 {

namespace {

constexpr std::size_t kMaxFileSize = 1 << 20;

bool needsQuotes(std::string_view t)
{
    return t.find_first_of(",\"") != std::string_view::npos ||
           (!t.empty() && (t.front() == ' ' || t.back() == ' ' || t.front() == '\t' || t.back() == '\t'));
}

std::string field(std::string_view t)
{
    if (!needsQuotes(t))
        return std::string(t);
    std::string out = "\"";
    for (char c : t) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The fields of one line.
void splitLine(std::string_view line, std::vector<std::string>& fields)
{
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        value += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i];
            }
            while (i < line.size() && line[i] != ',')
                ++i; // anything after the closing quote is dropped
        } else {
            std::size_t end = line.find(',', i);
            if (end == std::string_view::npos)
                end = line.size();
            std::string_view raw = line.substr(i, end - i);
            while (!raw.empty() && isBlank(raw.back()))
                raw.remove_suffix(1);
            value = std::string(raw);
            i = end;
        }
        fields.push_back(std::move(value));
        if (i >= line.size())
            return;
        ++i; // the comma
    }
}

} // namespace

std::string headerTextBytes(const HeaderText& text)
{
    std::string out;
    for (const std::string* t : {&text.name, &text.sector, &text.company}) {
        out += toWindows1252(field(*t));
        out += "\r\n";
    }
    return out;
}

Result<HeaderText> parseHeaderText(std::string_view bytes)
{
    std::vector<std::string> fields;
    std::size_t lineNo = 0;
    while (!bytes.empty()) {
        std::size_t nl = bytes.find('\n');
        std::string_view line = bytes.substr(0, nl);
        bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++lineNo;
        for (char c : line)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                return failure(FailureKind::data,
                               "line " + std::to_string(lineNo) + ": binary data in a header text file");
        splitLine(fromFileText(line), fields);
    }
    if (fields.size() < 3)
        return failure(FailureKind::data, "a header text file needs a name, a sector and a company");
    const std::size_t last = fields.size() / 3 * 3;
    return HeaderText{fields[last - 3], fields[last - 2], fields[last - 1]};
}

Status writeHeaderText(const std::filesystem::path& target, const HeaderText& text)
{
    return writeFileAtomically(target, headerTextBytes(text));
}

Result<HeaderText> readHeaderText(const std::filesystem::path& path)
{
    auto in = openInputFile(path);
    if (!in)
        return in.error();
    std::string bytes;
    bytes.resize(kMaxFileSize + 1);
    (*in)->read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>((*in)->gcount()));
    if (bytes.size() > kMaxFileSize)
        return failure(FailureKind::data, path.filename().string() + " is too large for a header text file");
    auto r = parseHeaderText(bytes);
    if (!r)
        return namingFile(path, r.error());
    return r;
}

} // namespace km740
