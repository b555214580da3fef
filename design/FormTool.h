#pragma once
// The form tool: design-time support without a form designer. It loads a form file in
// design state and uses the registered palette and property editors on it:
//
//   palette                          the palette pages and their component classes
//   fields FORM COMPONENT            the values the DataField editor offers for COMPONENT
//   set-field FORM COMPONENT FIELD   sets COMPONENT's DataField through the editor, which may
//       [--label yes|no]             ask whether to create a caption label (answered by
//       [--caption TEXT]             --label, else asked on the terminal) and its caption
//       [--output FILE]              (--caption, else asked); then writes the form file back
//                                    (or to FILE). Nothing is written when a step fails.
//
// Form files are read and written as design/FormFileAccess.h says: only regular files of
// bounded size are read, and only a regular file or a new path is written.
//
// Relative paths in the form (the dataset's schema and data files) are taken from the
// form file's folder, as a designer working in that project would. The form's class and
// the classes on it must be registered (Register() and the program's own forms).
#include <iosfwd>
#include <string>
#include <vector>

// Runs one command; the result is the process's exit code (0 success, 1 failure, 2 usage).
int RunFormTool(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out, std::ostream& Err);
