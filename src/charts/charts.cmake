# SPDX-License-Identifier: GPL-3.0-or-later
# The arithmetic of the charts: the running chart's layout and limits, alarm
# periods, plotted points.
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AlarmLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlotPoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealTimePlot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrackModes.cpp
)
