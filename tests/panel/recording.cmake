# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(test_recorder SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeRecorderTest.cpp
  LIBS km740core)

km740_add_test(test_listwindow SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ListWindowTest.cpp
  LIBS km740app QT)

km740_add_test(test_recording_app SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/RecordingAppTest.cpp
  LIBS km740app QT)
