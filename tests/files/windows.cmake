# SPDX-License-Identifier: GPL-3.0-or-later
if(KM740_WITH_QT)
  km740_add_test(test_filelistwindows SOURCES ${CMAKE_CURRENT_LIST_DIR}/FileListWindowTest.cpp LIBS km740app QT)
endif()
