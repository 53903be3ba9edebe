# SPDX-License-Identifier: GPL-3.0-or-later
# The windows of this folder and the toolbar keys that open them.
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ButtonsWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterDrawing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterSetupWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PickCombo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RtcWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SetupWindow.cpp
    ${PROJECT_SOURCE_DIR}/resources/config.qrc
  )
endif()
