# SPDX-License-Identifier: GPL-3.0-or-later
# Derived values of real-time files (Leq, SEL, dose, TWA, ...), level
# distributions and L(n), plot inputs.
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LevelCell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DerivedText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExposureValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LevelDistribution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LnTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistogramRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlotInputs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DerivedFromFile.cpp
)
