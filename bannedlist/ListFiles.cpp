#include "bannedlist/BannedListPage.h"

// Reading and writing list files and the file buttons come with the list-file work.
void BannedListPage::ReadListFile(const std::string&) {}
bool BannedListPage::WriteListFile(const std::string&, bool) { return true; }
void BannedListPage::OnNew() {}
void BannedListPage::OnLoad() {}
void BannedListPage::OnAppend() {}
void BannedListPage::OnSave() {}
void BannedListPage::OnUpdate() {}
