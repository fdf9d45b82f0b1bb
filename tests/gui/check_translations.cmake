# Runs lupdate over src/gui into a copy of the committed translation and fails
# when the copy changes (a text was added, changed or removed in the sources
# without the translation following) or holds an unfinished message.
# Called with -DLUPDATE= -DSOURCE_DIR= -DTS_FILE= -DWORK_DIR=.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(copy "${WORK_DIR}/pellam_en.ts")
file(COPY_FILE "${TS_FILE}" "${copy}")
execute_process(
  COMMAND "${LUPDATE}" -I "${SOURCE_DIR}/src" -locations none -no-obsolete
          -source-language zh_CN -target-language en "${SOURCE_DIR}/src/gui" -ts "${copy}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed:\n${output}")
endif()
file(READ "${copy}" updated)
string(REGEX MATCHALL "<source>[^<]*</source>\n *<translation type=\"unfinished\">" unfinished
       "${updated}")
if(unfinished)
  string(REPLACE ";" "\n" unfinished "${unfinished}")
  message(FATAL_ERROR "Texts without an English translation:\n${unfinished}\n"
                      "Run: cmake --build --preset default --target update_translations, "
                      "then translate them in translations/pellam_en.ts")
endif()
file(READ "${TS_FILE}" committed)
if(NOT updated STREQUAL committed)
  message(FATAL_ERROR "translations/pellam_en.ts is not what lupdate makes of src/gui "
                      "(texts removed or changed). Run: cmake --build --preset default "
                      "--target update_translations\n${output}")
endif()
message(STATUS "Every text of src/gui has its English translation.")
