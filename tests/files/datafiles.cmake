# SPDX-License-Identifier: GPL-3.0-or-later
km740_add_test(test_datafiles
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DataFileWriterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFileReaderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HeaderTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFileTest.cpp
  LIBS km740core)
km740_add_test(test_filelisttable
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FileListTableTest.cpp
  LIBS km740core)
