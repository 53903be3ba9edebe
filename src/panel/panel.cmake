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

  # The manuals are looked for in help/ beside the program.
  add_custom_target(km740_help ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${PROJECT_BINARY_DIR}/src/help
    COMMENT "Copying the help folder beside the program")
  add_dependencies(km740app km740_help)
endif()
