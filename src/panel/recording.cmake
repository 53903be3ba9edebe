# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AppState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimeRecorder.cpp
)

if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SaveDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RealTimeListModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListWindow.cpp
  )
endif()
