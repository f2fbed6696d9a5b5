// The BannedList: the banned titles in the order the list shows them, with
// the current list file (ListPath) and the guard over list files that must
// not simply be written over. Reading, merging, writing and the save at exit
// happen here; the Banned List page and the update window show it and
// report what it returns. Portable: the files and the order come in from
// outside.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "listfile/ListFileFormat.h"
#include "listfile/ListFileGuard.h"
#include "listfile/ListFileSystem.h"
#include "listfile/ListMessages.h"
#include "listfile/TitleSet.h"

namespace bannedlist {

extern const char kDefaultList[];  // "default.lst"
extern const char kNewList[];      // "new.lst"
extern const char kUploadedList[]; // "uploaded.lst"

// Something to tell the user, and how grave it is.
struct Notice {
    enum class Kind { Information, Warning, Problem };
    std::string text;
    Kind kind = Kind::Information;
};

class BannedList {
public:
    // Told of each change, after it.
    class View {
    public:
        virtual ~View() = default;
        virtual void Inserted(size_t position) = 0;
        virtual void Removed(size_t position) = 0;
        // Anything may have changed.
        virtual void Reset() = 0;
    };

    BannedList(const listfile::TitleOrder& titleOrder, listfile::ListFileSystem& fileSystem,
               const listfile::CodePageConversion& codePage);

    void SetView(View* shownIn) { view = shownIn; }

    // True when the title may be added: not empty, and no entry equal to it
    // byte for byte (letter case and blanks count).
    bool IsNewTitle(const std::string& title) const {
        return !title.empty() && !titles.Contains(title);
    }
    bool Contains(const std::string& title) const { return titles.Contains(title); }
    size_t Count() const { return titles.Size(); }
    const std::string& At(size_t position) const { return titles.At(position); }

    // A new title at its sorted place; false when it is empty or listed.
    bool Insert(const std::string& title);
    // The titles not listed yet; how many.
    size_t Merge(listfile::TitleSet&& more);
    void RemoveAt(size_t position);
    void Clear();

    // ListPath: the file the list is read from at start and written to at exit.
    const std::string& Path() const { return path; }
    void SetPath(const std::string& listPath) { path = listPath; }

    // The titles of a file merged into the list. A file that exists but
    // cannot be read is not written over at exit; one whose text had to
    // change on the way keeps its original beside it before the first save
    // over it. Either is said in the notice.
    std::optional<Notice> Read(const std::string& file);
    // New: an empty list, to be saved as new.lst.
    void StartNew();
    // Load: the list becomes the file's; Append: the file's titles join it.
    // The file becomes the list file either way.
    std::optional<Notice> Load(const std::string& file);
    std::optional<Notice> Append(const std::string& file);
    // The whole list into the file, replacing it as a whole or not at all.
    std::optional<listfile::WriteError> Write(const std::string& file);
    // Save: the file becomes the list file, whether or not it is written.
    std::optional<listfile::WriteError> SaveAs(const std::string& file);
    // The list into the list file as the program closes: why it was not
    // written, or nothing. A file that could not be read is left alone,
    // which loses nothing while the list is empty.
    std::optional<std::string> SaveAtExit();

    // An update's answer: kept as uploaded.lst, which becomes the list file,
    // and its titles merged. Nothing changes when uploaded.lst cannot be
    // written; the failure says why.
    struct UpdateOutcome {
        std::optional<listfile::UpdateFailure> failure;
        std::optional<Notice> notice;
        size_t added = 0;
    };
    UpdateOutcome AdoptUpdate(const std::string& answer, const listfile::ReadReport& report,
                              listfile::TitleSet&& answerTitles);

private:
    // A file read whole: nothing to guard, or its original to keep.
    std::optional<Notice> NoteHowFileWasRead(const std::string& file,
                                             const listfile::ReadReport& report);
    void MergeLines(std::vector<std::string>& lines);
    void Reset();

    const listfile::TitleOrder& order;
    listfile::ListFileSystem& files;
    const listfile::CodePageConversion& conversion;
    listfile::ListFileGuard guard;
    listfile::TitleSet titles;
    std::string path = kDefaultList;
    View* view = nullptr;
};

} // namespace bannedlist
