#pragma once
// The commands of table_writer (TableWriterMain.cpp), run on a session: the same writes by
// another process or, in a test of one program, by another session of it.
//
//   post F=V [F=V ...]           inserts a record with those values
//   edit F=V G=W [...]           edits the first record whose field F holds V: sets G=W ...
//   delete F=V                   deletes the first record whose field F holds V
//   burst FROM COUNT             posts CustNo FROM .. FROM+COUNT-1 (Company B<n>) at once
//
// Values hold no spaces. The records are found by walking the view: for small tables.
#include <string>

class IFileDataSet;

// Runs one command line on S; raises an exception saying what failed (S is left pending
// then: the caller cancels).
void RunTableCommand(IFileDataSet* S, const std::string& Line);
