# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(test_portmap SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PortMapTest.cpp
  LIBS km740core)

km740_add_test(test_portwindow SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PortWindowTest.cpp
  LIBS km740app QT)
