# SPDX-License-Identifier: GPL-3.0-or-later
if(KM740_WITH_QT AND TARGET km740-tool)
  km740_add_test(LoggerWindowsTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/LoggerWindowsTest.cpp LIBS km740app QT)
  target_compile_definitions(LoggerWindowsTest PRIVATE KM740_TOOL_PATH="$<TARGET_FILE:km740-tool>")
  add_dependencies(LoggerWindowsTest km740-tool)
endif()
