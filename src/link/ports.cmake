# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(km740core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PortMap.cpp
)

if(KM740_WITH_QT)
  target_sources(km740app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SerialPortList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeviceManagerWindow.cpp
  )
endif()
