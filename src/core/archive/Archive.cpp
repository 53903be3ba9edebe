// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/Archive.h"

#include "core/archive/ArchiveSchema.h"
#include "core/archive/FileAnalysis.h"
#include "core/archive/Sha256.h"
#include "core/common/AtomicFile.h"
#include "core/exposure/ExposureAnalysis.h"
#include "core/files/InputFile.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace km740 {

namespace {

constexpr std::string_view kCopies = "files";
constexpr std::string_view kCopyExtension = ".sonx";

// Holds the write lock from begin() until commit(); rolls back otherwise.
// BEGIN IMMEDIATE: filing, removing and the orphan sweep exclude each other,
// so the sweep never takes a copy whose row is about to be committed.
class Transaction {
public:
    explicit Transaction(sql::Database& db) : db_(db) {}
    ~Transaction()
    {
        if (open_)
            (void)db_.exec("ROLLBACK");
    }
    Status begin()
    {
        auto s = db_.exec("BEGIN IMMEDIATE");
        open_ = s.ok();
        return s;
    }
    Status commit()
    {
        auto s = db_.exec("COMMIT");
        if (s)
            open_ = false;
        return s;
    }

private:
    sql::Database& db_;
    bool open_ = false;
};

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A LIKE pattern that finds the text anywhere, its own % and _ taken literally.
std::string containsPattern(std::string_view text)
{
    std::string p = "%";
    for (char c : lowerAscii(text)) {
        if (c == '%' || c == '_' || c == '\\')
            p += '\\';
        p += c;
    }
    return p + "%";
}

constexpr std::string_view kAnalysisExtension = ".km740a";

bool isCopyName(const std::string& name)
{
    if (name.size() != 64 + kCopyExtension.size() || !name.ends_with(kCopyExtension))
        return false;
    return std::all_of(name.begin(), name.begin() + 64,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// A copy being written: the file-writing rule's temporary file (or an older
// ".<hash>.sonx.<n>.tmp"); nothing else writes in this folder.
bool isCopyInProgress(const std::string& name)
{
    if (isTemporaryName(name))
        return true;
    return name.size() > 1 && name[0] == '.' && name.ends_with(".tmp") &&
           isCopyName(name.substr(1, 64 + kCopyExtension.size()));
}

constexpr std::string_view kColumns =
    "id, content_hash, kind, start_time, end_time, duration_seconds, interval_seconds, records, readings, "
    "calibrated_db, time_weight, freq_weight, threshold_level, criterion_level, exchange_rate, peak, level_range, "
    "calibrated_time, person, sector, company, notes, laeq, lmax, lmin, lex8h, points, file_name, source_path, "
    "filed_at, file_bytes, worst_standard, worst_dose";

std::optional<LocalSeconds> storedTime(const std::string& text)
{
    return text.empty() ? std::nullopt : parseLocalTime(text);
}

Measurement rowOf(const sql::Statement& s)
{
    Measurement m;
    int c = 0;
    m.id = s.integer(c++);
    m.hash = s.text(c++);
    m.facts.kind = kindFromName(s.text(c++)).value_or(DataFileKind::doseLogger);
    m.facts.start = storedTime(s.text(c++));
    m.facts.end = storedTime(s.text(c++));
    m.facts.durationSeconds = s.integer(c++);
    m.facts.intervalSeconds = s.optionalInteger(c++);
    m.facts.records = s.integer(c++);
    m.facts.readings = s.integer(c++);
    for (std::string* field : m.facts.settings.fields())
        *field = s.text(c++);
    m.labels.person = s.text(c++);
    m.labels.sector = s.text(c++);
    m.labels.company = s.text(c++);
    m.labels.notes = s.text(c++);
    m.facts.laeq = s.real(c++);
    m.facts.lmax = s.real(c++);
    m.facts.lmin = s.real(c++);
    m.facts.lex8h = s.real(c++);
    m.facts.points = s.real(c++);
    m.fileName = s.text(c++);
    m.sourcePath = s.text(c++);
    m.filedAt = s.text(c++);
    m.bytes = s.integer(c++);
    m.worstStandard = s.text(c++);
    m.worstDose = s.real(c++);
    return m;
}

std::string storedTime(const std::optional<LocalSeconds>& t)
{
    return t ? formatLocalTime(*t) : std::string();
}

} // namespace

std::optional<DataFileKind> kindFromName(std::string_view name)
{
    const std::string n = lowerAscii(name);
    for (DataFileKind k :
         {DataFileKind::realTimeData, DataFileKind::realTimeList, DataFileKind::doseLogger, DataFileKind::levelLogger})
        if (n == lowerAscii(dataFileTitle(k)))
            return k;
    if (n == "recording")
        return DataFileKind::realTimeData;
    if (n == "list")
        return DataFileKind::realTimeList;
    if (n == "dbl")
        return DataFileKind::doseLogger;
    if (n == "dbs")
        return DataFileKind::levelLogger;
    return std::nullopt;
}

fs::path archiveFolder(std::string_view option, std::string_view environment, std::string_view xdgDataHome,
                       std::string_view home)
{
    if (!option.empty())
        return fs::path(option);
    if (!environment.empty())
        return fs::path(environment);
    if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute())
        return fs::path(xdgDataHome) / "km740" / "archive";
    return fs::path(home) / ".local" / "share" / "km740" / "archive";
}

Archive::Archive(fs::path folder, sql::Database db, ArchiveOptions options)
    : folder_(std::move(folder)), db_(std::move(db)), options_(std::move(options))
{
}

Failure Archive::failed(const Failure& f) const
{
    const fs::path file = folder_ / databaseName;
    if (f.kind == FailureKind::data)
        return failure(FailureKind::data, file.string() + " is damaged (" + f.message +
                                              "); it was left as it is. Move it away to start a new archive.");
    return failure(f.kind, file.string() + ": " + f.message);
}

void Archive::reached(int step) const
{
    if (options_.afterWriteStep)
        options_.afterWriteStep(step);
}

Result<Archive> Archive::open(const fs::path& folder, ArchiveOptions options)
{
    std::error_code ec;
    fs::create_directories(folder / kCopies, ec);
    if (ec)
        return failure(FailureKind::io,
                       "cannot make the archive folder " + (folder / kCopies).string() + ": " + ec.message());
    auto db = sql::Database::open(folder / databaseName);
    if (!db)
        return db.error();
    Archive archive(folder, std::move(*db), std::move(options));
    if (auto s = archive.migrate(); !s)
        return s.error();
    if (auto s = archive.removeOrphanCopies(); !s)
        return s.error();
    return archive;
}

Status Archive::migrate()
{
    auto versionOf = [this]() -> Result<int> {
        auto s = db_.prepare("PRAGMA user_version");
        if (!s)
            return failed(s.error());
        auto row = s->step();
        if (!row)
            return failed(row.error());
        return static_cast<int>(s->integer(0));
    };
    auto version = versionOf();
    if (!version)
        return version.error();
    const int newest = archiveSchemaVersion();
    if (*version > newest)
        return failure(FailureKind::data, (folder_ / databaseName).string() +
                                              " was written by a newer version of km740 (archive version " +
                                              std::to_string(*version) + "; this one reads up to " +
                                              std::to_string(newest) +
                                              "). It was left as it is: update km740 to open it.");
    if (*version == 0) {
        // A database that holds tables but no version is not an archive.
        auto tables = db_.prepare("SELECT COUNT(*) FROM sqlite_master");
        if (!tables)
            return failed(tables.error());
        auto row = tables->step();
        if (!row)
            return failed(row.error());
        if (tables->integer(0) > 0)
            return failure(FailureKind::data, (folder_ / databaseName).string() +
                                                  " is a database but not a km740 archive; it was left as it is.");
    }
    if (auto s = db_.exec("PRAGMA journal_mode=WAL"); !s)
        return failed(s.error());
    while (*version < newest) {
        Transaction t(db_);
        if (auto s = t.begin(); !s)
            return failed(s.error());
        version = versionOf(); // another program may have done it meanwhile
        if (!version)
            return version.error();
        if (*version >= newest)
            break;
        const int next = *version + 1;
        if (auto s = db_.exec(archiveMigrations()[static_cast<std::size_t>(*version)]); !s)
            return failed(s.error());
        if (auto s = db_.exec("PRAGMA user_version = " + std::to_string(next)); !s)
            return failed(s.error());
        if (auto s = t.commit(); !s)
            return failed(s.error());
        version = next;
    }
    return success();
}

Status Archive::removeOrphanCopies()
{
    Transaction t(db_);
    if (auto s = t.begin(); !s)
        return failed(s.error());
    std::set<std::string> kept;
    auto s = db_.prepare("SELECT content_hash FROM measurements");
    if (!s)
        return failed(s.error());
    for (;;) {
        auto row = s->step();
        if (!row)
            return failed(row.error());
        if (!*row)
            break;
        kept.insert(s->text(0) + std::string(kCopyExtension));
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_ / kCopies, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string copyName =
            name.ends_with(kAnalysisExtension) ? name.substr(0, name.size() - kAnalysisExtension.size()) : name;
        if ((isCopyName(copyName) && !kept.contains(copyName)) || isCopyInProgress(name))
            fs::remove(entry.path(), ec);
    }
    return t.commit();
}

fs::path Archive::copyPath(const Measurement& m) const
{
    return folder_ / kCopies / (m.hash + std::string(kCopyExtension));
}

Result<std::string> Archive::copyBytes(const Measurement& m) const
{
    auto in = openInputFile(copyPath(m));
    if (!in)
        return failure(FailureKind::io, "the archived copy of measurement " + std::to_string(m.id) + " is missing (" +
                                            copyPath(m).string() + ")");
    std::string bytes{std::istreambuf_iterator<char>(**in), {}};
    if ((*in)->bad())
        return failure(FailureKind::io, "cannot read " + copyPath(m).string());
    if (sha256Hex(bytes) != m.hash)
        return failure(FailureKind::data, "the archived copy of measurement " + std::to_string(m.id) +
                                              " has changed on disk (" + copyPath(m).string() + ")");
    return bytes;
}

Result<fs::path> Archive::copyToOpen(const Measurement& m)
{
    if (auto bytes = copyBytes(m); !bytes)
        return bytes.error();
    auto full = find(m.id);
    if (!full)
        return full.error();
    const fs::path copy = copyPath(m);
    const fs::path analysis = analysisPathFor(copy);
    std::error_code ec;
    if (!*full || (*full)->analysisText.empty()) {
        fs::remove(analysis, ec);
        return copy;
    }
    if (auto s = writeFileAtomically(analysis, (*full)->analysisText); !s)
        return s.error();
    return copy;
}

Result<Archive::Filed> Archive::file(const fs::path& source, const MeasurementLabels& labels,
                                     const std::string& filedAt)
{
    auto in = openInputFile(source);
    if (!in)
        return in.error();
    std::string bytes{std::istreambuf_iterator<char>(**in), {}};
    if ((*in)->bad())
        return failure(FailureKind::io, "cannot read " + source.string());
    std::error_code ec;
    const fs::path absolute = fs::absolute(source, ec);
    return fileBytes(bytes, source.filename().string(), (ec ? source : absolute).string(), labels, filedAt,
                     analyseForArchive(source));
}

Result<Archive::Filed> Archive::fileBytes(std::string_view bytes, const std::string& fileName,
                                          const std::string& sourcePath, const MeasurementLabels& labels,
                                          const std::string& filedAt, const MeasurementAnalysis& analysis)
{
    std::istringstream in{std::string(bytes)};
    auto facts = measurementFacts(in);
    if (!facts)
        return namingFile(fileName, facts.error());
    const std::string hash = sha256Hex(bytes);

    Transaction t(db_);
    if (auto s = t.begin(); !s)
        return failed(s.error());
    auto known = db_.prepare("SELECT id FROM measurements WHERE content_hash = ?");
    if (!known)
        return failed(known.error());
    known->bind(1, hash);
    auto row = known->step();
    if (!row)
        return failed(row.error());
    const std::optional<std::int64_t> existing = *row ? std::optional(known->integer(0)) : std::nullopt;

    Measurement m;
    m.hash = hash;
    const fs::path copy = copyPath(m);
    std::error_code ec;
    if (!existing || !fs::exists(copy, ec)) {
        // The copy is complete on disk before any row names it.
        auto out = AtomicFile::create(copy);
        if (!out)
            return out.error();
        if (auto s = out->write(bytes); !s)
            return s.error();
        reached(1);
        if (auto s = out->commit(); !s)
            return s.error();
        reached(2);
    }
    if (existing) {
        if (auto s = t.commit(); !s)
            return failed(s.error());
        return Filed{*existing, false};
    }

    const MeasurementFacts& f = *facts;
    const auto worst = std::max_element(analysis.standards.begin(), analysis.standards.end(),
                                        [](const auto& a, const auto& b) { return a.dose < b.dose; });
    auto insert = db_.prepare(
        "INSERT INTO measurements (content_hash, kind, start_time, end_time, duration_seconds, interval_seconds, "
        "records, readings, calibrated_db, time_weight, freq_weight, threshold_level, criterion_level, "
        "exchange_rate, peak, level_range, calibrated_time, person, sector, company, notes, laeq, lmax, lmin, "
        "lex8h, points, file_name, source_path, filed_at, file_bytes, worst_standard, worst_dose, analysis) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (content_hash) DO NOTHING");
    if (!insert)
        return failed(insert.error());
    sql::Statement& st = *insert;
    int c = 1;
    st.bind(c++, hash);
    st.bind(c++, dataFileTitle(f.kind));
    st.bind(c++, storedTime(f.start));
    st.bind(c++, storedTime(f.end));
    st.bind(c++, f.durationSeconds);
    st.bind(c++, f.intervalSeconds);
    st.bind(c++, f.records);
    st.bind(c++, f.readings);
    for (const std::string* field : f.settings.fields())
        st.bind(c++, *field);
    for (const std::string* label : {&labels.person, &labels.sector, &labels.company, &labels.notes})
        st.bind(c++, *label);
    const auto laeq = analysis.laeq ? analysis.laeq : f.laeq;
    const auto lex = analysis.lex8h ? analysis.lex8h : f.lex8h;
    st.bind(c++, laeq);
    st.bind(c++, analysis.lmax ? analysis.lmax : f.lmax);
    st.bind(c++, analysis.lmin ? analysis.lmin : f.lmin);
    st.bind(c++, lex);
    st.bind(c++, lex ? std::optional(exposurePoints(*lex)) : std::nullopt);
    st.bind(c++, fileName);
    st.bind(c++, sourcePath);
    st.bind(c++, filedAt);
    st.bind(c++, static_cast<std::int64_t>(bytes.size()));
    const bool judged = worst != analysis.standards.end();
    if (judged)
        st.bind(c++, worst->name);
    else
        st.bind(c++, std::optional<double>());
    st.bind(c++, judged ? std::optional(worst->dose) : std::nullopt);
    if (analysis.analysisText.empty())
        st.bind(c++, std::optional<double>());
    else
        st.bind(c++, analysis.analysisText);
    if (auto s = insert->run(); !s)
        return failed(s.error());
    const std::int64_t id = db_.lastInsertId();

    auto result = db_.prepare(
        "INSERT INTO standard_results (measurement_id, position, name, criterion, threshold_level, exchange_rate, "
        "dose, twa, projected_dose, projected_twa, lavg, shift_dose, shift_twa) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!result)
        return failed(result.error());
    for (std::size_t i = 0; i < analysis.standards.size(); ++i) {
        const StandardResult& r = analysis.standards[i];
        result->reset();
        result->bind(1, id).bind(2, static_cast<std::int64_t>(i)).bind(3, r.name);
        result->bind(4, std::optional(r.criterion)).bind(5, r.threshold).bind(6, std::optional(r.exchangeRate));
        result->bind(7, std::optional(r.dose)).bind(8, r.twa).bind(9, r.projectedDose).bind(10, r.projectedTwa);
        result->bind(11, r.lavg).bind(12, r.shiftDose).bind(13, r.shiftTwa);
        if (auto s = result->run(); !s)
            return failed(s.error());
    }
    reached(3);
    if (auto s = t.commit(); !s)
        return failed(s.error());
    reached(4);
    return Filed{id, true};
}

Result<std::vector<Measurement>> Archive::select(const std::string& where, const std::vector<std::string>& texts)
{
    const std::string clause = where.empty() ? std::string() : " WHERE " + where;
    // Counted first: a list of thousands grown by doubling spends more time
    // moving rows than reading them.
    auto count = db_.prepare("SELECT COUNT(*) FROM measurements" + clause);
    auto s =
        db_.prepare("SELECT " + std::string(kColumns) + " FROM measurements" + clause + " ORDER BY start_time, id");
    if (!count)
        return failed(count.error());
    if (!s)
        return failed(s.error());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        count->bind(static_cast<int>(i + 1), texts[i]);
        s->bind(static_cast<int>(i + 1), texts[i]);
    }
    std::vector<Measurement> rows;
    if (auto n = count->step(); n && *n)
        rows.reserve(static_cast<std::size_t>(count->integer(0)));
    for (;;) {
        auto row = s->step();
        if (!row)
            return failed(row.error());
        if (!*row)
            return rows;
        rows.push_back(rowOf(*s));
    }
}

Result<std::vector<Measurement>> Archive::list(const MeasurementFilter& filter)
{
    std::vector<std::string> where;
    std::vector<std::string> texts;
    auto like = [&](const char* column, const std::string& text) {
        where.push_back(std::string("LOWER(") + column + ") LIKE ? ESCAPE '\\'");
        texts.push_back(containsPattern(text));
    };
    if (!filter.text.empty()) {
        std::string any;
        for (const char* column : {"person", "sector", "company", "notes"}) {
            any += (any.empty() ? "(" : " OR ") + std::string("LOWER(") + column + ") LIKE ? ESCAPE '\\'";
            texts.push_back(containsPattern(filter.text));
        }
        where.push_back(any + ")");
    }
    if (!filter.person.empty())
        like("person", filter.person);
    if (!filter.sector.empty())
        like("sector", filter.sector);
    if (!filter.company.empty())
        like("company", filter.company);
    if (filter.from) {
        where.push_back("start_time >= ?");
        texts.push_back(isoDate(*filter.from));
    }
    if (filter.to) {
        where.push_back("start_time < ?");
        texts.push_back(isoDate(*filter.to + std::chrono::days{1}));
    }
    if (filter.kind) {
        where.push_back("kind = ?");
        texts.push_back(std::string(dataFileTitle(*filter.kind)));
    }
    std::string clause;
    for (const auto& w : where)
        clause += (clause.empty() ? "" : " AND ") + w;
    return select(clause, texts);
}

Result<std::vector<Measurement>> Archive::ofPerson(std::string_view person, Day from, Day to)
{
    return select("LOWER(person) = ? AND start_time >= ? AND start_time < ?",
                  {lowerAscii(person), isoDate(from), isoDate(to + std::chrono::days{1})});
}

Result<bool> Archive::hasPerson(std::string_view person)
{
    auto s = db_.prepare("SELECT 1 FROM measurements WHERE LOWER(person) = ? LIMIT 1");
    if (!s)
        return failed(s.error());
    s->bind(1, lowerAscii(person));
    auto row = s->step();
    if (!row)
        return failed(row.error());
    return *row;
}

Result<std::optional<Measurement>> Archive::find(std::int64_t id)
{
    auto s = db_.prepare("SELECT " + std::string(kColumns) + ", analysis FROM measurements WHERE id = ?");
    if (!s)
        return failed(s.error());
    s->bind(1, id);
    auto row = s->step();
    if (!row)
        return failed(row.error());
    if (!*row)
        return std::optional<Measurement>();
    Measurement m = rowOf(*s);
    m.analysisText = s->text(33);
    auto r = db_.prepare("SELECT name, criterion, threshold_level, exchange_rate, dose, twa, projected_dose, "
                         "projected_twa, lavg, shift_dose, shift_twa FROM standard_results "
                         "WHERE measurement_id = ? ORDER BY position");
    if (!r)
        return failed(r.error());
    r->bind(1, id);
    for (;;) {
        auto more = r->step();
        if (!more)
            return failed(more.error());
        if (!*more)
            break;
        StandardResult x;
        x.name = r->text(0);
        x.criterion = r->real(1).value_or(0.0);
        x.threshold = r->real(2);
        x.exchangeRate = r->real(3).value_or(0.0);
        x.dose = r->real(4).value_or(0.0);
        x.twa = r->real(5);
        x.projectedDose = r->real(6);
        x.projectedTwa = r->real(7);
        x.lavg = r->real(8);
        x.shiftDose = r->real(9);
        x.shiftTwa = r->real(10);
        m.standards.push_back(std::move(x));
    }
    return std::optional<Measurement>(std::move(m));
}

Result<bool> Archive::relabel(std::int64_t id, const MeasurementLabels& labels)
{
    Transaction t(db_);
    if (auto s = t.begin(); !s)
        return failed(s.error());
    auto u = db_.prepare("UPDATE measurements SET person = ?, sector = ?, company = ?, notes = ? WHERE id = ?");
    if (!u)
        return failed(u.error());
    u->bind(1, labels.person).bind(2, labels.sector).bind(3, labels.company).bind(4, labels.notes).bind(5, id);
    if (auto s = u->run(); !s)
        return failed(s.error());
    const bool found = db_.changes() > 0;
    if (auto s = t.commit(); !s)
        return failed(s.error());
    return found;
}

Result<bool> Archive::remove(std::int64_t id)
{
    auto m = find(id);
    if (!m)
        return m.error();
    if (!*m)
        return false;
    Transaction t(db_);
    if (auto s = t.begin(); !s)
        return failed(s.error());
    for (const char* sqlText :
         {"DELETE FROM standard_results WHERE measurement_id = ?", "DELETE FROM measurements WHERE id = ?"}) {
        auto d = db_.prepare(sqlText);
        if (!d)
            return failed(d.error());
        d->bind(1, id);
        if (auto s = d->run(); !s)
            return failed(s.error());
    }
    if (auto s = t.commit(); !s)
        return failed(s.error());
    // The row is gone first: a crash here leaves an orphan copy for the next open.
    std::error_code ec;
    fs::remove(copyPath(**m), ec);
    fs::remove(analysisPathFor(copyPath(**m)), ec);
    return true;
}

} // namespace km740
