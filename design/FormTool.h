#pragma once
// The form tool: design-time support without a form designer. It loads a form file in
// design state and uses the registered palette and property editors on it:
//
//   palette                          the palette pages and their component classes
//   fields FORM COMPONENT            the values the DataField editor offers for COMPONENT
//   texts FORM                       the form's texts that are translated when it loads, as a
//                                    source that lupdate reads (cmake/UpdateTranslations.cmake)
//   set-field FORM COMPONENT FIELD   sets COMPONENT's DataField through the editor, which may
//       [--label yes|no]             ask whether to create a caption label (answered by
//       [--caption TEXT]             --label, else asked on the terminal) and its caption
//       [--output FILE]              (--caption, else asked); then writes the form file back
//                                    (or to FILE). Nothing is written when a step fails.
//   render FORM PNG                  loads the form as a program would and saves a picture
//                                    of it
//
// COMPONENT names a component of the form, or an object it holds, by a path of published
// properties and collection items counted from 0: "ZopFileDBGrid1.Columns[1]".
//
// The command line is read with Qt's parser: --help and --version answer on the output with
// code 0; a command line that cannot be read is refused with a line saying why and the usage,
// code 2; a command that fails says why, code 1.
//
// A form is written back over its own text (framework/core/FormTextUpdate.h): only the lines
// of what changed differ, in the file's own order; a form laid out so that this cannot be done
// is written whole. A form whose class is not registered here is loaded into a plain form
// (its handlers are left out and keep their lines).
//
// Form files are read and written as design/FormFileAccess.h says: only regular files of
// bounded size are read, and only a regular file or a new path is written (the picture too).
//
// Relative paths in the form (the dataset's schema and data files) are taken from the
// form file's folder, as a designer working in that project would.
#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program's name); the result is the process's exit
// code. Needs the Qt application object (the forms are loaded and rendered).
int RunFormTool(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out, std::ostream& Err);
