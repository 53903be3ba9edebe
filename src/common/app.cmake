# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AppState.cpp
)
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SettingsPanel.cpp
  )
endif()
