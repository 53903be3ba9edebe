# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PortMap.cpp
)
