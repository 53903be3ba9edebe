# SPDX-License-Identifier: GPL-3.0-or-later
# The windows of this folder and the toolbar keys that open them.
if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LoggerKeys.cpp
  )
endif()
