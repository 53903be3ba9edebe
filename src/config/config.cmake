# SPDX-License-Identifier: GPL-3.0-or-later
# Texts of the configuration windows and the bytes they stand for.
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PresetRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingTexts.cpp
)
