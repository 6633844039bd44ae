// What an open does before trusting a table's files: finish or undo a pack that a crash cut
// short, and check the tags against the records.
#include "TableImpl.h"

namespace xbase {

std::string packCommitPath(const std::string& dbfPath)
{
    return dbfPath + ".pack";
}

// A pack writes "T.dbf.tmp" whole, then renames it to "T.dbf.pack" (from there on the pack is
// decided), then puts it in place. An open that finds "T.dbf.pack" finishes the rename; one that
// finds only temporary files removes them, and the old files stand. (Packs of earlier versions
// also wrote a new memo file, "T.fpt.tmp", put in place before the table.)
bool recoverPack(const std::string& dbfPath)
{
    const std::string fptPath = companionPath(dbfPath, "fpt");
    const std::string committed = packCommitPath(dbfPath);
    if (fileExists(committed)) {
        // The memo file in place, durably, before the table that points into it.
        if (fileExists(fptPath + ".tmp")) {
            renameFile(fptPath + ".tmp", fptPath);
            syncDirectoryOf(fptPath);
        }
        renameFile(committed, dbfPath);
        syncDirectoryOf(dbfPath);
        return true;
    }
    for (const std::string& leftover : {dbfPath + ".tmp", fptPath + ".tmp", companionPath(dbfPath, "cdx") + ".tmp"})
        if (fileExists(leftover))
            removeFile(leftover);
    return false;
}

// Full check: every tag's entries made anew from the records and compared. Quick check: a tag
// without a FOR clause or the unique option holds one entry per record, so only the sizes are
// compared (an append cut short before the tag file was written shows that way). Tags that
// disagree are rebuilt and the tag file written anew; a read-only table cannot mend them, so
// it reads in file order and refuses them as its order (setIndexName), naming its index.
std::vector<std::string> Table::Impl::repairTags(bool full)
{
    std::vector<std::string> wrong;
    if (index.tagCount() != tags.size()) {  // the index file could not be read back after a failure
        for (const TagState& tag : tags)
            wrong.push_back(tag.tag.name);
        remakeTags();
        return wrong;
    }
    for (std::size_t t = 0; t < tags.size(); ++t) {
        TagState& tag = tags[t];
        bool right = true;
        if (full) {
            const std::vector<cdx::Entry> fresh = entriesOf(tag);
            right = fresh.size() == index.size(t);
            for (std::size_t i = 0; right && i < fresh.size(); ++i)
                right = fresh[i].recno == index.at(t, i).recno && fresh[i].key == index.at(t, i).key;
        } else if (!tag.forClause.isValid() && !tag.isUnique()) {
            right = index.size(t) == count();
        }
        if (!right)
            wrong.push_back(tag.tag.name);
        tag.stale = !right && readOnly;
    }
    if (!wrong.empty() && !readOnly)
        rebuildAllTags();
    return wrong;
}

std::vector<std::string> Table::checkTags()
{
    d_->requireOpen();
    return d_->repairTags(true);
}

} // namespace xbase
