# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(test_exposure
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ExposureValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LevelDistributionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistogramRangeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotInputsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DerivedFromFileTest.cpp
  LIBS km740core)
