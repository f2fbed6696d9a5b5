#include "bannedlist/BannedList.h"

#include <utility>
#include <vector>

namespace bannedlist {

const char kDefaultList[] = "default.lst";
const char kNewList[] = "new.lst";
const char kUploadedList[] = "uploaded.lst";

namespace {
// A file larger than this is merged in parts, so that its lines, their keys
// and the list are never all held twice at once.
constexpr size_t kMergeBatchBytes = 16u << 20;
} // namespace

BannedList::BannedList(const listfile::TitleOrder& titleOrder, listfile::ListFileSystem& fileSystem,
                       const listfile::CodePageConversion& codePage)
    : order(titleOrder), files(fileSystem), conversion(codePage), guard(fileSystem) {}

bool BannedList::Insert(const std::string& title) {
    size_t at = titles.Insert(title, order);
    if (at == titles.Size())
        return false;
    if (view)
        view->Inserted(at);
    return true;
}

size_t BannedList::Merge(listfile::TitleSet&& more) {
    size_t added = titles.Merge(std::move(more));
    if (added)
        Reset();
    return added;
}

void BannedList::RemoveAt(size_t position) {
    if (position >= titles.Size())
        return;
    titles.RemoveAt(position);
    if (view)
        view->Removed(position);
}

void BannedList::Clear() {
    titles.Clear();
    Reset();
}

void BannedList::Reset() {
    if (view)
        view->Reset();
}

void BannedList::MergeLines(std::vector<std::string>& lines) {
    if (!lines.empty())
        Merge(listfile::TitleSet::From(std::move(lines), order));
    lines.clear();
}

std::optional<Notice> BannedList::Read(const std::string& file) {
    listfile::LineReader reader(conversion);
    std::vector<std::string> lines;
    size_t batch = 0;
    listfile::ReadStatus status = files.Read(file, [&](const char* data, size_t size) {
        reader.Feed(data, size, lines);
        batch += size;
        if (batch >= kMergeBatchBytes) {
            MergeLines(lines);
            batch = 0;
        }
    });
    switch (status.kind) {
    case listfile::ReadStatus::Kind::Missing:
        guard.Forget(file);
        return std::nullopt;
    case listfile::ReadStatus::Kind::NotAFile:
        return std::nullopt;
    case listfile::ReadStatus::Kind::Failed:
        // The lines read whole so far count, not the broken one; written over
        // at exit, the titles not read would be lost.
        MergeLines(lines);
        guard.MarkUnread(file);
        return Notice{listfile::ReadErrorMessage(status.cause, files.FullPath(file)),
                      Notice::Kind::Problem};
    case listfile::ReadStatus::Kind::Read:
        break;
    }
    reader.Finish(lines);
    MergeLines(lines);
    return NoteHowFileWasRead(file, reader.Report());
}

std::optional<Notice> BannedList::NoteHowFileWasRead(const std::string& file,
                                                     const listfile::ReadReport& report) {
    guard.Forget(file);
    if (!report.NeedsBackup())
        return std::nullopt;
    guard.MarkForBackup(file);
    return Notice{
        listfile::ConversionMessage(report, files.FullPath(file), guard.BackupNameFor(file)),
        Notice::Kind::Information};
}

void BannedList::StartNew() {
    Clear();
    path = kNewList;
}

std::optional<Notice> BannedList::Load(const std::string& file) {
    Clear();
    path = file;
    return Read(file);
}

std::optional<Notice> BannedList::Append(const std::string& file) {
    path = file;
    return Read(file);
}

std::optional<listfile::WriteError> BannedList::Write(const std::string& file) {
    std::string bytes;
    for (size_t i = 0; i < titles.Size(); ++i)
        listfile::AppendListFileLine(bytes, titles.At(i));
    if (auto error = guard.BeforeWrite(file))
        return error;
    if (auto error = files.Replace(file, bytes))
        return error;
    guard.Written(file);
    return std::nullopt;
}

std::optional<listfile::WriteError> BannedList::SaveAs(const std::string& file) {
    path = file;
    return Write(file);
}

std::optional<std::string> BannedList::SaveAtExit() {
    if (guard.IsUnread(path)) {
        if (titles.Empty())
            return std::nullopt;
        return listfile::UnreadFileMessage(files.FullPath(path));
    }
    if (std::optional<listfile::WriteError> error = Write(path))
        return listfile::WriteErrorMessage(*error);
    return std::nullopt;
}

BannedList::UpdateOutcome BannedList::AdoptUpdate(const std::string& answer,
                                                  const listfile::ReadReport& report,
                                                  listfile::TitleSet&& answerTitles) {
    UpdateOutcome outcome;
    // uploaded.lst takes the answer as it came; when it cannot, nothing else
    // changes either.
    std::optional<listfile::WriteError> error = guard.BeforeWrite(kUploadedList);
    if (!error)
        error = files.Replace(kUploadedList, answer);
    if (error) {
        listfile::UpdateFailure failure;
        failure.kind = listfile::UpdateFailure::Kind::Stored;
        failure.storeError = *error;
        outcome.failure = failure;
        return outcome;
    }
    path = kUploadedList;
    outcome.notice = NoteHowFileWasRead(kUploadedList, report);
    outcome.added = Merge(std::move(answerTitles));
    return outcome;
}

} // namespace bannedlist
