// The records of an open table, read from the file a page at a time when first needed. On a
// file server every read is a round trip and every byte crosses the network, so an open reads
// the header only, an append reads no other row, and a fresh read takes in what changed.
#include "TableImpl.h"

namespace xbase {
namespace {

constexpr std::size_t kPageBytes = 4096;
// Pages read alone, away from any other read, before every page is read at once.
constexpr int kPagesAloneBeforeScan = 8;

} // namespace

Table::Impl::AppendHold::AppendHold(const Impl& table, bool shared) : table_(table)
{
    if (table.holdingAppend)
        return;
    lock_ = table.lockAppend(shared);
    table.holdingAppend = taken_ = true;
}

Table::Impl::AppendHold::~AppendHold() { release(); }

void Table::Impl::AppendHold::release()
{
    if (!taken_)
        return;
    lock_.release();
    table_.holdingAppend = taken_ = false;
}

// A page next to one read is a cursor walking on: the pages from there to the next one read
// (or the end) come in one read. Many pages read alone are a scan in another order: every
// page comes in.
void Table::Impl::loadPage(std::size_t page) const
{
    const AppendHold noPostUnderWay(*this, true);
    const std::size_t pages = pageLoaded.size();
    if (page > 0 && pageLoaded[page - 1]) {
        std::size_t end = page;
        while (end < pages && !pageLoaded[end])
            ++end;
        readPages(page, end);
    } else if (page + 1 < pages && pageLoaded[page + 1]) {
        std::size_t begin = page;
        while (begin > 0 && !pageLoaded[begin - 1])
            --begin;
        readPages(begin, page + 1);
    } else if (++pagesLoadedAlone > kPagesAloneBeforeScan) {
        needAllRecords();
    } else {
        readPages(page, page + 1);
    }
}

void Table::Impl::needAllRecords() const
{
    std::size_t page = 0;
    while (page < pageLoaded.size() && pageLoaded[page])
        ++page;
    if (page == pageLoaded.size())
        return;
    const AppendHold noPostUnderWay(*this, true);
    while (page < pageLoaded.size()) {
        std::size_t end = page;
        while (end < pageLoaded.size() && !pageLoaded[end])
            ++end;
        readPages(page, end);
        page = end;
        while (page < pageLoaded.size() && pageLoaded[page])
            ++page;
    }
    pagesLoadedAlone = 0;
}

// One read for pages [first, end) of the counted records.
void Table::Impl::readPages(std::size_t first, std::size_t end) const
{
    const uint32_t from = static_cast<uint32_t>(first * pageRecords) + 1;
    const uint32_t to = std::min<uint32_t>(static_cast<uint32_t>(end * pageRecords), header.count);
    if (from <= to) {
        const std::size_t at = std::size_t(from - 1) * recordLength();
        dbf.readAt(recordOffset(from), records.data() + at, std::size_t(to - from + 1) * recordLength());
    }
    for (std::size_t p = first; p < end; ++p)
        pageLoaded[p] = true;
}

void Table::Impl::resizeRecords(uint32_t newCount)
{
    pageRecords = static_cast<uint32_t>(std::max<std::size_t>(1, kPageBytes / std::max<std::size_t>(1, recordLength())));
    const uint32_t oldCount = static_cast<uint32_t>(records.size() / std::max<std::size_t>(1, recordLength()));
    records.resize(std::size_t(newCount) * recordLength(), 0);
    const std::size_t pages = (std::size_t(newCount) + pageRecords - 1) / pageRecords;
    if (newCount > oldCount && oldCount % pageRecords != 0)
        pageLoaded[oldCount / pageRecords] = false;  // its records past the old count are not read yet
    pageLoaded.resize(pages, false);
    header.count = newCount;
}

void Table::Impl::forgetRecords()
{
    pageLoaded.assign(pageLoaded.size(), false);
    pagesLoadedAlone = 0;
}

void Table::Impl::recordsReplaced(std::vector<uint8_t> all, uint32_t newCount)
{
    records = std::move(all);
    header.count = newCount;
    pageRecords = static_cast<uint32_t>(std::max<std::size_t>(1, kPageBytes / std::max<std::size_t>(1, recordLength())));
    pageLoaded.assign((std::size_t(newCount) + pageRecords - 1) / pageRecords, true);
    pagesLoadedAlone = 0;
}

} // namespace xbase
