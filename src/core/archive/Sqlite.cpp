// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/Sqlite.h"

#include <sqlite3.h>

#include <utility>

namespace km740::sql {

namespace {

// How long a change waits for another program's change to end.
constexpr int kBusyMilliseconds = 5000;

} // namespace

Result<Database> Database::open(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        return failure(FailureKind::io, file.string() + ": " + message);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    return Database(db);
}

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Database::~Database()
{
    sqlite3_close(db_);
}

Status Database::exec(std::string_view sql)
{
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return failed("cannot change the archive");
    return success();
}

Result<Statement> Database::prepare(std::string_view sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
        return failed("cannot read the archive");
    return Statement(db_, stmt);
}

std::int64_t Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const
{
    return sqlite3_changes(db_);
}

bool Database::damaged() const
{
    const int code = sqlite3_errcode(db_) & 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

Failure Database::failed(std::string_view what) const
{
    const FailureKind kind = damaged() ? FailureKind::data : FailureKind::io;
    return failure(kind, std::string(what) + ": " + sqlite3_errmsg(db_));
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

Statement& Statement::bind(int at, std::string_view text)
{
    sqlite3_bind_text(stmt_, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int at, std::int64_t value)
{
    sqlite3_bind_int64(stmt_, at, value);
    return *this;
}

Statement& Statement::bind(int at, std::optional<double> value)
{
    if (value)
        sqlite3_bind_double(stmt_, at, *value);
    else
        sqlite3_bind_null(stmt_, at);
    return *this;
}

Statement& Statement::bind(int at, std::optional<std::int64_t> value)
{
    if (value)
        sqlite3_bind_int64(stmt_, at, *value);
    else
        sqlite3_bind_null(stmt_, at);
    return *this;
}

Result<bool> Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = rc & 0xff;
    const FailureKind kind = code == SQLITE_CORRUPT || code == SQLITE_NOTADB ? FailureKind::data : FailureKind::io;
    return failure(kind, std::string("the archive's database: ") + sqlite3_errmsg(db_));
}

Status Statement::run()
{
    for (;;) {
        auto more = step();
        if (!more)
            return more.error();
        if (!*more)
            return success();
    }
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string Statement::text(int column) const
{
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

std::optional<double> Statement::real(int column) const
{
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_double(stmt_, column);
}

std::optional<std::int64_t> Statement::optionalInteger(int column) const
{
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(stmt_, column);
}

} // namespace km740::sql
