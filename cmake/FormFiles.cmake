# Form files (*.form) are compiled into the binary as Qt resources under ":/forms/".
# Application->CreateForm finds a form's file by the class named in its first line,
# so the file name itself is free.
function(target_form_files target)
  qt_add_resources(${target} "${target}_forms" PREFIX "/forms" FILES ${ARGN})
endfunction()
