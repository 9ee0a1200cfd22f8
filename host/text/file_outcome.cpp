#include "host/text/file_outcome.h"

#include <algorithm>

namespace {

struct OutcomeWords {
    const char *porcelain;
    const char *human;  // after the file's name
};

OutcomeWords WordsFor(FileOutcome outcome)
{
    switch (outcome) {
    case FileOutcome::Sent: return {"sent", ""};
    case FileOutcome::Failed: return {"failed", " (failed)"};
    case FileOutcome::Cancelled: return {"cancelled", " (cancelled)"};
    case FileOutcome::NoOutcome: return {"no-outcome", " (no outcome in time)"};
    case FileOutcome::NotSent: break;
    }
    return {"not-sent", ""};
}

std::string HumanList(const std::vector<FileResult> &results, bool sent)
{
    std::string list;
    for (const FileResult &result : results) {
        if (!result.file.empty() && (result.outcome == FileOutcome::Sent) == sent)
            list += (list.empty() ? "" : ", ") + HumanFileName(result.file) + WordsFor(result.outcome).human;
    }
    return list.empty() ? "none" : list;
}

}  // namespace

std::string HumanFileName(const std::string &file) { return EscapeText(file == "-" ? "<stdin>" : file); }

std::string FormatFileOutcomes(OutputForm form, const std::vector<FileResult> &results)
{
    std::string lines;
    if (form == OutputForm::Porcelain) {
        for (const FileResult &result : results)
            if (!result.file.empty())
                lines += "outcome\t" + EscapeText(result.file) + "\t" + WordsFor(result.outcome).porcelain + "\n";
        return lines;
    }
    const bool allSent = std::all_of(results.begin(), results.end(),
                                     [](const FileResult &result) { return result.outcome == FileOutcome::Sent; });
    if (allSent)
        return lines;
    return "Files sent: " + HumanList(results, true) + "\nFiles not sent: " + HumanList(results, false) + "\n";
}
