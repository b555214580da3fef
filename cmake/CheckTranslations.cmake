# Fails when a text shown to a person has no finished translation in every language (cmake -P):
# lupdate is run into a copy of the translation files (UpdateTranslations.cmake, with the
# same variables and OUTPUT_DIR a scratch folder), and CHECKER (tests/i18n/check_translations)
# then finds in the copy every new, unfinished or empty translation and every one that lacks
# a place holder of its source.
include(${CMAKE_CURRENT_LIST_DIR}/UpdateTranslations.cmake)
if(NOT DEFINED CHECKER)
  message(FATAL_ERROR "CheckTranslations.cmake: CHECKER is not set")
endif()
execute_process(COMMAND ${CHECKER} ${ts_files} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Translations are missing or unfinished (listed above); run the target "
                      "update_translations and translate what it adds to translations/*.ts.")
endif()
