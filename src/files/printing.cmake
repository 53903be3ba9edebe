# SPDX-License-Identifier: GPL-3.0-or-later
# The text layout of printed lists.
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PrintLayout.cpp
)
