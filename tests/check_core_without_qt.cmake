# Fails when the core test executable links a Qt library or a core source
# file includes a Qt header. Page classes (*_page.*, *_dialog.*, *_window.*,
# *_widget.*) and the app folder belong to the GUI target and are skipped.
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${BINARY}")
endif()
if(libs MATCHES "libQt")
  message(FATAL_ERROR "the core test executable links Qt:\n${libs}")
endif()

file(GLOB_RECURSE sources ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
foreach(source IN LISTS sources)
  if(source MATCHES "/app/|_page\\.|_dialog\\.|_window\\.|_widget\\.|/gui/")
    continue()
  endif()
  file(STRINGS ${source} includes REGEX "#include[ \t]*<Q")
  if(includes)
    message(FATAL_ERROR "${source} is core code but includes Qt: ${includes}")
  endif()
endforeach()
message(STATUS "core is free of Qt")
