#pragma once
// What is wrong with a Qt Linguist file (.ts) that lupdate has just brought up to date: every
// text must have a finished, non-empty translation in every plural form, holding each place
// holder (%1 ... %99, %n) of its source.
#include <string>
#include <vector>

class QString;

// One line per problem, "<context>: <what>: <source>"; a file that cannot be read or parsed,
// or that holds no text at all, is a problem too. Count receives the number of texts.
std::vector<std::string> TranslationFileProblems(const QString& Path, int& Count);
