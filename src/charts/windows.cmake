# SPDX-License-Identifier: GPL-3.0-or-later
# The windows of this folder and the toolbar keys that open them.
if(KM740_WITH_QT)
  # The graph component: Debian's libqcustomplot-dev, Qt 6 build.
  find_package(QCustomPlotQt6 CONFIG QUIET)
  if(TARGET QCustomPlotQt6::QCustomPlotQt6)
    # km740app's users (the program, tests, benchmarks) live in other folders.
    set_target_properties(QCustomPlotQt6::QCustomPlotQt6 PROPERTIES IMPORTED_GLOBAL TRUE)
    set(KM740_QCUSTOMPLOT QCustomPlotQt6::QCustomPlotQt6)
  else()
    find_library(QCUSTOMPLOT_LIBRARY NAMES QCustomPlotQt6 qcustomplot-qt6 REQUIRED)
    find_path(QCUSTOMPLOT_INCLUDE_DIR qcustomplot.h REQUIRED)
    add_library(km740_qcustomplot INTERFACE IMPORTED GLOBAL)
    target_include_directories(km740_qcustomplot SYSTEM INTERFACE ${QCUSTOMPLOT_INCLUDE_DIR})
    target_link_libraries(km740_qcustomplot INTERFACE ${QCUSTOMPLOT_LIBRARY} Qt6::Widgets Qt6::PrintSupport)
    set(KM740_QCUSTOMPLOT km740_qcustomplot)
  endif()
  target_link_libraries(km740app PUBLIC ${KM740_QCUSTOMPLOT})
  target_compile_definitions(km740app PUBLIC QCUSTOMPLOT_USE_LIBRARY)

  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ChartDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ChartKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GraphView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistogramWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RealTimeSLM.cpp
  )
endif()
