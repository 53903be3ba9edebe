// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/ArchiveSchema.h"

#include <array>

namespace km740 {

namespace {

// Never change a step once released: add one.
constexpr std::array<std::string_view, 2> kSteps = {
    // 1: the measurements, their labels and their figures.
    R"sql(
CREATE TABLE measurements (
  id INTEGER PRIMARY KEY,
  content_hash CHAR(64) NOT NULL UNIQUE,
  kind VARCHAR(20) NOT NULL,
  start_time CHAR(19),
  end_time CHAR(19),
  duration_seconds BIGINT NOT NULL,
  interval_seconds BIGINT,
  records BIGINT NOT NULL,
  readings BIGINT NOT NULL,
  calibrated_db VARCHAR(40) NOT NULL,
  time_weight VARCHAR(40) NOT NULL,
  freq_weight VARCHAR(40) NOT NULL,
  threshold_level VARCHAR(40) NOT NULL,
  criterion_level VARCHAR(40) NOT NULL,
  exchange_rate VARCHAR(40) NOT NULL,
  peak VARCHAR(40) NOT NULL,
  level_range VARCHAR(40) NOT NULL,
  calibrated_time VARCHAR(40) NOT NULL,
  person VARCHAR(200) NOT NULL,
  sector VARCHAR(200) NOT NULL,
  company VARCHAR(200) NOT NULL,
  notes VARCHAR(4000) NOT NULL,
  laeq DOUBLE PRECISION,
  lmax DOUBLE PRECISION,
  lmin DOUBLE PRECISION,
  lex8h DOUBLE PRECISION,
  points DOUBLE PRECISION,
  file_name VARCHAR(1000) NOT NULL,
  source_path VARCHAR(4000) NOT NULL,
  filed_at CHAR(19) NOT NULL,
  file_bytes BIGINT NOT NULL
);
CREATE INDEX measurements_by_start ON measurements (start_time);
CREATE INDEX measurements_by_person ON measurements (person);
)sql",
    // 2: the exposure analysis: results per standard and the analysis kept.
    R"sql(
ALTER TABLE measurements ADD COLUMN worst_standard VARCHAR(40);
ALTER TABLE measurements ADD COLUMN worst_dose DOUBLE PRECISION;
ALTER TABLE measurements ADD COLUMN analysis TEXT;
CREATE TABLE standard_results (
  measurement_id INTEGER NOT NULL REFERENCES measurements (id),
  position INTEGER NOT NULL,
  name VARCHAR(40) NOT NULL,
  criterion DOUBLE PRECISION NOT NULL,
  threshold_level DOUBLE PRECISION,
  exchange_rate DOUBLE PRECISION NOT NULL,
  dose DOUBLE PRECISION NOT NULL,
  twa DOUBLE PRECISION,
  projected_dose DOUBLE PRECISION,
  projected_twa DOUBLE PRECISION,
  lavg DOUBLE PRECISION,
  shift_dose DOUBLE PRECISION,
  shift_twa DOUBLE PRECISION,
  PRIMARY KEY (measurement_id, position)
);
)sql",
};

} // namespace

std::span<const std::string_view> archiveMigrations()
{
    return kSteps;
}

int archiveSchemaVersion()
{
    return static_cast<int>(kSteps.size());
}

} // namespace km740
