# Checks the export and import tables of kiva4cpl.dll with the toolchain's objdump, on the build
# machine itself: it needs no Windows to run. Complements kiva4cpl_module_test, which reads the
# same tables from inside a test program.
#
#   cmake -DOBJDUMP=<objdump> -DMODULE=<kiva4cpl.dll> -DFORMAT=<pei-i386|pei-x86-64>
#         -P check_module_tables.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
  OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}: ${errors}")
endif()

set(failures "")

if(NOT dump MATCHES "file format ${FORMAT}")
  string(APPEND failures "not a ${FORMAT} module\n")
endif()

# Exports: "[  i] name" lines of the name pointer table, i being the ordinal less the base.
string(REGEX MATCH "Ordinal Base ([0-9]+)" base_match "${dump}")
set(base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" name_table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${name_table}")
set(exports "")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "\\[ *([0-9]+)\\] (.+)" parts "${entry}")
  math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
  list(APPEND exports "${ordinal}:${CMAKE_MATCH_2}")
endforeach()
list(SORT exports)
set(expected_exports
  "1:ScreenCalibration" "2:_DllEntryPoint@12" "3:_DllMain@12" "4:EnumStiPropPages"
  "5:SetupSupport")
if(NOT exports STREQUAL expected_exports)
  string(APPEND failures "exports are '${exports}', expected '${expected_exports}'\n")
endif()

# Imports: system libraries and the STI service only.
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll msvcrt.dll sti.dll)
set(imported "")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${import}")
  string(TOLOWER "${name}" name)
  list(APPEND imported ${name})
  if(NOT name IN_LIST allowed)
    string(APPEND failures "imports ${name}\n")
  endif()
endforeach()
if(NOT "sti.dll" IN_LIST imported)
  string(APPEND failures "does not import sti.dll\n")
endif()

if(failures)
  message(FATAL_ERROR "${MODULE}:\n${failures}")
endif()
message(STATUS "${MODULE}: ${FORMAT}, exports ${exports}, imports ${imported}")
