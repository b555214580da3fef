# The suite's translations: Qt Linguist files in translations/ (zopfiledb_<language>.ts), made
# into compiled catalogues (.qm) by lrelease at build time, compiled into framework_ui as a
# resource (framework/ui/Translations.cpp loads them from there) and installed beside the
# libraries under <libdir>/zopfiledb/translations.
#
# The target update_translations runs lupdate over the sources and the form files' texts and
# brings the .ts files up to date; a translator then fills in what is new (Qt Linguist, or by
# hand). cmake/UpdateTranslations.cmake is the one place that knows how lupdate is run: the
# i18n tests run it too, into a copy, to find texts that are missing or unfinished.
#
# The sources name texts through the framework's TranslateText (framework/core/Translation.h)
# and tables of texts through ZFD_TRANSLATE_NOOP; lupdate is told to read them as Qt's
# translate and QT_TRANSLATE_NOOP.
find_program(ZOPFILEDB_LRELEASE NAMES lrelease lrelease-qt6
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS} /usr/lib/qt6/bin
  NO_DEFAULT_PATH)
find_program(ZOPFILEDB_LUPDATE NAMES lupdate lupdate-qt6
  HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS} /usr/lib/qt6/bin
  NO_DEFAULT_PATH)
if(NOT ZOPFILEDB_LRELEASE OR NOT ZOPFILEDB_LUPDATE)
  message(FATAL_ERROR "Qt's lrelease and lupdate were not found: install the package qt6-l10n-tools "
                      "(./run build installs what is missing).")
endif()

set(ZOPFILEDB_LANGUAGES zh_TW en)
set(ZOPFILEDB_TS_DIR ${PROJECT_SOURCE_DIR}/translations)
set(ZOPFILEDB_QM_DIR ${PROJECT_BINARY_DIR}/translations)
# The folders whose sources hold texts shown to a person (tests and benchmarks hold none).
set(ZOPFILEDB_TRANSLATED_DIRS framework com interface server components app design)
# The form files whose texts are translated when they load.
set(ZOPFILEDB_TRANSLATED_FORMS ${PROJECT_SOURCE_DIR}/app/UMain.form)

set(ZOPFILEDB_QM_FILES "")
foreach(language IN LISTS ZOPFILEDB_LANGUAGES)
  list(APPEND ZOPFILEDB_QM_FILES ${ZOPFILEDB_QM_DIR}/zopfiledb_${language}.qm)
endforeach()

# Compiles the catalogues into <target> as a resource of their own, initialised by name
# (Q_INIT_RESOURCE) where they are loaded, so that a static library keeps it. Called from the
# target's folder, since a generated source belongs to the folder of its rule.
function(zopfiledb_add_translations target)
  foreach(language IN LISTS ZOPFILEDB_LANGUAGES)
    set(ts ${ZOPFILEDB_TS_DIR}/zopfiledb_${language}.ts)
    set(qm ${ZOPFILEDB_QM_DIR}/zopfiledb_${language}.qm)
    add_custom_command(OUTPUT ${qm}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ZOPFILEDB_QM_DIR}
      COMMAND ${ZOPFILEDB_LRELEASE} -silent ${ts} -qm ${qm}
      DEPENDS ${ts}
      COMMENT "Compiling the ${language} translations"
      VERBATIM)
  endforeach()
  set(qrc ${ZOPFILEDB_QM_DIR}/zopfiledb_translations.qrc)
  set(qrc_text "<RCC>\n  <qresource prefix=\"/zopfiledb/translations\">\n")
  foreach(language IN LISTS ZOPFILEDB_LANGUAGES)
    string(APPEND qrc_text "    <file>zopfiledb_${language}.qm</file>\n")
  endforeach()
  string(APPEND qrc_text "  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT ${qrc} CONTENT "${qrc_text}")
  set(source ${ZOPFILEDB_QM_DIR}/qrc_zopfiledb_translations.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND Qt6::rcc --name zopfiledb_translations --output ${source} ${qrc}
    DEPENDS ${ZOPFILEDB_QM_FILES} ${qrc}
    COMMENT "Compiling the translations into a resource"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()

# lupdate over the sources and the form files' texts (which the form tool lists as a source
# that lupdate reads), into the .ts files of OUTPUT_DIR.
# (Lists travel joined by commas: a command's arguments split at semicolons.)
list(JOIN ZOPFILEDB_TRANSLATED_DIRS "," dirs)
list(JOIN ZOPFILEDB_TRANSLATED_FORMS "," forms)
list(JOIN ZOPFILEDB_LANGUAGES "," languages)
set(ZOPFILEDB_UPDATE_TRANSLATIONS_ARGS
  -DLUPDATE=${ZOPFILEDB_LUPDATE}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
  -DDIRS=${dirs}
  -DFORMS=${forms}
  -DLANGUAGES=${languages})

# Defines update_translations once the form tool's target exists.
function(zopfiledb_add_translation_targets)
  add_custom_target(update_translations
    COMMAND ${CMAKE_COMMAND} ${ZOPFILEDB_UPDATE_TRANSLATIONS_ARGS} -DFORM_TOOL=$<TARGET_FILE:zopfiledb-form>
            -DWORK_DIR=${ZOPFILEDB_QM_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/UpdateTranslations.cmake
    DEPENDS zopfiledb-form
    COMMENT "Updating translations/*.ts from the sources and the form files"
    VERBATIM)
endfunction()
