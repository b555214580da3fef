# zopfiledb_add_forms(<target> <form file>...)
#
# Compiles form files (*.form) into <target> as Qt resources under ":/forms/", where
# Application->CreateForm finds a form's file by the class named in its first line, so the
# file name and its folder are free. The build uses it for the demo and the tests; the
# installed package exports it to programs built on the suite (it needs Qt6 Core, which the
# package finds). A target may take several calls.
function(zopfiledb_add_forms target)
  if(NOT ARGN)
    message(FATAL_ERROR "zopfiledb_add_forms(${target}): no form files given")
  endif()
  # Each call makes a resource of its own, and resource names must differ within a target.
  get_property(calls TARGET ${target} PROPERTY ZOPFILEDB_FORM_RESOURCES)
  if(NOT calls)
    set(calls 0)
  endif()
  math(EXPR calls "${calls} + 1")
  set_property(TARGET ${target} PROPERTY ZOPFILEDB_FORM_RESOURCES ${calls})
  qt_add_resources(${target} "${target}_forms${calls}" PREFIX "/forms" FILES ${ARGN})
endfunction()
