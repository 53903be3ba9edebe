# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataFileFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataFileReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataFileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeaderText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InputFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileListColumns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileListTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CsvExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilePrintout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextCodec.cpp
)
