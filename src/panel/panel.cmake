# SPDX-License-Identifier: GPL-3.0-or-later
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LocaleRegional.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterWorker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PanelToolbar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PanelWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SettingsPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowKeys.cpp
    ${PROJECT_SOURCE_DIR}/resources/panel.qrc
  )
endif()
