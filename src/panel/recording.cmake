# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RecordTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeFileText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeRecorder.cpp
)
