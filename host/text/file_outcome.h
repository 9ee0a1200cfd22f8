// What became of each file that `send` was given, as scripts and people
// read it at the end of a batch. Pure.
//
// Porcelain, one line per file in the order given:
//   outcome<TAB>PATH<TAB>WORD   WORD: sent, failed, cancelled (a signal came
//                               while it was under way), no-outcome (none
//                               within --timeout), not-sent (never handed
//                               to the plug-in)
// Human, only when not every file was sent:
//   Files sent: a.txt
//   Files not sent: b.txt (failed), c.txt
#pragma once

#include "host/text/notification_format.h"

#include <string>
#include <vector>

enum class FileOutcome { Sent, Failed, Cancelled, NoOutcome, NotSent };

struct FileResult {
    std::string file;  // "-": standard input; empty: no file (--set Body), no line
    FileOutcome outcome = FileOutcome::NotSent;
};

// How human lines name a file: "<stdin>" for "-", escaped.
std::string HumanFileName(const std::string &file);

// The lines, each with its line end.
std::string FormatFileOutcomes(OutputForm form, const std::vector<FileResult> &results);
