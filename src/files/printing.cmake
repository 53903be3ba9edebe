# SPDX-License-Identifier: GPL-3.0-or-later
# The text layout of printed lists.
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PrintLayout.cpp
)
# Its pages on a printer or in a PDF: Qt GUI only, shared by the windows and
# km740-tool.
if(KM740_WITH_QT)
  add_library(km740print STATIC ${CMAKE_CURRENT_LIST_DIR}/PrintPages.cpp)
  target_include_directories(km740print PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(km740print PUBLIC km740core Qt6::Gui)
  target_link_libraries(km740app PUBLIC km740print)
endif()
