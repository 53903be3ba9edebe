# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks the tree: cmake -P.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

set(expected
  bin/km740 bin/km740-tool bin/km740-sim
  share/km740/help/KM740-SW-HELP-EN-V1.7.pdf
  share/km740/help/KM740-SW-HELP-FR_V1.7.pdf
  share/km740/help/KM740-SW-HELP-DE-V1.7.pdf
  share/km740/help/KM740-SW-HELP-IT_V1.7.pdf
  share/km740/help/KM740-SW-HELP-BPT_V1.7.pdf
  share/km740/help/KM740-SW-HELP-ES-V1.7.pdf
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(f IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The installed programs run (the GUI only as far as its --help).
foreach(program km740 km740-tool km740-sim)
  execute_process(COMMAND ${PREFIX}/bin/${program} --help
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${program} --help failed (${rc}): ${err}")
  endif()
endforeach()

# The menu entry starts the installed program by name, and names the icon.
file(READ ${PREFIX}/share/applications/${APP_ID}.desktop desktop)
if(NOT desktop MATCHES "\nExec=km740\n" OR NOT desktop MATCHES "\nIcon=${APP_ID}\n")
  message(FATAL_ERROR "the desktop entry does not start km740 with its icon")
endif()

# Validators, where the machine has them.
find_program(desktop_validate desktop-file-validate)
if(desktop_validate)
  execute_process(COMMAND ${desktop_validate} ${PREFIX}/share/applications/${APP_ID}.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
find_program(appstream appstreamcli)
if(appstream)
  execute_process(COMMAND ${appstream} validate --no-net ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${out}")
  endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
