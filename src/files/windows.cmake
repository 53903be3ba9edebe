# SPDX-License-Identifier: GPL-3.0-or-later
# The windows of this folder and the toolbar keys that open them.
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FileKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileListWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileListModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListPrint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChartSink.h
  )
endif()
