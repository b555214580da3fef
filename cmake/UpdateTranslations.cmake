# Brings the translation files up to date with the sources (cmake -P; see Translations.cmake):
#   LUPDATE     lupdate
#   FORM_TOOL   zopfiledb-form, which lists the texts of the form files
#   SOURCE_DIR  the repository's root; DIRS, its folders with texts; FORMS, the form files
#   LANGUAGES   the languages (zopfiledb_<language>.ts); these three are joined by commas
#   OUTPUT_DIR  where the .ts files are updated (default: SOURCE_DIR/translations); the
#               repository's files are copied there first when it is another folder
#   WORK_DIR    a folder for the form texts (default: OUTPUT_DIR)
foreach(var LUPDATE FORM_TOOL SOURCE_DIR DIRS FORMS LANGUAGES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "UpdateTranslations.cmake: ${var} is not set")
  endif()
endforeach()
foreach(var DIRS FORMS LANGUAGES)
  string(REPLACE "," ";" ${var} "${${var}}")
endforeach()
if(NOT OUTPUT_DIR)
  set(OUTPUT_DIR ${SOURCE_DIR}/translations)
endif()
if(NOT WORK_DIR)
  set(WORK_DIR ${OUTPUT_DIR})
endif()
file(MAKE_DIRECTORY ${OUTPUT_DIR} ${WORK_DIR})

set(ts_files "")
foreach(language IN LISTS LANGUAGES)
  set(ts ${OUTPUT_DIR}/zopfiledb_${language}.ts)
  if(NOT OUTPUT_DIR STREQUAL "${SOURCE_DIR}/translations" AND EXISTS ${SOURCE_DIR}/translations/zopfiledb_${language}.ts)
    file(COPY_FILE ${SOURCE_DIR}/translations/zopfiledb_${language}.ts ${ts})
  endif()
  list(APPEND ts_files ${ts})
endforeach()

# The form files' texts, as a source that lupdate reads.
set(form_texts ${WORK_DIR}/form_texts.cpp)
file(WRITE ${form_texts} "")
foreach(form IN LISTS FORMS)
  execute_process(COMMAND ${FORM_TOOL} texts ${form}
    OUTPUT_VARIABLE texts ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "The texts of ${form} could not be listed: ${errors}")
  endif()
  file(APPEND ${form_texts} "${texts}")
endforeach()

set(sources "")
foreach(dir IN LISTS DIRS)
  list(APPEND sources ${SOURCE_DIR}/${dir})
endforeach()
execute_process(COMMAND ${LUPDATE} -silent -locations none -no-obsolete -no-ui-lines -extensions cpp,h
    -tr-function-alias translate+=TranslateText,QT_TRANSLATE_NOOP+=ZFD_TRANSLATE_NOOP
    ${sources} ${form_texts} -ts ${ts_files}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed: ${output}${errors}")
endif()
if(errors)
  message(WARNING "lupdate: ${errors}")
endif()
