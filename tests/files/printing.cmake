# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(test_printlayout
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PrintLayoutTest.cpp
  LIBS km740core)
