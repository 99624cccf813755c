# sheetlift-cli convert of the bundled sample and the test workbooks writes the pinned drawings
# byte for byte: the same files on every platform, so the Windows tool (under Wine) and the
# Linux one write the same bytes. Run by ctest with -DCLI=... -DDATA=... -DOUT=... and, for a
# Windows build, -DEMULATOR=...
cmake_minimum_required(VERSION 3.25)
set(cases
  "openpyxl-styles.xlsx|"
  "libreoffice-parts.xlsx|部品表!A1:F10"
  "../../examples/parts-table.xlsx|"
  "libreoffice-selection.xlsx|"
  "xlsxwriter-parts.xlsx|"
  "gnumeric-parts.xlsx|")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
set(failed "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 input)
  list(GET parts 1 range)
  get_filename_component(name "${input}" NAME_WE)
  set(args convert "${DATA}/${input}" -o "${OUT}/${name}.dxf")
  if(range)
    list(APPEND args --range "${range}")
  endif()
  execute_process(COMMAND ${EMULATOR} "${CLI}" ${args} RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    list(APPEND failed "${name}: exit ${code}: ${err}")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${name}.dxf"
                  "${DATA}/expected/${name}.dxf" RESULT_VARIABLE differs)
  if(differs)
    list(APPEND failed "${name}: ${OUT}/${name}.dxf differs from expected/${name}.dxf")
  endif()
endforeach()
if(failed)
  list(JOIN failed "\n" text)
  message(FATAL_ERROR "${text}")
endif()
