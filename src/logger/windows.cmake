# SPDX-License-Identifier: GPL-3.0-or-later
# The windows of this folder and the toolbar keys that open them.
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AddTextWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataListWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataListdBWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerListWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerRecordModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerWindows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemoryWindow.cpp
  )
endif()
