# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(PanelStateTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/AppStateTest.cpp LIBS km740core)
if(KM740_WITH_QT)
  km740_add_test(MeterWorkerTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/MeterWorkerTest.cpp LIBS km740app QT)
  km740_add_test(PanelWindowTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/PanelWindowTest.cpp LIBS km740app QT)
endif()
